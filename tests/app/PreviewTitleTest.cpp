#include "app/PreviewTitle.h"

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/HeightStep.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

TEST(PreviewTitle, FollowsTheFrameRateWithTheFileNameAndTheUnsavedMark)
{
    const struct {
        const char* file;
        bool modified;
        std::string expected;
    } rows[] = {
        {"C:\\maps\\island.omd", false, "[ FPS : 028/s ] island.omd"},
        {"C:\\maps\\island.omd", true, "[ FPS : 028/s ] island.omd *"},
        {"", false, "[ FPS : 028/s ] 名前のないマップ"},
        {"", true, "[ FPS : 028/s ] 名前のないマップ *"},
        {"C:/maps/sea.omd", false, "[ FPS : 028/s ] sea.omd"},
        // The second byte of "表" is a backslash: the name is not cut there.
        {"C:\\地図\\表.omd", true, "[ FPS : 028/s ] 表.omd *"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, PreviewTitle("[ FPS : 028/s ]", row.file, row.modified)) << row.file;
    }
}

namespace {

HWND g_preview = nullptr;
int g_titlesSet = 0;

LRESULT CALLBACK CountTitles(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_preview && message->message == WM_SETTEXT) {
        ++g_titlesSet;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// What the loop does whenever no message waits brings the title up to date
// after each change of the map's file or unsaved state, without waiting for
// the next frame rate; while nothing changes, neither it nor the frames set
// the title again.
TEST(PreviewTitleInEditor, ChangesWithTheMapAtOnceAndOnlyThen)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    ScratchFolder scratch{"quelmora-preview-title-test"};
    const std::string island = scratch.path() + "island.omd";
    COxelD3DApplication& application = session.application();
    COxelD3DTerrainEditor& editor = session.editor();
    auto& menu = *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow));
    HWND preview = application.m_hWnd;
    const auto title = [&] {
        char text[256] = {};
        GetWindowTextA(preview, text, sizeof text);
        return std::string(text);
    };
    // Later than any frame the session may have drawn: the second frame ends an interval of one frame.
    const DWORD start = timeGetTime() + 100000;
    application.RenderFrame(start);
    application.RenderFrame(start + COxelFrameTimer::kRateInterval);
    const std::string rate = "[ FPS : 002/s ]";
    EXPECT_EQ(rate + " 名前のないマップ", title());

    g_preview = preview;
    g_titlesSet = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountTitles, nullptr, GetCurrentThreadId());
    // Frames within the rate's interval, each followed by an idle pass.
    for (DWORD frame = 1; frame < 20; ++frame) {
        application.RenderFrame(start + COxelFrameTimer::kRateInterval + frame * COxelFrameTimer::kFrameInterval);
        application.ShowTitle();
    }
    EXPECT_EQ(0, g_titlesSet) << "the title was set again with nothing changed";

    const struct {
        const char* what;
        std::function<void()> change;
        std::string shown;
    } changes[] = {
        {"an edit", [&] { editor.Perform(std::make_unique<HeightStep>(2, 3, 5.0)); }, " 名前のないマップ *"},
        {"a save",
         [&] {
             strcpy(menu.m_fileName, island.c_str());
             menu.SaveMap();
         },
         " island.omd"},
        {"another edit", [&] { editor.Perform(std::make_unique<HeightStep>(2, 3, 6.0)); }, " island.omd *"},
        {"an undo back to the saved map", [&] { editor.Undo(); }, " island.omd"},
        {"a redo", [&] { editor.Redo(); }, " island.omd *"},
        {"a new map", [&] { SendMessageA(menu.m_hWnd, WM_COMMAND, COxelD3DEditMenuWnd::kNewMapOfCurrentSize, 0); },
         " 名前のないマップ"},
        {"an open", [&] { menu.OpenMapFile(island.c_str()); }, " island.omd"},
    };
    MessageBoxAnswer discard(IDNO);
    int expectedSets = 0;
    for (const auto& change : changes) {
        change.change();
        application.ShowTitle();
        application.ShowTitle();
        EXPECT_EQ(rate + change.shown, title()) << change.what;
        EXPECT_EQ(++expectedSets, g_titlesSet) << change.what;
    }
    UnhookWindowsHookEx(hook);
}
