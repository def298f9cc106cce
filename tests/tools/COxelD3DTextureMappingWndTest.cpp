#include "tools/COxelD3DTextureMappingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/NothrowAllocations.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelPaintTools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace {

// Chip 1 of the test atlas: red, green, blue and yellow quarters clockwise from
// the upper left, so a turned tile shows which way it was turned.
const unsigned kQuarters[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

unsigned QuarterColour(int x, int y)
{
    const bool right = x >= 64;
    const bool bottom = y >= 64;
    return kQuarters[bottom ? (right ? 2 : 3) : (right ? 1 : 0)];
}

int g_paints = 0;
LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_PAINT) {
        ++g_paints;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class TextureMappingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        SetCells(16);
    }

    COxelD3DTextureMappingWnd& Mapping() const
    {
        return *static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    }
    void SetCells(int size)
    {
        Mapping().SetCellSize(size, size);
        Mapping().Refresh();
    }
    void Choose(int id) { SendMessageA(session.handle(kTextureMappingWindow), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool Checked(int id) const
    {
        return (GetMenuState(GetMenu(session.handle(kTextureMappingWindow)), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    // The middle of the cell in view column c, row r.
    POINT Cell(int c, int r) const
    {
        return POINT{c * Mapping().m_cellWidth + Mapping().m_cellWidth / 2,
                     r * Mapping().m_cellHeight + Mapping().m_cellHeight / 2};
    }

    EditorSession session;
};

}  // namespace

TEST_F(TextureMappingTest, ALeftClickPutsThePickedChipUnturnedOnTheMirroredCell)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    terrain.SetMapChipRotation(0, 3, 2);
    session.editor().m_selectedChip = 12;
    session.Click(kTextureMappingWindow, Cell(0, 3));
    EXPECT_EQ(12, terrain.GetMapChip(0, 3));
    EXPECT_EQ(0, terrain.GetMapChipRotation(0, 3));
    session.Click(kTextureMappingWindow, Cell(1, 3));
    EXPECT_EQ(12, terrain.GetMapChip(w - 1, 3));

    session.editor().m_selectedChip = 20;
    session.Click(kTextureMappingWindow, Cell(2, 3), Cell(3, 3));
    EXPECT_EQ(0, terrain.GetMapChip(w - 2, 3));
    EXPECT_EQ(0, terrain.GetMapChip(w - 3, 3));
}

TEST_F(TextureMappingTest, RightClicksTurnTheTileAQuarterClockwiseAndFourBringItBack)
{
    const std::string path = WriteTestBitmap("quelmora_mapping_quarters.bmp", 256, 128, [](int x, int y) {
        return x < 128 ? 0x808080u : QuarterColour(x - 128, y);
    });
    session.editor().OpenTextureImage(path.c_str());
    DeleteFileA(path.c_str());
    SetCells(32);
    session.editor().m_selectedChip = 1;
    session.Click(kTextureMappingWindow, Cell(0, 0));

    const int size = 32 * session.terrain().m_mapWidth;
    // Sampled inside each quarter of the cell, away from the outline and from
    // the blend where two quarters meet.
    const POINT samples[4] = {{8, 8}, {24, 8}, {24, 24}, {8, 24}};
    for (int turn = 0; turn <= 4; ++turn) {
        PaintedPicture picture(session.window(kTextureMappingWindow), 64, 64);
        for (int quarter = 0; quarter < 4; ++quarter) {
            const POINT at = samples[(quarter + turn) % 4];
            EXPECT_EQ(kQuarters[quarter], picture.Pixel(at.x, at.y)) << "turn " << turn << " quarter " << quarter;
        }
        EXPECT_EQ(0xFFFFFFu, picture.Pixel(0, 16)) << "outline, turn " << turn;
        session.Click(kTextureMappingWindow, Cell(0, 0), true);
    }
    EXPECT_EQ(1, session.terrain().GetMapChipRotation(0, 0));
    EXPECT_EQ(size, ClientSize(session.handle(kTextureMappingWindow)).cx);
}

TEST_F(TextureMappingTest, TheDisplaySizeMenuResizesOnceAndMarksTheChosenSize)
{
    const int w = session.terrain().m_mapWidth;
    const struct {
        int id;
        int pixels;
    } sizes[] = {{1000, 10}, {1002, 32}, {1001, 16}};
    for (const auto& size : sizes) {
        Choose(size.id);
        const SIZE client = ClientSize(session.handle(kTextureMappingWindow));
        EXPECT_EQ(w * size.pixels, client.cx);
        for (int id : {1000, 1001, 1002}) {
            EXPECT_EQ(id == size.id, Checked(id)) << "after " << size.id << ", item " << id;
        }
    }
    g_paints = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountPaints, nullptr, GetCurrentThreadId());
    Choose(1001);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(0, g_paints);
}

TEST_F(TextureMappingTest, RepaintsAfterEditsDrawWhatAFreshPaintDraws)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    for (int cells : {10, 32}) {
        SetCells(cells);
        { PaintedPicture first(session.window(kTextureMappingWindow), w * cells, w * cells); }
        std::srand(cells);
        // Chips 32 to 39 are not in the atlas: their cells show no tile.
        for (int edit = 0; edit < 60; ++edit) {
            terrain.SetMapChip(std::rand() % w, std::rand() % w, std::rand() % 40);
            terrain.SetMapChipRotation(std::rand() % w, std::rand() % w, -1);
        }
        PaintedPicture updated(session.window(kTextureMappingWindow), w * cells, w * cells);
        Mapping().Refresh();
        PaintedPicture fresh(session.window(kTextureMappingWindow), w * cells, w * cells);
        int differing = 0;
        for (int y = 0; y < w * cells; ++y) {
            for (int x = 0; x < w * cells; ++x) {
                differing += updated.Pixel(x, y) != fresh.Pixel(x, y);
            }
        }
        EXPECT_EQ(0, differing) << cells << " pixel cells";
    }
}

TEST_F(TextureMappingTest, WithoutAnAtlasBitmapCellsShowOnlyTheirOutlines)
{
    const unsigned tiled = PaintedPicture(session.window(kTextureMappingWindow), 64, 64).Pixel(8, 8);
    EXPECT_NE(0xFFFFFFu, tiled);
    session.terrain().ReleaseTexture();
    PaintedPicture picture(session.window(kTextureMappingWindow), 64, 64);
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(0, 8));
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(8, 8));
    session.Click(kTextureMappingWindow, Cell(0, 0), true);
    EXPECT_EQ(1, session.terrain().GetMapChipRotation(0, 0));
}

TEST_F(TextureMappingTest, APickThatANewAtlasLacksGoesBackToTheFirstChip)
{
    const std::string small = WriteTestBitmap("quelmora_mapping_small_atlas.bmp", 256, 128, QuarterColour);
    for (int picked : {1, 31}) {
        session.editor().m_selectedChip = picked;
        session.editor().OpenTextureImage(small.c_str());
        EXPECT_EQ(picked < 2 ? picked : 0, session.editor().m_selectedChip) << picked;
        session.editor().NewMap(16, 16);
    }
    DeleteFileA(small.c_str());
}

TEST_F(TextureMappingTest, WithoutMemoryForTheTurnedAtlasCellsShowOnlyTheirOutlines)
{
    const std::string atlas = WriteTestBitmap("quelmora_mapping_memory_atlas.bmp", 256, 128, QuarterColour);
    // A new atlas and a paint, with nothrow allocation `failing` failing.
    const auto paint = [&](int failing, int* count) {
        NothrowAllocations allocations(failing);
        session.editor().OpenTextureImage(atlas.c_str());
        PaintedPicture picture(session.window(kTextureMappingWindow), 64, 64);
        *count = allocations.count();
        return picture.Pixel(8, 8);
    };
    int count = 0;
    EXPECT_NE(0xFFFFFFu, paint(-1, &count));
    bool outlined = false;
    for (int failing = 0; failing < count; ++failing) {
        int ignored = 0;
        outlined = outlined || paint(failing, &ignored) == 0xFFFFFFu;
    }
    EXPECT_TRUE(outlined) << "no allocation of the turned copy failed softly";
    DeleteFileA(atlas.c_str());
}

TEST_F(TextureMappingTest, HoveringPutsTheCursorOnTheCellUnderTheMouse)
{
    SetCells(32);
    session.terrain().SetHeight(session.terrain().m_mapWidth - 1, 3, 1.0);
    SendMessageA(session.handle(kTextureMappingWindow), WM_MOUSEMOVE, 0, MAKELPARAM(40, 70));
    const float* cursor = session.scene().m_cursorPosition;
    EXPECT_FLOAT_EQ(static_cast<float>(session.terrain().m_mapWidth - 1), cursor[0]);
    EXPECT_FLOAT_EQ(1.0f, cursor[1]);
    EXPECT_FLOAT_EQ(2.0f, cursor[2]);
}

TEST_F(TextureMappingTest, StrokesPaintEveryCellThePointerPassesAndTurnEachCellOnce)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    COxelPaintTools& tools = session.editor().m_tools;
    tools.m_dragPaint = 1;
    session.editor().m_selectedChip = 7;
    HWND hwnd = session.handle(kTextureMappingWindow);
    const auto drag = [&](POINT from, POINT to, bool right) {
        SendMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, MAKELPARAM(from.x, from.y));
        // One jump across the window, as a fast pointer reports it.
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
        SendMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    };
    const size_t steps = session.editor().m_history.Count();
    drag(Cell(0, 0), Cell(w - 1, w - 1), false);
    EXPECT_EQ(steps + 1, session.editor().m_history.Count()) << "the whole stroke is one step";
    int painted = 0;
    for (int row = 0; row < w; ++row) {
        for (int column = 0; column < w; ++column) {
            painted += terrain.GetMapChip(column, row) == 7;
        }
    }
    EXPECT_EQ(2 * w - 1, painted) << "a staircase of cells sharing edges, corner to corner";
    EXPECT_EQ(7, terrain.GetMapChip(0, 0));
    EXPECT_EQ(7, terrain.GetMapChip(1, w - 1));

    // A 3 x 3 brush dragged along row 5 overlaps itself at every step: each
    // cell of the band still turns once.
    tools.m_brushSize = 3;
    drag(Cell(2, 5), Cell(w - 3, 5), true);
    for (int column = 0; column < w; ++column) {
        for (int row = 3; row <= 7; ++row) {
            const int view = (w - column) % w;
            const bool inBand = row >= 4 && row <= 6 && view >= 1 && view <= w - 2;
            EXPECT_EQ(inBand ? 1 : 0, terrain.GetMapChipRotation(column, row)) << column << ", " << row;
        }
    }
    EXPECT_EQ(steps + 2, session.editor().m_history.Count());
    session.editor().Undo();
    EXPECT_EQ(0, terrain.GetMapChipRotation(w - 2, 5)) << "one undo takes back the whole stroke";
    EXPECT_EQ(7, terrain.GetMapChip(0, 0));
    // Without strokes, a press and a release on different cells still do nothing.
    tools.m_dragPaint = 0;
    drag(Cell(0, 10), Cell(5, 10), false);
    EXPECT_EQ(0, terrain.GetMapChip(0, 10));
}

TEST_F(TextureMappingTest, FillPaintsTheConnectedRegionOfLikeCellsAcrossTheMapsEdges)
{
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const int w = terrain.m_mapWidth;
    session.editor().m_tools.m_fill = 1;
    // A ring of chip 3 around cells 10..12 in columns and rows; one of them turned.
    for (int i = 9; i <= 13; ++i) {
        for (const auto& cell : {POINT{i, 9}, POINT{i, 13}, POINT{9, i}, POINT{13, i}}) {
            terrain.SetMapChip(cell.x, cell.y, 3);
        }
    }
    terrain.SetMapChipRotation(11, 11, 1);
    const int inside = (w - 10) % w;

    session.editor().m_selectedChip = 5;
    session.Click(kTextureMappingWindow, Cell(inside, 10));
    EXPECT_EQ(5, terrain.GetMapChip(10, 10));
    EXPECT_EQ(5, terrain.GetMapChip(12, 12));
    EXPECT_EQ(0, terrain.GetMapChip(11, 11)) << "a turned cell is not like the others";
    EXPECT_EQ(0, terrain.GetMapChip(0, 0)) << "the ring bounds the region";
    EXPECT_EQ(3, terrain.GetMapChip(9, 9));

    // Outside the ring: the rest of the map, joined across its edges.
    session.editor().m_selectedChip = 6;
    session.Click(kTextureMappingWindow, Cell(0, 0));
    EXPECT_EQ(6, terrain.GetMapChip(w - 1, w - 1));
    EXPECT_EQ(6, terrain.GetMapChip(0, 0));
    EXPECT_EQ(5, terrain.GetMapChip(10, 10));
    // A region that shows the picked chip already makes no step.
    const size_t steps = session.editor().m_history.Count();
    session.Click(kTextureMappingWindow, Cell(0, 0));
    EXPECT_EQ(steps, session.editor().m_history.Count());
    session.editor().Undo();
    EXPECT_EQ(0, terrain.GetMapChip(w - 1, w - 1)) << "one undo takes back the whole fill";
    EXPECT_EQ(5, terrain.GetMapChip(10, 10));
    // The right button still turns.
    session.Click(kTextureMappingWindow, Cell(0, 0), true);
    EXPECT_EQ(1, terrain.GetMapChipRotation(0, 0));
}

TEST_F(TextureMappingTest, TheCursorCoversTheBrushsFootprintStandingOnItsLowestCorner)
{
    const int w = session.terrain().m_mapWidth;
    session.editor().m_tools.m_brushSize = 9;
    session.terrain().SetHeight(w - 4, 14, 0.5);
    SendMessageA(session.handle(kTextureMappingWindow), WM_MOUSEMOVE, 0, MAKELPARAM(Cell(1, 10).x, Cell(1, 10).y));
    const COxelD3DSceneBase& scene = session.scene();
    EXPECT_EQ(9, scene.m_cursorSize);
    EXPECT_FLOAT_EQ(static_cast<float>(w - 1 - 4), scene.m_cursorPosition[0]);
    EXPECT_FLOAT_EQ(0.5f, scene.m_cursorPosition[1]);
    EXPECT_FLOAT_EQ(6.0f, scene.m_cursorPosition[2]);
}

// On a large map scrolled to a cell, every display size keeps that cell at the
// top-left corner; a size that moved the window to keep its page on the screen
// gives the place back to a smaller one, unless the user moved the window since.
TEST_F(TextureMappingTest, TheDisplaySizeKeepsTheTopLeftCellAndGivesBackThePlaceItMovedFrom)
{
    session.editor().NewMap(512, 512);
    const HWND window = session.handle(kTextureMappingWindow);
    Choose(1000);
    SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 312 * 10), 0);
    SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300 * 10), 0);
    for (const auto& size : {std::make_pair(1002, 32), std::make_pair(1001, 16), std::make_pair(1000, 10)}) {
        Choose(size.first);
        EXPECT_EQ(312 * size.second, GetScrollPos(window, SB_HORZ)) << size.second;
        EXPECT_EQ(300 * size.second, GetScrollPos(window, SB_VERT)) << size.second;
    }

    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const POINT home = {work.right - 200, work.bottom - 220};
    const auto place = [window] {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return rect;
    };
    SetWindowPos(window, nullptr, home.x, home.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Choose(1001);
    ASSERT_EQ(home.x, place().left) << "a page of 16 pixel squares fits there";
    Choose(1002);
    const RECT moved = place();
    ASSERT_LT(moved.left, home.x);
    EXPECT_LE(moved.right, work.right);
    EXPECT_LE(moved.bottom, work.bottom);
    Choose(1001);
    EXPECT_EQ(home.x, place().left);
    EXPECT_EQ(home.y, place().top);

    // Moved by the user after the largest size moved it, it stays where the user put it.
    Choose(1002);
    const POINT put = {place().left - 20, place().top - 20};
    SetWindowPos(window, nullptr, put.x, put.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Choose(1000);
    EXPECT_EQ(put.x, place().left);
    EXPECT_EQ(put.y, place().top);
}
