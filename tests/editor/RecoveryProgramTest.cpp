#include "io/MapFileDisk.h"
#include "io/RecoveryFolder.h"
#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The copies in the recovery folder, by name; each has its note beside it.
std::vector<std::string> Copies()
{
    return FileNames(RecoveryFolderPath(), "*.omd");
}

bool WaitForCopies(size_t count)
{
    for (int wait = 0; wait < 300 && Copies().size() != count; ++wait) {
        Sleep(100);
    }
    return Copies().size() == count;
}

void Click(HWND window, POINT at)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The left button pressed or released by the mouse itself at client point `at`.
void MoveLeftButton(HWND window, POINT at, bool down)
{
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// Closes the program's preview, answering the question about unsaved changes
// with `answer` (0: none may come), and expects exit code 0.
void CloseAndExpectCleanExit(RunningProgram& program, int answer)
{
    PostMessageA(program.FindWindowOfClass("Quelmora"), WM_CLOSE, 0, 0);
    if (answer) {
        ASSERT_TRUE(program.AnswerMessageBox("Quelmora", answer));
    }
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

class RecoveryProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(RecoveryFolderPath().empty());
        TearDown();
        ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    }
    void TearDown() override
    {
        for (const std::string& name : FileNames(RecoveryFolderPath(), "*")) {
            DeleteFileA((RecoveryFolderPath() + name).c_str());
        }
        DeleteFileA(SettingsFilePath().c_str());
    }

    ScratchFolder scratch{"quelmora-recovery-program-test"};
};

}  // namespace

// A map opened from the recent files and edited, in a program that is then
// killed: the copy waits for the mouse button to come up, a second program
// beside the first leaves the first's copy alone, and the next start offers
// it. Restored, the map counts as changed; "上書き保存(&S)" writes the edits to
// the map's own file and the copy goes. A normal end leaves no copy either.
TEST_F(RecoveryProgram, EditsOfAKilledProgramComeBackAndSaveToTheirOwnFile)
{
    const std::string island = scratch.path() + "island.omd";
    // Flat ground at 2, which the clicks below raise by 0.5 each.
    MapFileContents flat = SampleMap(32, 0, 0);
    CopyMapFileText(flat.atlasFile, "IDB_MAPCHIP");
    for (MapFileCell& cell : flat.cells) {
        std::fill(std::begin(cell.heights), std::end(cell.heights), 2.0);
    }
    ASSERT_TRUE(SaveMapFile(island.c_str(), flat));
    WritePrivateProfileStringA("RecentFiles", "File1", island.c_str(), SettingsFilePath().c_str());
    const POINT vertex = {16 * 10 + 5, 6 * 10 + 5};  // column 16, row 6 of the height window
    {
        RunningProgram first;
        ASSERT_NE(nullptr, first.WaitForPreview(30000));
        PostMessageA(first.FindWindowOfClass("EditMenu"), WM_COMMAND, 250, 0);
        HWND heights = first.FindWindowOfClass("HeightEditor");
        Click(heights, vertex);
        Click(heights, vertex);
        Click(heights, vertex);
        // A fourth click, held for longer than the wait before a copy.
        MoveLeftButton(heights, vertex, true);
        Sleep(8000);
        EXPECT_TRUE(Copies().empty()) << "written while the button was down";
        MoveLeftButton(heights, vertex, false);
        ASSERT_TRUE(WaitForCopies(1));

        RunningProgram second;
        ASSERT_NE(nullptr, second.WaitForPreview(30000)) << "the second program asked about the first one's copy";
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(second, 0));
        first.Kill();
    }
    ASSERT_EQ(1u, Copies().size());

    RunningProgram next;
    std::string question;
    ASSERT_TRUE(next.AnswerMessageBox("Quelmora", IDYES, &question));
    EXPECT_NE(std::string::npos, question.find("正常に終了しませんでした")) << question;
    EXPECT_NE(std::string::npos, question.find("復元")) << question;
    EXPECT_NE(std::string::npos, question.find(island)) << question;
    HWND preview = next.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    PostMessageA(preview, WM_CLOSE, 0, 0);
    ASSERT_TRUE(next.AnswerMessageBox("Quelmora", IDCANCEL));
    EXPECT_EQ(1u, Copies().size());
    PostMessageA(next.FindWindowOfClass("EditMenu"), WM_COMMAND, 220, 0);
    EXPECT_TRUE(WaitForCopies(0)) << "the save leaves the copy";
    MapFileContents saved;
    ASSERT_EQ(MapFileError::None, LoadMapFile(island.c_str(), &saved));
    const size_t cell = 6 * 32 + 16;
    EXPECT_EQ(4.0, saved.cells[cell].heights[0]);
    EXPECT_EQ(2.0, saved.cells[cell + 1].heights[0]);

    Click(next.FindWindowOfClass("HeightEditor"), vertex);
    ASSERT_TRUE(WaitForCopies(1));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(next, IDNO));
    EXPECT_TRUE(Copies().empty());
}

// Two copies left behind: the newest is offered, and "いいえ" removes it while
// the older one stays for the next start, which shows the start map. That one
// is damaged: the message, the start map, and the copy is gone.
TEST_F(RecoveryProgram, ADeclinedCopyGoesAndADamagedOneIsReportedAndGoes)
{
    const std::string folder = RecoveryFolderPath();
    ASSERT_TRUE(MakeFolderPath(folder));
    const std::vector<unsigned char> sound = EncodeMapFile(SampleMap(16, 1, 0));
    const std::vector<unsigned char> damaged(100, 'x');
    const std::string newer = "[Recovery]\r\nMapFile=\r\nTime=200\r\n";
    const std::string older = "[Recovery]\r\nMapFile=\r\nTime=100\r\n";
    ASSERT_TRUE(WriteFileSafely((folder + "newer.omd").c_str(), sound.data(), sound.size()));
    ASSERT_TRUE(WriteFileSafely((folder + "newer.ini").c_str(), newer.data(), newer.size()));
    ASSERT_TRUE(WriteFileSafely((folder + "older.omd").c_str(), damaged.data(), damaged.size()));
    ASSERT_TRUE(WriteFileSafely((folder + "older.ini").c_str(), older.data(), older.size()));
    {
        RunningProgram declining;
        ASSERT_TRUE(declining.AnswerMessageBox("Quelmora", IDNO));
        ASSERT_NE(nullptr, declining.WaitForPreview(30000));
        EXPECT_EQ(std::vector<std::string>{"older.omd"}, Copies());
        // The start map, unchanged: nothing to ask about at the end.
        ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(declining, 0));
    }
    RunningProgram restoring;
    ASSERT_TRUE(restoring.AnswerMessageBox("Quelmora", IDYES));
    ASSERT_TRUE(restoring.AnswerMessageBox("Error", IDOK));
    ASSERT_NE(nullptr, restoring.WaitForPreview(30000));
    EXPECT_TRUE(Copies().empty());
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(restoring, 0));
}
