#include "io/MapFileDisk.h"
#include "io/RecoveryFolder.h"
#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kSaveAs = 230;
const char kSaveTitle[] = "名前をつけて保存";

// The copies (and notes) in the recovery folder, by name.
std::vector<std::string> RecoveryFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((RecoveryFolderPath() + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = entry.cFileName;
        if (name.size() > 4 && (name.substr(name.size() - 4) == ".omd" || name.substr(name.size() - 4) == ".ini")) {
            names.push_back(name);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void ClearRecoveryFolder()
{
    for (const std::string& name : RecoveryFiles()) {
        DeleteFileA((RecoveryFolderPath() + name).c_str());
    }
}

bool WaitForRecoveryFiles(size_t count)
{
    for (int wait = 0; wait < 300 && RecoveryFiles().size() != count; ++wait) {
        Sleep(100);
    }
    return RecoveryFiles().size() == count;
}

// A press or a release of the left button, as the mouse makes it, at client
// point `at` of `window`.
void PressLeftButton(HWND window, POINT at, bool down)
{
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void CloseAndExpectCleanExit(RunningProgram& program, HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

class RecoveryProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(RecoveryFolderPath().empty());
        ClearRecoveryFolder();
        ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    }
    void TearDown() override
    {
        ClearRecoveryFolder();
        DeleteFileA(SettingsFilePath().c_str());
    }

    ScratchFolder scratch{"quelmora-recovery-program-test"};
};

}  // namespace

// Edits survive a program that is killed: the copy waits for the mouse button
// to come up, a second program beside the first leaves the first's copy
// alone, and the next start offers it. Restored and saved under a new name,
// the file holds the edits; the save, and then a normal end, leave no copy.
TEST_F(RecoveryProgram, EditsOfAKilledProgramComeBackAndSaveWithTheirEdits)
{
    const POINT vertex = {16 * 10 + 5, 6 * 10 + 5};  // column 16, row 6 of the height window
    {
        RunningProgram first;
        ASSERT_NE(nullptr, first.WaitForPreview(30000));
        HWND heights = first.FindWindowOfClass("HeightEditor");
        ASSERT_NE(nullptr, heights);
        for (int click = 0; click < 3; ++click) {
            PostMessageA(heights, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(vertex.x, vertex.y));
            PostMessageA(heights, WM_LBUTTONUP, 0, MAKELPARAM(vertex.x, vertex.y));
        }
        // A fourth click, held for longer than the wait before a copy.
        PressLeftButton(heights, vertex, true);
        Sleep(8000);
        EXPECT_TRUE(RecoveryFiles().empty()) << "written while the button was down";
        PressLeftButton(heights, vertex, false);
        ASSERT_TRUE(WaitForRecoveryFiles(2));

        RunningProgram second;
        HWND secondPreview = second.WaitForPreview(30000);
        ASSERT_NE(nullptr, secondPreview) << "the second program asked about the first one's copy";
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(second, secondPreview));
        EXPECT_EQ(2u, RecoveryFiles().size());
        first.Kill();
    }
    EXPECT_EQ(2u, RecoveryFiles().size());

    RunningProgram next;
    std::string question;
    ASSERT_TRUE(next.AnswerMessageBox("Quelmora", IDYES, &question));
    EXPECT_NE(std::string::npos, question.find("正常に終了しませんでした")) << question;
    EXPECT_NE(std::string::npos, question.find("復元")) << question;
    HWND preview = next.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    const std::string saved = scratch.path() + "restored.omd";
    PostMessageA(next.FindWindowOfClass("EditMenu"), WM_COMMAND, kSaveAs, 0);
    ASSERT_TRUE(next.AnswerFileDialog(kSaveTitle, saved));
    for (int wait = 0; wait < 200 && !FileExists(saved); ++wait) {
        Sleep(100);
    }
    MapFileContents map;
    ASSERT_EQ(MapFileError::None, LoadMapFile(saved.c_str(), &map));
    ASSERT_EQ(32, map.width);
    EXPECT_EQ(4.0, map.cells[6 * 32 + 16].heights[0]);
    EXPECT_EQ(2.0, map.cells[6 * 32 + 17].heights[0]);
    EXPECT_TRUE(WaitForRecoveryFiles(0)) << "the save leaves the copy";

    // A new edit has a copy again; ending the run the normal way removes it.
    PostMessageA(next.FindWindowOfClass("HeightEditor"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(vertex.x, vertex.y));
    PostMessageA(next.FindWindowOfClass("HeightEditor"), WM_LBUTTONUP, 0, MAKELPARAM(vertex.x, vertex.y));
    ASSERT_TRUE(WaitForRecoveryFiles(2));
    PostMessageA(preview, WM_CLOSE, 0, 0);
    ASSERT_TRUE(next.AnswerMessageBox("Quelmora", IDNO));
    DWORD exitCode = 1;
    ASSERT_TRUE(next.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_TRUE(RecoveryFiles().empty());
}

// Two copies left behind: the newest is offered, naming its map's file, and
// "No" removes it while the older one stays for the next start. That one is
// damaged: the message, the start map, and the copy is gone.
TEST_F(RecoveryProgram, ADeclinedCopyGoesAndADamagedOneIsReportedAndGoes)
{
    const std::string folder = RecoveryFolderPath();
    ASSERT_TRUE(MakeFolderPath(folder));
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long time = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const struct {
        const char* stem;
        const char* mapFile;
        unsigned long long time;
        bool damaged;
    } copies[] = {
        {"0000FFFF-0000000000000002", "C:\\maps\\island.omd", time, false},
        {"0000FFFF-0000000000000001", "", time - 36000000000ull, true},
    };
    for (const auto& copy : copies) {
        const std::vector<unsigned char> bytes =
            copy.damaged ? std::vector<unsigned char>(100, 'x') : EncodeMapFile(SampleMap(16, 1, 0));
        ASSERT_TRUE(WriteFileSafely((folder + copy.stem + ".omd").c_str(), bytes.data(), bytes.size()));
        RecoveryNote note;
        note.mapFile = copy.mapFile;
        note.time = copy.time;
        const std::string text = EncodeRecoveryNote(note);
        ASSERT_TRUE(WriteFileSafely((folder + copy.stem + ".ini").c_str(), text.data(), text.size()));
    }

    {
        RunningProgram declining;
        std::string question;
        ASSERT_TRUE(declining.AnswerMessageBox("Quelmora", IDNO, &question));
        EXPECT_NE(std::string::npos, question.find("C:\\maps\\island.omd")) << question;
        HWND preview = declining.WaitForPreview(30000);
        ASSERT_NE(nullptr, preview);
        EXPECT_EQ((std::vector<std::string>{std::string(copies[1].stem) + ".ini", std::string(copies[1].stem) + ".omd"}),
                  RecoveryFiles());
        // The start map, unchanged: nothing to ask about at the end.
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(declining, preview));
    }

    RunningProgram restoring;
    ASSERT_TRUE(restoring.AnswerMessageBox("Quelmora", IDYES));
    ASSERT_TRUE(restoring.AnswerMessageBox("Error", IDOK));
    HWND preview = restoring.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    EXPECT_TRUE(RecoveryFiles().empty());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(restoring, preview));
}
