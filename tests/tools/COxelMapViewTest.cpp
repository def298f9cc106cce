#include "tools/COxelMapView.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// What a left click edits in each 2D window: a vertex in the height window, a
// cell's chip in the texture mapping window and either in the map edit window.
enum Edited { kVertex, kChip };

}  // namespace

TEST(COxelMapView, ClicksAtScrolledPositionsEditTheVertexOrCellUnderThem)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    editor.m_selectedChip = 5;
    editor.OpenWindow(kMapEditWindow);
    // The wheel scrolls a square a notch; six hundred notches reach the map's
    // far edge, where the client area's last pixel is the map's last.
    const struct {
        int window;
        int size;
        int notchesDown;
        int notchesAcross;
        bool fromFarCorner;
        POINT at;
        Edited edited;
        int column;
        int row;
    } clicks[] = {
        {kHeightWindow, 128, 3, 2, false, {5, 5}, kVertex, 126, 3},
        {kHeightWindow, 128, 600, 600, true, {5, 5}, kVertex, 1, 127},
        {kHeightWindow, 512, 600, 600, true, {5, 5}, kVertex, 1, 511},
        {kHeightWindow, 512, 200, 0, false, {15, 0}, kVertex, 511, 200},
        {kTextureMappingWindow, 128, 3, 2, false, {5, 5}, kChip, 126, 3},
        {kTextureMappingWindow, 512, 600, 600, true, {1, 1}, kChip, 1, 511},
        {kTextureMappingWindow, 512, 300, 100, false, {16, 0}, kChip, 411, 300},
        {kMapEditWindow, 128, 3, 2, false, {20, 20}, kChip, 125, 3},
        {kMapEditWindow, 512, 600, 600, true, {20, 20}, kChip, 0, 511},
        // The far corner's bottom-left corner square: the vertex past the last row wraps to row 0.
        {kMapEditWindow, 512, 600, 600, true, {35, 5}, kVertex, 1, 0},
    };
    for (const auto& click : clicks) {
        editor.NewMap(click.size, click.size);
        COxelD3DTerrainChipManager& terrain = session.terrain();
        const HWND window = session.handle(click.window);
        if (click.window == kMapEditWindow) {
            MoveWindow(window, 0, 0, 300, 300, TRUE);
        }
        const SIZE client = ClientSize(window);
        // Down (or with Shift across) by `notches`, up for a negative count, a
        // hundred notches a message: one holds no more than 273.
        const auto wheel = [window](int notches, WORD keys) {
            while (notches != 0) {
                const int step = notches > 100 ? 100 : notches < -100 ? -100 : notches;
                SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(-WHEEL_DELTA * step)), 0);
                notches -= step;
            }
        };
        // From the top-left corner, wherever the last row left the view.
        wheel(-600, 0);
        wheel(-600, MK_SHIFT);
        wheel(click.notchesDown, 0);
        wheel(click.notchesAcross, MK_SHIFT);
        const POINT at = click.fromFarCorner ? POINT{client.cx - click.at.x, client.cy - click.at.y} : click.at;
        const double height = terrain.GetHeight(click.column, click.row);
        session.Click(click.window, at);
        const std::string where = std::to_string(click.window) + " at " + std::to_string(click.size);
        if (click.edited == kVertex) {
            EXPECT_DOUBLE_EQ(height + 0.5, terrain.GetHeight(click.column, click.row)) << where;
        } else {
            EXPECT_EQ(5, terrain.GetMapChip(click.column, click.row)) << where;
        }
        // A middle click there puts the preview's eye over the vertex or the cell's centre, at the same
        // height and looking the same way (the eye may stand over the same spot of a neighbouring copy).
        if (click.window == kHeightWindow || click.edited == kChip) {
            COxelD3DCameraBase& camera = *session.scene().m_camera;
            const D3DXVECTOR3 eye = camera.GetPosition();
            const D3DXVECTOR3 look = camera.m_target - eye;
            SendMessageA(window, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(at.x, at.y));
            const float centre = click.window == kHeightWindow ? 0.0f : 0.5f;
            const D3DXVECTOR3 moved = camera.GetPosition();
            const float size = static_cast<float>(click.size);
            EXPECT_NEAR(0.0f, std::remainder(moved.x - (click.column + centre), size), 0.01f) << where;
            EXPECT_NEAR(0.0f, std::remainder(moved.z - (click.row + centre), size), 0.01f) << where;
            EXPECT_EQ(eye.y, moved.y) << where;
            const D3DXVECTOR3 looks = camera.m_target - moved;
            EXPECT_NEAR(look.x, looks.x, 0.01f) << where;
            EXPECT_NEAR(look.z, looks.z, 0.01f) << where;
        }
    }
}

TEST(COxelMapView, LargeMapsShowInAPageNoLargerThanASixtyFourMapsWithScrollBars)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    for (const int window : {kHeightWindow, kTextureMappingWindow}) {
        session.editor().NewMap(64, 64);
        const SIZE whole = ClientSize(session.handle(window));
        RECT work = {};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        for (const int size : {128, 512}) {
            // Standing near the screen's corner, the larger page moves back onto the screen.
            SetWindowPos(session.handle(window), nullptr, work.right - 200, work.bottom - 200, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            session.editor().NewMap(size, size);
            const HWND handle = session.handle(window);
            const SIZE client = ClientSize(handle);
            EXPECT_LE(client.cx, whole.cx) << size;
            EXPECT_LE(client.cy, whole.cy) << size;
            RECT frame = {};
            GetWindowRect(handle, &frame);
            EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
                        frame.bottom <= work.bottom)
                << size;
            const LONG_PTR style = GetWindowLongPtrA(handle, GWL_STYLE);
            EXPECT_TRUE((style & WS_VSCROLL) && (style & WS_HSCROLL)) << size;
        }
        // Back at 64 the bars go and the map shows whole, as before.
        session.editor().NewMap(64, 64);
        const HWND handle = session.handle(window);
        EXPECT_FALSE(GetWindowLongPtrA(handle, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
        EXPECT_EQ(whole.cx, ClientSize(handle).cx);
        EXPECT_EQ(whole.cy, ClientSize(handle).cy);
    }
}
