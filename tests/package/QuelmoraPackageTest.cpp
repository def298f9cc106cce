#include "support/RunningProgram.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The folder the zip was unpacked into, as the program sees it.
std::string UnpackedFolder()
{
    std::string folder = std::string("Z:") + QUELMORA_UNPACKED_PACKAGE + "/";
    for (char& c : folder) {
        if (c == '/') {
            c = '\\';
        }
    }
    return folder;
}

// Presses a button of the billboard dialog as a click would.
void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

// The program started where the zip was unpacked, as a double-click starts it:
// it draws, finds the images beside it, and ends cleanly.
TEST(QuelmoraPackage, RunsWhereItIsUnpacked)
{
    const std::string folder = UnpackedFolder();
    const std::string image = folder + "billboard.dds";
    const std::string movedImage = folder + "billboard.dds.moved";
    RunningProgram program(folder);
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    const std::string title = program.WaitForRateTitle();
    EXPECT_TRUE(IsRateTitle(title)) << title;

    HWND editMenu = program.FindWindowOfClass("EditMenu");
    ASSERT_NE(nullptr, editMenu);
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(601, 0), 0);
    HWND billboards = nullptr;
    for (int wait = 0; wait < 200 && !billboards; ++wait) {
        Sleep(100);
        billboards = program.FindWindowOfClass("#32770", "Billboard");
    }
    ASSERT_NE(nullptr, billboards);
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());

    // A billboard on every cell, with the image beside the program.
    Press(billboards, 1005);
    const ScreenPicture withImage = WaitForChangedPicture(preview, start, 0.05, 30000);
    EXPECT_GT(DifferingShare(start, withImage, 8), 0.05);
    // A second one takes every cell, and finds no image: it is drawn plain,
    // which shows that the first one was not.
    ASSERT_TRUE(MoveFileA(image.c_str(), movedImage.c_str()));
    Press(billboards, 1005);
    const ScreenPicture withoutImage = WaitForChangedPicture(preview, withImage, 0.05, 30000);
    MoveFileA(movedImage.c_str(), image.c_str());
    EXPECT_GT(DifferingShare(withImage, withoutImage, 8), 0.05);

    PostMessageA(preview, WM_CLOSE, 0, 0);
    // The billboards are unsaved changes: the program asks, and "No" drops them.
    HWND question = nullptr;
    for (int wait = 0; wait < 200 && !question; ++wait) {
        Sleep(100);
        question = program.FindWindowOfClass("#32770", "Quelmora");
    }
    ASSERT_NE(nullptr, question);
    PostMessageA(question, WM_COMMAND, IDNO, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}
