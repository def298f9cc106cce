#include "editor/COxelD3DTerrainEditor.h"

#include "editor/CellStep.h"
#include "editor/COxelMapDataFile.h"
#include "editor/COxelTerrainEditing.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"
#include "tools/MapViewMath.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const int kSize = 16;
const int kGrass = 0;
const int kSandChip = 15;

// The terrain brush driven with the real mouse and keyboard.
class TerrainInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.editor().NewMap(kSize, kSize);
    }
    void TearDown() override
    {
        RealInput::Release(1);
        RealInput::Release(3);
        if (session.ok() && session.editor().m_terrains.BrushOn()) {
            session.editor().m_terrains.SetBrush(false);
        }
    }

    HWND Front(int index, int x, int y) const
    {
        HWND window = session.handle(index);
        SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RealInput::Dispatch(200);
        return window;
    }
    void Click(HWND window, POINT at, int button = 1) const
    {
        RealInput::MoveTo(window, at);
        RealInput::Press(button);
        RealInput::Release(button);
        RealInput::Dispatch(100);
    }
    void Choose(int id) const { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, id, 0); }
    // The middle of the texture mapping window's square for cell (x, y): its
    // first column shows cell 0, the next one cell W - 1.
    POINT Cell(int x, int y) const
    {
        const int size = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->m_cellWidth;
        const int column = x == 0 ? 0 : kSize - x;
        return POINT{column * size + size / 2, y * size + size / 2};
    }
    // Inside the map edit window's corner square of vertex (x, y): corner 0,
    // the top right, of cell (x, y), whose square is column W - 1 - x.
    static POINT Vertex(int x, int y)
    {
        const POINT corner = MapEditCornerOrigin(0);
        return POINT{(kSize - 1 - x) * kMapEditCellPixels + corner.x + 3, y * kMapEditCellPixels + corner.y + 3};
    }
    // Every cell that shows something other than unturned grass, by index.
    std::vector<int> NotGrass() const
    {
        std::vector<int> cells;
        for (int index = 0; index < kSize * kSize; ++index) {
            const CellState cell = CellStep::Read(session.terrain(), index);
            if (cell.chip != kGrass || cell.rotation != 0) {
                cells.push_back(index);
            }
        }
        return cells;
    }
    CellState At(int x, int y) const { return CellStep::Read(session.terrain(), y * kSize + x); }
    static int Index(int x, int y) { return y * kSize + x; }

    EditorSession session;
};

}  // namespace

// On a grass map of the plain atlas, "地形ブラシ" offers the atlas with
// terrains; sand is picked in the Texture window's strip. One vertex of sand,
// clicked in the map edit window, turns the four cells round it into one
// transition in four turns; undo gives the grass back. A click on a cell in
// the texture mapping window makes it sand and its eight neighbours
// transitions; the saved map opens the same and is painted on from there.
TEST_F(TerrainInputTest, SandOnAVertexAndOnACellOfGrassTakesTransitionsAndOpensAndPaintsOnAfterSaving)
{
    COxelD3DTerrainEditor& editor = session.editor();
    {
        MessageBoxAnswer yes(IDYES);
        Choose(COxelTerrainEditing::kTerrainBrush);
        EXPECT_EQ(1, yes.count) << "the plain atlas describes no terrains";
    }
    ASSERT_STREQ("IDB_TERRAINCHIP", session.terrain().m_chipImage.fileName);
    ASSERT_TRUE(editor.m_terrains.BrushOn());
    EXPECT_EQ(std::vector<int>{}, NotGrass()) << "chips 0-31 are the same chips";

    HWND texture = Front(kTextureWindow, 0, 0);
    Click(texture, POINT{session.terrain().m_chipImage.width / 4 + 50, 28 + 14});
    ASSERT_EQ(1, editor.m_terrains.Picked()) << "砂, the second terrain of the strip";

    editor.OpenWindow(kMapEditWindow);
    HWND mapEdit = Front(kMapEditWindow, 600, 40);
    // Within the window's first rows and columns, which show the map's far columns.
    Click(mapEdit, Vertex(12, 3));
    ASSERT_EQ((std::vector<int>{Index(11, 2), Index(12, 2), Index(11, 3), Index(12, 3)}), NotGrass());
    std::set<int> turns;
    for (int index : NotGrass()) {
        const CellState cell = CellStep::Read(session.terrain(), index);
        EXPECT_EQ(At(11, 2).chip, cell.chip) << "one transition chip";
        turns.insert(cell.rotation);
    }
    EXPECT_EQ(4u, turns.size()) << "in four turns";
    RealInput::Key("ctrl+z");
    RealInput::Dispatch(100);
    EXPECT_EQ(std::vector<int>{}, NotGrass()) << "undone";

    HWND mapping = Front(kTextureMappingWindow, 200, 40);
    Click(mapping, Cell(8, 8));
    EXPECT_EQ(9u, NotGrass().size());
    EXPECT_EQ(kSandChip, At(8, 8).chip);
    for (int y = 7; y <= 9; ++y) {
        for (int x = 7; x <= 9; ++x) {
            if (x != 8 || y != 8) {
                EXPECT_GE(At(x, y).chip, 32) << x << "," << y << " is a transition";
            }
        }
    }
    std::vector<CellState> painted;
    for (int index = 0; index < kSize * kSize; ++index) {
        painted.push_back(CellStep::Read(session.terrain(), index));
    }

    ScratchFolder folder("TerrainInput");
    const std::string path = folder.path() + "beach.omd";
    ASSERT_TRUE(editor.m_mapFile->Save(path.c_str()));
    editor.NewMap(kSize, kSize);
    ASSERT_EQ(S_OK, editor.m_mapFile->Load(path.c_str()));
    ASSERT_STREQ("IDB_TERRAINCHIP", session.terrain().m_chipImage.fileName);
    for (int index = 0; index < kSize * kSize; ++index) {
        EXPECT_EQ(painted[index], CellStep::Read(session.terrain(), index)) << index;
    }

    // The terrains are read back from the chips: a right click picks up the
    // grass, the menu picks sand again, and sand painted beside the old sand
    // joins it into one patch of two cells.
    mapping = Front(kTextureMappingWindow, 200, 40);
    Click(mapping, Cell(2, 2), 3);
    EXPECT_EQ(0, editor.m_terrains.Picked());
    Choose(COxelTerrainEditing::kFirstTerrain + 1);
    Click(mapping, Cell(9, 8));
    EXPECT_EQ(kSandChip, At(8, 8).chip);
    EXPECT_EQ(kSandChip, At(9, 8).chip);
    EXPECT_EQ(12u, NotGrass().size()) << "two sand cells and the ten round them";
}
