#include "app/COxelSettingsFile.h"

#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <string>

// Starts the real program under the test's desktop, waits for the frame-rate
// title, closes the preview and checks the exit code and the settings file.
TEST(QuelmoraProgram, ShowsTheFrameRateAndSavesTheLayoutWhenClosed)
{
    DeleteFileA(SettingsFilePath().c_str());
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);

    const std::string title = program.WaitForRateTitle();
    EXPECT_TRUE(IsRateTitle(title)) << title;
    // The start map has no file and no changes.
    EXPECT_EQ(title.substr(0, title.find(']') + 1) + " 名前のないマップ", title);

    PostMessageA(preview, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());
    DeleteFileA(SettingsFilePath().c_str());
}

// Arrow keys reach the camera from the preview window; Delete brings back the start view.
TEST(QuelmoraProgram, ArrowKeysInThePreviewMoveTheView)
{
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());

    // Half a cell sideways and one up; whole cells would show the same repeated ground again.
    // The program draws in its own time, later the busier the machine: wait for the
    // picture each step should bring, not for a quiet spell.
    PostMessageA(preview, WM_KEYDOWN, VK_LEFT, 0);
    PostMessageA(preview, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(preview, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(preview, WM_KEYDOWN, VK_UP, 0);
    // The ground is fine-grained grass: small shifts change many pixels a little.
    const ScreenPicture moved =
        WaitForPicture(preview, 30000, [&](const ScreenPicture& p) { return DifferingShare(start, p, 8) > 0.1; });
    EXPECT_GT(DifferingShare(start, moved, 8), 0.1);

    PostMessageA(preview, WM_KEYDOWN, VK_DELETE, 0);
    const ScreenPicture back =
        WaitForPicture(preview, 30000, [&](const ScreenPicture& p) { return DifferingShare(start, p, 8) < 0.01; });
    EXPECT_LT(DifferingShare(start, back, 8), 0.01);

    PostMessageA(preview, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    // Closing saved the layout of a first start; the next start gets the default one.
    DeleteFileA(SettingsFilePath().c_str());
}

namespace {

// Presses a button of a dialog of the program as a click would.
void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

const char* const kProgramImages[] = {"effect.dds", "planetexture.dds", "billboard.dds"};

}  // namespace

// The program installed in a folder of its own and started from another, as
// a shortcut or a script starts it: it finds its images beside it (a new
// billboard is drawn with its image, which a second one drawn without it
// shows), and says nothing. Without them, one message names every image and
// both places it looked.
TEST(QuelmoraProgram, FindsItsOwnImagesBesideItFromAnotherCurrentFolder)
{
    ScratchFolder installed("quelmora-images-installed");
    ScratchFolder elsewhere("quelmora-images-elsewhere");
    ASSERT_TRUE(CopyFileA((ExecutableDirectory() + "quelmora.exe").c_str(), (installed.path() + "quelmora.exe").c_str(),
                          FALSE));
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, (installed.path() + "Quelmora.ini").c_str(), FALSE));
    // The tests run in the folder of the images.
    for (const char* image : kProgramImages) {
        ASSERT_TRUE(CopyFileA(image, (installed.path() + image).c_str(), FALSE)) << image;
    }
    {
        RunningProgram program(installed.path(), elsewhere.path());
        HWND preview = program.WaitForPreview(30000);
        ASSERT_NE(nullptr, preview);
        // Frames are drawn once start-up, and any message of it, is over.
        EXPECT_TRUE(IsRateTitle(program.WaitForRateTitle()));
        EXPECT_EQ(nullptr, program.FindWindowOfClass("#32770", "Error"));

        PostMessageA(program.FindWindowOfClass("EditMenu"), WM_COMMAND, MAKEWPARAM(601, 0), 0);
        HWND billboards = program.WaitForWindow("#32770", "Billboard");
        ASSERT_NE(nullptr, billboards);
        const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
        ASSERT_FALSE(start.pixels.empty());
        Press(billboards, 1005);
        const ScreenPicture withImage = WaitForChangedPicture(preview, start, 0.05, 30000);
        ASSERT_TRUE(DeleteFileA((installed.path() + "billboard.dds").c_str()));
        Press(billboards, 1005);
        const ScreenPicture withoutImage = WaitForChangedPicture(preview, withImage, 0.05, 30000);
        EXPECT_GT(DifferingShare(withImage, withoutImage, 8), 0.05) << "the first billboard had no image either";

        PostMessageA(preview, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.AnswerMessageBox("Quelmora", IDNO));
        DWORD exitCode = 1;
        ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
    for (const char* image : kProgramImages) {
        DeleteFileA((installed.path() + image).c_str());
    }
    RunningProgram program(installed.path(), elsewhere.path());
    std::string text;
    ASSERT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    for (const char* image : kProgramImages) {
        EXPECT_NE(std::string::npos, text.find(std::string("「") + image + "」")) << text;
        EXPECT_NE(std::string::npos, text.find(installed.path() + image)) << text;
        EXPECT_NE(std::string::npos, text.find(elsewhere.path() + image)) << text;
    }
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    EXPECT_TRUE(IsRateTitle(program.WaitForRateTitle()));
    EXPECT_EQ(nullptr, program.FindWindowOfClass("#32770", "Error")) << "told more than once";
    PostMessageA(preview, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}
