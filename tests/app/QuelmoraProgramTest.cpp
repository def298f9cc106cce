#include "app/COxelSettingsFile.h"

#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
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
