#include "app/SampleMap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "support/ProgramFiles.h"
#include "support/RealInput.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// The file name box of the common file dialogs.
const int kFileNameBox = 0x047C;

// The program installed in a folder of its own, with its images and the
// default layout, and started from another folder, as a shortcut starts it.
class SampleMapProgram : public ::testing::Test {
protected:
    void Install(bool withSample)
    {
        ASSERT_TRUE(CopyFileA((ExecutableDirectory() + "quelmora.exe").c_str(),
                              (installed.path() + "quelmora.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, (installed.path() + "Quelmora.ini").c_str(), FALSE));
        // The tests run in the data folder, which holds the images and the sample.
        for (const char* name : {"effect.dds", "planetexture.dds", "billboard.dds", kSampleMapName}) {
            if (withSample || lstrcmpA(name, kSampleMapName) != 0) {
                ASSERT_TRUE(CopyFileA(name, (installed.path() + name).c_str(), FALSE)) << name;
            }
        }
    }

    // "サンプルマップを開く", the first item of "ヘルプ(&H)", chosen with the
    // real keyboard and mouse: Alt+H opens the menu wherever the menu bar
    // lays it out, and a click takes the item.
    static void ChooseOpenSampleMap(const RunningProgram& program, HWND editMenu)
    {
        // A click on the window's title bar gives it the keyboard, as a user does.
        RECT rect;
        GetWindowRect(editMenu, &rect);
        RealInput::MoveTo(GetDesktopWindow(), POINT{(rect.left + rect.right) / 2, rect.top + 8});
        RealInput::Press(1);
        RealInput::Release(1);
        RealInput::Key("alt+h");
        HWND popup = program.WaitForWindow("#32768", nullptr);
        ASSERT_NE(nullptr, popup) << "the help menu did not open";
        GetWindowRect(popup, &rect);
        // The first item lies just inside the popup's frame.
        RealInput::MoveTo(GetDesktopWindow(), POINT{(rect.left + rect.right) / 2, rect.top + 10});
        RealInput::Press(1);
        RealInput::Release(1);
    }

    // The program's windows, once its preview shows the frame rate.
    struct Windows {
        HWND preview;
        HWND editMenu;
        HWND heights;
    };
    static void WaitForWindows(RunningProgram& program, Windows* windows)
    {
        windows->preview = program.WaitForPreview(30000);
        ASSERT_NE(nullptr, windows->preview);
        ASSERT_TRUE(IsRateTitle(program.WaitForRateTitle()));
        windows->editMenu = program.FindWindowOfClass("EditMenu");
        windows->heights = program.FindWindowOfClass("HeightEditor");
        ASSERT_NE(nullptr, windows->editMenu);
        ASSERT_NE(nullptr, windows->heights);
    }

    static bool HasScrollBars(HWND window)
    {
        return (GetWindowLongPtrA(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL);
    }

    static void CloseAndExpectCleanExit(RunningProgram& program, HWND window)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(program.WaitForExit(20000, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }

    ScratchFolder installed{"quelmora-sample-installed"};
    ScratchFolder elsewhere{"quelmora-sample-elsewhere"};
};

}  // namespace

// The sample beside the program opens from the help menu: the preview shows
// it, and "上書き保存(&S)" asks for a name instead of writing over the sample;
// the map saved under that name is the sample's, and the sample is unchanged.
TEST_F(SampleMapProgram, TheHelpMenuOpensTheSampleAndItsFirstSaveAsksForAName)
{
    ASSERT_NO_FATAL_FAILURE(Install(true));
    const std::string sample = installed.path() + kSampleMapName;
    const std::string before = ReadWholeFile(sample);
    MapFileContents expected;
    ASSERT_EQ(MapFileError::None, LoadMapFile(sample.c_str(), &expected));

    RunningProgram program(installed.path(), elsewhere.path());
    Windows windows = {};
    ASSERT_NO_FATAL_FAILURE(WaitForWindows(program, &windows));
    HWND preview = windows.preview;
    HWND editMenu = windows.editMenu;
    HWND heights = windows.heights;
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());

    ASSERT_NO_FATAL_FAILURE(ChooseOpenSampleMap(program, editMenu));
    // The flat field gives way to the island.
    const ScreenPicture island = WaitForChangedPicture(preview, start, 0.2, 30000);
    EXPECT_GT(DifferingShare(start, island, 8), 0.2);
    EXPECT_TRUE(HasScrollBars(heights)) << "the height window shows no larger map";

    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(220, 0), 0);
    HWND save = program.WaitForWindow("#32770", "名前をつけて保存");
    ASSERT_NE(nullptr, save) << "the save did not ask for a name";
    const std::string mine = elsewhere.path() + "mine.omd";
    SetDlgItemTextA(save, kFileNameBox, mine.c_str());
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    MapFileContents saved;
    for (int wait = 0; wait < 200 && LoadMapFile(mine.c_str(), &saved) != MapFileError::None; ++wait) {
        Sleep(100);
    }
    ASSERT_EQ(expected.width, saved.width);
    ASSERT_EQ(expected.cells.size(), saved.cells.size());
    for (size_t i = 0; i < expected.cells.size(); ++i) {
        ASSERT_EQ(expected.cells[i].chip, saved.cells[i].chip) << "cell " << i;
        ASSERT_EQ(expected.cells[i].billboard, saved.cells[i].billboard) << "cell " << i;
    }
    EXPECT_TRUE(saved.planes == expected.planes);
    EXPECT_TRUE(saved.billboards == expected.billboards);
    EXPECT_EQ(before, ReadWholeFile(sample));

    // Saved: the program ends without a question.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, preview));
}

// Without the sample beside the program or in its current folder, the menu
// item says so, naming the file and both places, and the start map stays.
TEST_F(SampleMapProgram, AMissingSampleIsNamedAndTheStartMapStays)
{
    ASSERT_NO_FATAL_FAILURE(Install(false));
    RunningProgram program(installed.path(), elsewhere.path());
    Windows windows = {};
    ASSERT_NO_FATAL_FAILURE(WaitForWindows(program, &windows));
    HWND preview = windows.preview;
    HWND editMenu = windows.editMenu;
    HWND heights = windows.heights;

    ASSERT_NO_FATAL_FAILURE(ChooseOpenSampleMap(program, editMenu));
    std::string text;
    ASSERT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find("「island.omd」")) << text;
    EXPECT_NE(std::string::npos, text.find(installed.path() + "island.omd")) << text;
    EXPECT_NE(std::string::npos, text.find(elsewhere.path() + "island.omd")) << text;
    Sleep(500);
    EXPECT_FALSE(HasScrollBars(heights));
    // Nothing changed: the program ends without a question.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, preview));
}
