#include "tools/COxelD3DHeightWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

namespace {

class HeightWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    // The middle of the square in view column c, row r.
    static POINT Square(int c, int r) { return POINT{10 * c + 5, 10 * r + 5}; }

    EditorSession session;
};

}  // namespace

TEST_F(HeightWindowTest, ShowsOneTenPixelSquarePerVertexOfEveryMapSize)
{
    for (int size : {16, 64, 32}) {
        session.editor().NewMap(size, size);
        const SIZE client = ClientSize(session.handle(kHeightWindow));
        EXPECT_EQ(10 * size, client.cx);
        EXPECT_EQ(10 * size, client.cy);
    }
}

TEST_F(HeightWindowTest, ClicksRaiseAndLowerTheMirroredVertexByHalfAUnitWithinBounds)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    session.Click(kHeightWindow, Square(0, 3));
    EXPECT_DOUBLE_EQ(2.5, terrain.GetHeight(0, 3));
    session.Click(kHeightWindow, Square(1, 3), true);
    EXPECT_DOUBLE_EQ(1.5, terrain.GetHeight(w - 1, 3));

    terrain.SetHeight(5, 6, 16.0);
    session.Click(kHeightWindow, Square(w - 5, 6));
    EXPECT_DOUBLE_EQ(16.0, terrain.GetHeight(5, 6));
    terrain.SetHeight(5, 6, 0.0);
    session.Click(kHeightWindow, Square(w - 5, 6), true);
    EXPECT_DOUBLE_EQ(0.0, terrain.GetHeight(5, 6));

    // Pressed on one square and released on another: no edit.
    session.Click(kHeightWindow, Square(2, 2), Square(3, 2));
    session.Click(kHeightWindow, Square(2, 2), Square(2, 3), true);
    EXPECT_DOUBLE_EQ(2.0, terrain.GetHeight(w - 2, 2));
    EXPECT_DOUBLE_EQ(2.0, terrain.GetHeight(w - 3, 2));
    EXPECT_DOUBLE_EQ(2.0, terrain.GetHeight(w - 2, 3));

    // A release without its own press edits nothing: a lone release over the
    // square last clicked, and a left press with a right release.
    session.Click(kHeightWindow, Square(4, 4));
    const LPARAM at = MAKELPARAM(Square(4, 4).x, Square(4, 4).y);
    SendMessageA(session.handle(kHeightWindow), WM_LBUTTONUP, 0, at);
    EXPECT_DOUBLE_EQ(2.5, terrain.GetHeight(w - 4, 4));
    SendMessageA(session.handle(kHeightWindow), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(session.handle(kHeightWindow), WM_RBUTTONUP, 0, at);
    EXPECT_DOUBLE_EQ(2.5, terrain.GetHeight(w - 4, 4));
    SendMessageA(session.handle(kHeightWindow), WM_LBUTTONUP, 0, at);
}

TEST_F(HeightWindowTest, DrawsHeightsAsGreyLevelsInBlackOutlines)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    const struct {
        int column;
        double height;
        unsigned colour;
    } cases[] = {{0, 16.0, 0xFFFFFF}, {1, 15.99, 0xFFFFFF}, {2, 8.0, 0x808080}, {3, 0.03, 0x000000}};
    for (const auto& c : cases) {
        terrain.SetHeight((w - c.column) % w, 0, c.height);
    }
    PaintedPicture picture(session.window(kHeightWindow), 10 * w, 10 * w);
    for (const auto& c : cases) {
        EXPECT_EQ(c.colour, picture.Pixel(10 * c.column + 5, 5)) << "height " << c.height;
        EXPECT_EQ(0x000000u, picture.Pixel(10 * c.column, 0)) << "outline of " << c.height;
    }
}

TEST_F(HeightWindowTest, MovingTheMousePutsTheCursorOnTheLowestCornerUnderIt)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    terrain.SetHeight(w - 4, 7, 6.0);
    terrain.SetHeight(w - 3, 7, 5.0);
    terrain.SetHeight(w - 4, 8, 7.0);
    terrain.SetHeight(w - 3, 8, 4.5);
    const POINT over = Square(4, 7);
    SendMessageA(session.handle(kHeightWindow), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    const float* cursor = session.scene().m_cursorPosition;
    EXPECT_FLOAT_EQ(static_cast<float>(w - 4), cursor[0]);
    EXPECT_FLOAT_EQ(4.5f, cursor[1]);
    EXPECT_FLOAT_EQ(7.0f, cursor[2]);

    const POINT edge = Square(0, 0);
    SendMessageA(session.handle(kHeightWindow), WM_MOUSEMOVE, 0, MAKELPARAM(edge.x, edge.y));
    EXPECT_FLOAT_EQ(static_cast<float>(w), cursor[0]);
}
