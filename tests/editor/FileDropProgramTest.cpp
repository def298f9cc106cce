#include "io/Heightmap.h"
#include "io/MapFileDisk.h"

#include "support/ProgramFiles.h"
#include "support/RealInput.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Waits until no message box of the program is up and `window` takes input
// again: a drop on a window that a box disables is refused.
bool WaitForInput(const RunningProgram& program, HWND window)
{
    for (int wait = 0; wait < 200; ++wait) {
        if (IsWindowEnabled(window) && !program.FindWindowOfClass("#32770", "Error") &&
            !program.FindWindowOfClass("#32770", "Quelmora")) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

// Waits for the first of the recent files in the settings file to be `path`.
bool WaitForFirstRecentFile(const std::string& path)
{
    char first[MAX_PATH] = "";
    for (int wait = 0; wait < 200; ++wait) {
        GetPrivateProfileStringA("RecentFiles", "File1", "", first, sizeof first, SettingsFilePath().c_str());
        if (lstrcmpiA(first, path.c_str()) == 0) {
            return true;
        }
        Sleep(100);
    }
    ADD_FAILURE() << "the first recent file is " << first;
    return false;
}

}  // namespace

// Files dragged from another program onto the real program's height window,
// as a Linux file manager drops them through the X server: two files are
// refused with the message that says why, a picture becomes the heights, and
// a map opens after the question about the changes. The preview takes drops
// as well.
TEST(FileDropProgram, FilesDraggedFromAnotherProgramOpenAsTheirWindowTakesThem)
{
    ScratchFolder scratch("quelmora-file-drop-program-test");
    // Row 4 high, the rest low: the whole range, which nothing offers to stretch.
    std::vector<double> levels(32 * 32, 0.0);
    std::fill(levels.begin() + 4 * 32, levels.begin() + 5 * 32, 16.0);
    std::vector<unsigned char> png;
    ASSERT_EQ(ImageError::None, EncodeHeightmap(levels, 32, 32, &png));
    const std::string picture = scratch.path() + "heights.png";
    ASSERT_TRUE(WriteFileSafely(picture.c_str(), png.data(), png.size()));
    // A name that must be percent-encoded in the list the drag source offers.
    const std::string map = scratch.path() + "dropped map #1.omd";
    const ProgramRun made =
        RunProgramToEnd("--import-heightmap \"" + picture + "\" \"" + map + "\" --size 64", scratch.path() + "log");
    ASSERT_EQ(0u, made.exitCode) << made.console;

    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    HWND heights = program.FindWindowOfClass("HeightEditor");
    ASSERT_NE(nullptr, heights);
    RECT client;
    GetClientRect(heights, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(heights, &middle);
    const ScreenPicture start = WaitForSteadyPicture(heights, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());
    std::string outcome;
    std::string text;

    ASSERT_TRUE(RealInput::DropFiles(middle, {map, picture}, &outcome)) << outcome;
    ASSERT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find("一度に一つだけ")) << text;
    ASSERT_TRUE(WaitForInput(program, heights));

    ASSERT_TRUE(RealInput::DropFiles(middle, {picture}, &outcome)) << outcome;
    const ScreenPicture imported = WaitForChangedPicture(heights, start, 0.02, 20000);
    EXPECT_GT(DifferingShare(start, imported, 8), 0.02);
    EXPECT_EQ(nullptr, program.FindWindowOfClass("#32770", "Error"));

    ASSERT_TRUE(RealInput::DropFiles(middle, {map}, &outcome)) << outcome;
    ASSERT_TRUE(program.AnswerMessageBox("Quelmora", IDNO));
    EXPECT_TRUE(WaitForFirstRecentFile(map));
    ASSERT_TRUE(WaitForInput(program, heights));

    // The preview takes drops too, and refuses a picture: only the height window turns one into heights.
    GetClientRect(preview, &client);
    POINT previewMiddle = {client.right / 2, client.bottom / 2};
    ClientToScreen(preview, &previewMiddle);
    ASSERT_TRUE(RealInput::DropFiles(previewMiddle, {picture}, &outcome)) << outcome;
    ASSERT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find("ここにドロップしても開けません")) << text;
    ASSERT_TRUE(WaitForInput(program, heights));

    // The opened map has no changes: closing asks nothing.
    PostMessageA(preview, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    DeleteFileA(SettingsFilePath().c_str());
}
