#include "tools/COxelD3DTextureMappingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/NothrowAllocations.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
