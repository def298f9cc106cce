#include "tools/COxelMapViewWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

void PostWheel(HWND window, UINT message, WORD keys, int notches)
{
    PostMessageA(window, message, MAKEWPARAM(keys, static_cast<WORD>(notches * WHEEL_DELTA)), 0);
}

void DispatchAllOf(HWND window)
{
    MSG message;
    while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

}  // namespace

// Wheel notches that wait in the queue, however many, are one scroll to where
// they all lead once the first is handled; what the scroll moved on the screen
// is what a whole repaint draws; a click between notches lands on the view
// that the notches before it left.
TEST(COxelMapViewWnd, WaitingWheelNotchesScrollOnceAndWhatMovedIsWhatAWholeRepaintDraws)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    session.MakeVariedMap(512, 0, false);
    auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    mapping->SetCellSize(10, 10);
    for (const int index : {kHeightWindow, kTextureMappingWindow}) {
        const std::string name = index == kHeightWindow ? "height window" : "texture mapping window";
        const HWND window = session.handle(index);
        // In front of everything, so that the screen shows what it drew.
        SetWindowPos(window, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        session.window(index)->Refresh();
        session.window(index)->Show();
        SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
        SendMessageA(window, WM_HSCROLL, SB_TOP, 0);
        UpdateWindow(window);

        const struct {
            int down;
            int right;
            int tiltRight;
            POINT expected;
        } bursts[] = {{40, 7, 2, {90, 400}}, {-13, -3, 0, {60, 270}}, {100, 0, -1, {50, 1270}}};
        for (const auto& burst : bursts) {
            for (int notch = 0; notch < std::abs(burst.down); ++notch) {
                PostWheel(window, WM_MOUSEWHEEL, 0, burst.down > 0 ? -1 : 1);
            }
            for (int notch = 0; notch < std::abs(burst.right); ++notch) {
                PostWheel(window, WM_MOUSEWHEEL, MK_SHIFT, burst.right > 0 ? -1 : 1);
            }
            if (burst.tiltRight != 0) {
                PostWheel(window, WM_MOUSEHWHEEL, 0, burst.tiltRight);
            }
            MSG message;
            ASSERT_TRUE(PeekMessageA(&message, window, WM_MOUSEWHEEL, WM_MOUSEHWHEEL, PM_REMOVE));
            DispatchMessageA(&message);
            EXPECT_FALSE(PeekMessageA(&message, window, WM_MOUSEWHEEL, WM_MOUSEHWHEEL, PM_NOREMOVE)) << name;
            EXPECT_EQ(burst.expected.x, GetScrollPos(window, SB_HORZ)) << name;
            EXPECT_EQ(burst.expected.y, GetScrollPos(window, SB_VERT)) << name;

            const ScreenPicture scrolled = CaptureClientArea(window);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            const ScreenPicture whole = CaptureClientArea(window);
            ASSERT_FALSE(whole.pixels.empty());
            EXPECT_EQ(0.0, DifferingShare(scrolled, whole, 0)) << name << " at " << burst.expected.y;
        }

        // Five notches, a click, five more: the click edits the square five rows down.
        const POINT at = {15, 15};
        const int column = 512 - (GetScrollPos(window, SB_HORZ) + at.x) / 10;
        const int row = (GetScrollPos(window, SB_VERT) + 50 + at.y) / 10;
        COxelD3DTerrainChipManager& terrain = session.terrain();
        const double height = terrain.GetHeight(column, row);
        session.editor().m_selectedChip = terrain.GetMapChip(column, row) == 5 ? 6 : 5;
        for (int notch = 0; notch < 5; ++notch) {
            PostWheel(window, WM_MOUSEWHEEL, 0, -1);
        }
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        for (int notch = 0; notch < 5; ++notch) {
            PostWheel(window, WM_MOUSEWHEEL, 0, -1);
        }
        DispatchAllOf(window);
        EXPECT_EQ(1370, GetScrollPos(window, SB_VERT)) << name;
        if (index == kHeightWindow) {
            EXPECT_DOUBLE_EQ(height + 0.5, terrain.GetHeight(column, row)) << name;
        } else {
            EXPECT_EQ(session.editor().m_selectedChip, terrain.GetMapChip(column, row)) << name;
        }
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        ShowWindow(window, SW_HIDE);
    }
}

// The real wheel, as Wine delivers it from the X server, over the height window
// of a 512 x 512 map: every notch moves the view a square, down or (with Shift)
// across, none lost and none twice, and a real click between notches edits the
// vertex that was under the pointer when it came.
TEST(COxelMapViewWnd, RealWheelNotchesEachMoveASquareAndAClickBetweenThemLandsWhereTheViewWas)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    session.editor().NewMap(512, 512);
    const HWND window = session.handle(kHeightWindow);
    SetWindowPos(window, HWND_TOP, 300, 120, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    session.window(kHeightWindow)->Refresh();
    SetForegroundWindow(window);
    RealInput::Dispatch(200);
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    SendMessageA(window, WM_HSCROLL, SB_TOP, 0);

    const POINT at = {55, 55};
    // As the other tests of real input, by what it does: xdotool's exit code
    // does not come through Wine.
    RealInput::MoveTo(window, at);
    RealInput::Xdotool("click --repeat 20 --delay 2 5");
    RealInput::Xdotool("keydown shift click --repeat 4 --delay 2 5 keyup shift");
    RealInput::Dispatch(300);
    EXPECT_EQ(200, GetScrollPos(window, SB_VERT));
    EXPECT_EQ(40, GetScrollPos(window, SB_HORZ));

    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int column = 512 - (40 + at.x) / 10;
    const int row = (200 + 100 + at.y) / 10;
    const double height = terrain.GetHeight(column, row);
    RealInput::Xdotool("click --repeat 10 --delay 1 5 click 1 click --repeat 10 --delay 1 5");
    RealInput::Dispatch(300);
    EXPECT_EQ(400, GetScrollPos(window, SB_VERT));
    EXPECT_DOUBLE_EQ(height + 0.5, terrain.GetHeight(column, row));
    ShowWindow(window, SW_HIDE);
}
