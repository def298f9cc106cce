#include "editor/COxelD3DMapEditWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

namespace {

// Chip 0 of the test atlas is grey, chip 1 red.
const unsigned kGrey = 0x808080;
const unsigned kRed = 0xFF0000;

class MapEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.editor().NewMap(16, 16);
        session.editor().OpenWindow(kMapEditWindow);
        ASSERT_NE(nullptr, session.handle(kMapEditWindow));
    }

    COxelD3DMapEditWnd& MapEdit() const { return *static_cast<COxelD3DMapEditWnd*>(session.window(kMapEditWindow)); }
    HWND Handle() const { return session.handle(kMapEditWindow); }
    // Pixel (dx, dy) of the square in view column c, row r, in client coordinates.
    POINT Square(int c, int r, int dx = 20, int dy = 20) const
    {
        return POINT{40 * c + dx - MapEdit().m_scrollX, 40 * r + dy - MapEdit().m_scrollY};
    }
    // Makes the window as large as the desktop; it must shrink to the map.
    void Enlarge() const { MoveWindow(Handle(), 0, 0, 3000, 3000, TRUE); }
    void Scroll(UINT bar, int code, int position = 0) const
    {
        SendMessageA(Handle(), bar, MAKEWPARAM(code, position), 0);
    }

    EditorSession session;
};

}  // namespace

TEST_F(MapEditTest, ShowsTheMapMirroredWithColumnZeroAtTheRightEdgeAndNeverGrowsPastIt)
{
    const std::string path = WriteTestBitmap("quelmora_mapedit_atlas.bmp", 256, 128,
                                             [](int x, int) { return x < 128 ? kGrey : kRed; });
    session.editor().OpenTextureImage(path.c_str());
    DeleteFileA(path.c_str());
    Enlarge();
    const SIZE client = ClientSize(Handle());
    EXPECT_EQ(640, client.cx);
    EXPECT_EQ(640, client.cy);

    session.editor().m_selectedChip = 1;
    session.Click(kMapEditWindow, Square(15, 2));
    EXPECT_EQ(1, session.terrain().GetMapChip(0, 2));
    session.terrain().SetHeight(0, 2, 8.0);
    MapEdit().Refresh();

    PaintedPicture picture(&MapEdit(), 640, 640);
    EXPECT_EQ(kRed, picture.Pixel(40 * 15 + 20, 40 * 2 + 20));
    EXPECT_EQ(kGrey, picture.Pixel(20, 40 * 2 + 20));
    // Vertex (0, 2) is corner 0, the top right, of the rightmost square.
    EXPECT_EQ(0x787878u, picture.Pixel(40 * 15 + 35, 40 * 2 + 5));
    EXPECT_EQ(0x1E1E1Eu, picture.Pixel(40 * 15 + 5, 40 * 2 + 5));
    EXPECT_EQ(0x000000u, picture.Pixel(40 * 15 + 30, 40 * 2 + 5)) << "black pen";
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(40 * 15 + 39, 40 * 2 + 20)) << "white outline";
}

TEST_F(MapEditTest, CornerSquaresIncludeTheirEdgesAndKeepHeightsWithinBounds)
{
    Enlarge();
    COxelD3DTerrainChipManager& terrain = session.terrain();
    // View column c shows grid column 15 - c: the left corners of view column
    // 0 are vertices of grid column 0 again, and the bottom corners of the
    // last row those of row 0.
    const struct {
        int c, r, dx, dy;
        bool right;
        double start;
        int vertexX, vertexY;
        double expected;
    } cases[] = {
        {3, 4, 30, 10, false, 2.0, 12, 4, 2.5},   {3, 4, 40 - 1, 0, false, 2.0, 12, 4, 2.5},
        {3, 4, 30, 30, true, 2.0, 12, 5, 1.5},    {3, 4, 10, 10, false, 2.0, 13, 4, 2.5},
        {3, 4, 10, 30, true, 2.0, 13, 5, 1.5},    {3, 15, 30, 30, false, 2.0, 12, 0, 2.5},
        {0, 4, 0, 0, false, 2.0, 0, 4, 2.5},      {15, 4, 10, 10, false, 2.0, 1, 4, 2.5},
        {3, 4, 30, 10, false, 16.0, 12, 4, 16.0}, {3, 4, 30, 10, true, 0.0, 12, 4, 0.0},
    };
    for (const auto& c : cases) {
        terrain.SetHeight(c.vertexX, c.vertexY, c.start);
        terrain.SetMapChip(15 - c.c, c.r, 3);
        session.Click(kMapEditWindow, Square(c.c, c.r, c.dx, c.dy), c.right);
        EXPECT_DOUBLE_EQ(c.expected, terrain.GetHeight(c.vertexX, c.vertexY))
            << "square " << c.c << "," << c.r << " at " << c.dx << "," << c.dy;
        EXPECT_EQ(3, terrain.GetMapChip(15 - c.c, c.r)) << "a corner click leaves the chip";
        terrain.SetHeight(c.vertexX, c.vertexY, 2.0);
    }
    // Just inside the middle: the cell, not a corner.
    session.editor().m_selectedChip = 7;
    session.Click(kMapEditWindow, Square(3, 4, 11, 11));
    EXPECT_EQ(7, terrain.GetMapChip(12, 4));
}

TEST_F(MapEditTest, ACornerClickRedrawsEverySquareThatSharesTheVertex)
{
    Enlarge();
    for (int click = 0; click < 4; ++click) {
        session.Click(kMapEditWindow, Square(5, 5, 35, 5));
    }
    EXPECT_DOUBLE_EQ(4.0, session.terrain().GetHeight(10, 5));
    // The vertex is the top right of (5, 5), the top left of (6, 5), the bottom
    // right of (5, 4) and the bottom left of (6, 4).
    PaintedPicture picture(&MapEdit(), 640, 640);
    const unsigned grey60 = 0x3C3C3C;
    EXPECT_EQ(grey60, picture.Pixel(40 * 5 + 35, 40 * 5 + 5));
    EXPECT_EQ(grey60, picture.Pixel(40 * 6 + 5, 40 * 5 + 5));
    EXPECT_EQ(grey60, picture.Pixel(40 * 5 + 35, 40 * 4 + 35));
    EXPECT_EQ(grey60, picture.Pixel(40 * 6 + 5, 40 * 4 + 35));
    EXPECT_EQ(0x1E1E1Eu, picture.Pixel(40 * 4 + 35, 40 * 5 + 5)) << "a square without the vertex";
}

TEST_F(MapEditTest, MiddleClicksTurnTheTileFourTimesRoundAndPutThePickedChipUnturned)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    for (int expected : {1, 2, 3, 0}) {
        session.Click(kMapEditWindow, Square(2, 3), true);
        EXPECT_EQ(expected, terrain.GetMapChipRotation(13, 3));
    }
    terrain.SetMapChipRotation(13, 3, 2);
    session.editor().m_selectedChip = 9;
    session.Click(kMapEditWindow, Square(2, 3));
    EXPECT_EQ(9, terrain.GetMapChip(13, 3));
    EXPECT_EQ(0, terrain.GetMapChipRotation(13, 3));
    // Pressed on one square and released on the next: nothing.
    session.Click(kMapEditWindow, Square(4, 3), Square(5, 3), true);
    EXPECT_EQ(0, terrain.GetMapChipRotation(11, 3));
    EXPECT_EQ(0, terrain.GetMapChipRotation(10, 3));
}

TEST_F(MapEditTest, ADragOfFivePixelsScrollsTheViewAndCancelsTheClick)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    session.editor().m_selectedChip = 4;
    const POINT press = Square(3, 3);
    SendMessageA(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + 4, press.y - 4));
    SendMessageA(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(press.x + 4, press.y - 4));
    EXPECT_EQ(4, terrain.GetMapChip(12, 3)) << "4 pixels: a click";
    EXPECT_EQ(0, MapEdit().m_scrollX);

    session.editor().m_selectedChip = 6;
    SendMessageA(Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x - 5, press.y + 1));
    EXPECT_EQ(5, MapEdit().m_scrollX);
    EXPECT_EQ(0, MapEdit().m_scrollY) << "cannot scroll above the top";
    EXPECT_EQ(5, GetScrollPos(Handle(), SB_HORZ));
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    SendMessageA(Handle(), WM_RBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    EXPECT_EQ(4, terrain.GetMapChip(12, 3));
    EXPECT_EQ(0, terrain.GetMapChipRotation(12, 3));
    EXPECT_EQ(0, MapEdit().m_scrollX);

    // Dragged far past the map's far corner, the view stops at it.
    const int top = MapEdit().m_scrollY;
    SendMessageA(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 300));
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 0));
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 0));
    SendMessageA(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
    const SIZE client = ClientSize(Handle());
    EXPECT_EQ(640 - client.cx, MapEdit().m_scrollX);
    EXPECT_EQ(top + 300, MapEdit().m_scrollY);

    // A drag holds the mouse; once it loses it (released over another
    // window), the view no longer follows the mouse.
    SendMessageA(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    EXPECT_EQ(Handle(), GetCapture());
    SendMessageA(Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 110));
    const POINT dragged = {MapEdit().m_scrollX, MapEdit().m_scrollY};
    EXPECT_EQ(640 - client.cx - 10, dragged.x);
    ReleaseCapture();
    SendMessageA(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(150, 150));
    EXPECT_EQ(dragged.x, MapEdit().m_scrollX);
    EXPECT_EQ(dragged.y, MapEdit().m_scrollY);
}

TEST_F(MapEditTest, EveryScrollRequestMovesOnePixelAndTheThumbStaysWithinTheMap)
{
    const SIZE client = ClientSize(Handle());
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(1, MapEdit().m_scrollY);
    Scroll(WM_VSCROLL, SB_BOTTOM);
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(3, MapEdit().m_scrollY);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(2, MapEdit().m_scrollY);
    Scroll(WM_VSCROLL, SB_THUMBTRACK, 100);
    EXPECT_EQ(2, MapEdit().m_scrollY);
    Scroll(WM_HSCROLL, SB_THUMBPOSITION, 600);
    EXPECT_EQ(640 - client.cx, MapEdit().m_scrollX);
    EXPECT_EQ(640 - client.cx, GetScrollPos(Handle(), SB_HORZ));
    Scroll(WM_HSCROLL, SB_LINEDOWN);
    EXPECT_EQ(640 - client.cx, MapEdit().m_scrollX);
    EXPECT_EQ(2, MapEdit().m_scrollY);

    // A click lands on the square under the mouse in the scrolled view.
    session.editor().m_selectedChip = 5;
    session.Click(kMapEditWindow, Square(15, 6));
    EXPECT_EQ(5, session.terrain().GetMapChip(0, 6));
}

// The wheel moves the view a whole cell a notch, within the map; the bars follow.
TEST_F(MapEditTest, TheWheelScrollsOneCellANotchAndShiftTurnsItAcross)
{
    MoveWindow(Handle(), 0, 0, 300, 300, TRUE);
    const SIZE client = ClientSize(Handle());
    const auto wheel = [&](UINT message, int delta, WORD keys = 0) {
        SendMessageA(Handle(), message, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))), 0);
        return POINT{MapEdit().m_scrollX, MapEdit().m_scrollY};
    };
    const struct {
        UINT message;
        int delta;
        WORD keys;
        int x;
        int y;
    } steps[] = {
        {WM_MOUSEWHEEL, -WHEEL_DELTA, 0, 0, 40},           // towards the user: down a cell
        {WM_MOUSEWHEEL, -2 * WHEEL_DELTA, 0, 0, 120},      // two notches at once
        {WM_MOUSEWHEEL, WHEEL_DELTA / 2, 0, 0, 120},       // half a notch waits for the other half
        {WM_MOUSEWHEEL, WHEEL_DELTA / 2, 0, 0, 80},
        {WM_MOUSEWHEEL, -WHEEL_DELTA, MK_SHIFT, 40, 80},   // Shift: across, to the right
        {WM_MOUSEHWHEEL, WHEEL_DELTA, 0, 80, 80},          // tilted right
        {WM_MOUSEHWHEEL, -5 * WHEEL_DELTA, 0, 0, 80},      // never past the left edge
        {WM_MOUSEWHEEL, -100 * WHEEL_DELTA, 0, 0, 640 - client.cy},  // nor past the bottom
    };
    for (const auto& step : steps) {
        const POINT offset = wheel(step.message, step.delta, step.keys);
        EXPECT_EQ(step.x, offset.x) << step.delta;
        EXPECT_EQ(step.y, offset.y) << step.delta;
    }
    EXPECT_EQ(640 - client.cy, GetScrollPos(Handle(), SB_VERT));
    // The bars' own steps stay one pixel.
    Scroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(640 - client.cy - 1, MapEdit().m_scrollY);
}

TEST_F(MapEditTest, ANewMapOrAtlasRebuildsTheViewForTheNewSize)
{
    session.editor().NewMap(64, 64);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    GetScrollInfo(Handle(), SB_VERT, &info);
    EXPECT_EQ(64 * 40, info.nMax);
    Scroll(WM_VSCROLL, SB_THUMBPOSITION, 64 * 40);
    Scroll(WM_HSCROLL, SB_THUMBPOSITION, 64 * 40);
    session.editor().m_selectedChip = 2;
    const SIZE client = ClientSize(Handle());
    session.Click(kMapEditWindow, POINT{client.cx - 20, client.cy - 20});
    EXPECT_EQ(2, session.terrain().GetMapChip(0, 63));
    session.Click(kMapEditWindow, POINT{client.cx - 5, client.cy - 5}, true);
    EXPECT_DOUBLE_EQ(1.5, session.terrain().GetHeight(0, 0)) << "the corner wraps to the first row";

    // Back to a small map: the view is scrolled back inside it.
    session.editor().NewMap(16, 16);
    Enlarge();
    EXPECT_EQ(0, MapEdit().m_scrollX);
    EXPECT_EQ(640, ClientSize(Handle()).cy);
}
