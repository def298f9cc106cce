#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "editor/RecoveryCopy.h"
#include "io/MapFileDisk.h"
#include "io/RecoveryFolder.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
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
        // A file that a test put in the folder's place.
        const std::string folder = RecoveryFolderPath();
        DeleteFileA(folder.substr(0, folder.size() - 1).c_str());
        for (const std::string& name : FileNames(DeclinedFolderPath(folder), "*")) {
            DeleteFileA((DeclinedFolderPath(folder) + name).c_str());
        }
        for (const std::string& name : FileNames(folder, "*")) {
            DeleteFileA((folder + name).c_str());
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
        // A copy due while the button was held may be written the moment it
        // is let go, before the click it ends: the next copy holds that click.
        const auto copied = [] {
            MapFileContents copy;
            const std::vector<std::string> names = Copies();
            return !names.empty() && LoadMapFile((RecoveryFolderPath() + names[0]).c_str(), &copy) == MapFileError::None &&
                   copy.cells.size() == 32 * 32 && copy.cells[6 * 32 + 16].heights[0] == 4.0;
        };
        for (int wait = 0; wait < 150 && !copied(); ++wait) {
            Sleep(100);
        }

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

// The folder taken away while the program runs (here by a rename, as another
// system or a tool can): the next change is copied into it made again. A
// file in the folder's place: the user is told once, naming the folder,
// however many changes fail after it; once the folder can be made again, the
// next change is copied.
TEST_F(RecoveryProgram, AFolderTakenAwayIsMadeAgainAndOneThatCannotBeMadeIsToldOnce)
{
    const std::string folder = RecoveryFolderPath();
    const std::string place = folder.substr(0, folder.size() - 1);
    ASSERT_TRUE(MakeFolderPath(folder));
    const POINT vertex = {16 * 10 + 5, 6 * 10 + 5};
    RunningProgram program;
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    HWND heights = program.FindWindowOfClass("HeightEditor");
    Click(heights, vertex);
    ASSERT_TRUE(WaitForCopies(1));

    ASSERT_TRUE(MoveFileA(place.c_str(), (scratch.path() + "taken away").c_str()));
    Click(heights, vertex);
    EXPECT_TRUE(WaitForCopies(1)) << "no copy once the folder was gone";

    ASSERT_TRUE(MoveFileA(place.c_str(), (scratch.path() + "taken away again").c_str()));
    ASSERT_TRUE(WriteFileSafely(place.c_str(), "x", 1));
    Click(heights, vertex);
    std::string text;
    ASSERT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find(folder)) << text;
    EXPECT_NE(std::string::npos, text.find("復元用コピー")) << text;
    Click(heights, vertex);
    Sleep(RecoveryCopy::kQuiet + 4000);
    EXPECT_EQ(nullptr, program.FindWindowOfClass("#32770", "Error")) << "told twice";

    ASSERT_TRUE(DeleteFileA(place.c_str()));
    Click(heights, vertex);
    EXPECT_TRUE(WaitForCopies(1)) << "no copy once the folder could be made again";
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, IDNO));
    EXPECT_TRUE(Copies().empty());
}

// A restored map given up at the end ("いいえ" to saving it) is kept among the
// declined copies, under its map's name, with every edit: also the last one,
// made too late for a copy of its own.
TEST_F(RecoveryProgram, ARestoredMapGivenUpAtTheEndIsKeptAmongTheDeclinedCopies)
{
    const std::string folder = RecoveryFolderPath();
    ASSERT_TRUE(MakeFolderPath(folder));
    const std::string island = scratch.path() + "island.omd";
    MapFileContents left = SampleMap(32, 0, 0);
    CopyMapFileText(left.atlasFile, "IDB_MAPCHIP");
    for (MapFileCell& cell : left.cells) {
        std::fill(std::begin(cell.heights), std::end(cell.heights), 2.0);
    }
    ASSERT_TRUE(SaveMapFile((folder + "left.omd").c_str(), left));
    const std::string note = "[Recovery]\r\nMapFile=" + island + "\r\nTime=134000000000000000\r\n";
    ASSERT_TRUE(WriteFileSafely((folder + "left.ini").c_str(), note.data(), note.size()));

    RunningProgram program;
    ASSERT_TRUE(program.AnswerMessageBox("Quelmora", IDYES));
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    HWND heights = program.FindWindowOfClass("HeightEditor");
    const POINT vertex = {16 * 10 + 5, 6 * 10 + 5};  // column 16, row 6
    const size_t cell = 6 * 32 + 16;
    Click(heights, vertex);
    // The restored copy is the program's own: the edit is written over it.
    MapFileContents copied = left;
    for (int wait = 0; wait < 300 && copied == left; ++wait) {
        Sleep(100);
        LoadMapFile((folder + "left.omd").c_str(), &copied);
    }
    ASSERT_EQ(2.5, copied.cells[cell].heights[0]) << "the edit was never copied";
    Click(heights, vertex);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, IDNO));
    EXPECT_TRUE(Copies().empty());
    const std::vector<std::string> declined = FileNames(DeclinedFolderPath(folder), "island *.omd");
    ASSERT_EQ(1u, declined.size());
    MapFileContents kept;
    ASSERT_EQ(MapFileError::None, LoadMapFile((DeclinedFolderPath(folder) + declined[0]).c_str(), &kept));
    EXPECT_EQ(32, kept.width);
    EXPECT_EQ(3.0, kept.cells[cell].heights[0]) << "an edit made after the restore is lost";
}

// "以前の復元用コピーを開く..." stands after the export items, also with recent
// files listed. It asks about unsaved changes as "開く(&O)" does and opens the
// open dialog in the folder of declined copies (a bare name is found there);
// a declined copy opens as unsaved work of its map: changed, saved to the
// map's own file, listed under that file's name.
TEST_F(RecoveryProgram, TheFileMenuOpensADeclinedCopyAsUnsavedWorkOfItsMap)
{
    const std::string declined = DeclinedFolderPath(RecoveryFolderPath());
    ASSERT_TRUE(MakeFolderPath(declined));
    const std::string island = scratch.path() + "island.omd";
    MapFileContents work = SampleMap(16, 1, 1);
    CopyMapFileText(work.atlasFile, "IDB_MAPCHIP");
    ASSERT_TRUE(SaveMapFile((declined + "island 2026-12-08 10.15.omd").c_str(), work));
    RecoveryNote note;
    note.mapFile = island;
    note.time = 134000000000000000ull;
    const std::string text = EncodeRecoveryNote(note);
    ASSERT_TRUE(WriteFileSafely((declined + "island 2026-12-08 10.15.ini").c_str(), text.data(), text.size()));

    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    auto& menu = *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow));
    HMENU fileMenu = GetSubMenu(GetMenu(menu.m_hWnd), 0);
    // The items of the file menu from the last export on: separators have id 0.
    const auto menuEnd = [&] {
        std::vector<UINT> ids;
        const int count = GetMenuItemCount(fileMenu);
        int position = 0;
        while (position < count && GetMenuItemID(fileMenu, position) != 243) {
            ++position;
        }
        for (; position < count; ++position) {
            ids.push_back(GetMenuItemID(fileMenu, position));
        }
        return ids;
    };
    const std::vector<UINT> expectedEnd = {243, 0, 260, 0, 100};
    EXPECT_EQ(expectedEnd, menuEnd());
    char menuText[64] = {};
    GetMenuStringA(fileMenu, 260, menuText, sizeof menuText, MF_BYCOMMAND);
    EXPECT_STREQ("以前の復元用コピーを開く...", menuText);

    editor.Perform(std::make_unique<HeightStep>(3, 4, 5.0));
    {
        MessageBoxAnswer discard(IDNO);
        DialogAnswer open("ファイルオープン", "island 2026-12-08 10.15.omd");
        SendMessageA(menu.m_hWnd, WM_COMMAND, 260, 0);
        EXPECT_TRUE(open.Stop()) << "no open dialog";
        EXPECT_EQ(1, discard.count) << "not asked about the unsaved changes";
    }
    EXPECT_EQ(16, editor.m_mapWidth);
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(island, menu.m_fileName);
    ASSERT_FALSE(menu.m_recentFiles.Paths().empty());
    EXPECT_EQ(island, menu.m_recentFiles.Paths()[0]);
    // The recent files come just above exit.
    EXPECT_EQ((std::vector<UINT>{243, 0, 260, 0, 250, 0, 100}), menuEnd())
        << "the recent files were put in the wrong place";

    SendMessageA(menu.m_hWnd, WM_COMMAND, 220, 0);
    EXPECT_FALSE(editor.IsModified());
    MapFileContents saved;
    ASSERT_EQ(MapFileError::None, LoadMapFile(island.c_str(), &saved));
    EXPECT_EQ(16, saved.width);
    EXPECT_EQ(1u, saved.planes.size());
}
