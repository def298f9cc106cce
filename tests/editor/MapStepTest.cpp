#include "editor/MapStep.h"

#include "editor/CellStep.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "editor/MapPainting.h"
#include "io/MapFileFormat.h"
#include "editor/PlaneImageStep.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "editor/WholeMapStep.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DBillboardSettingWnd.h"
#include "tools/COxelD3DSceneSettingWnd.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Texts = std::vector<std::string>;

enum Command {
    kAddPlane = 1000,
    kPlaneVisible = 1004,
    kDeletePlane = 40007,
    kPlaneRepeat = 40010,
    kAddBillboard = 1005,
    kBillboardRepeat = 1009,
    kDeleteBillboard = 40013,
};

class MapStepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        editor().NewMap(16, 16);
        editor().OpenWindow(kBillboardSettingWindow);
        editor().OpenWindow(kMapEditWindow);
    }
    void TearDown() override { DeleteFileA(atlas.c_str()); }

    COxelD3DTerrainEditor& editor() const { return session.editor(); }
    COxelD3DTerrainChipManager& terrain() const { return session.terrain(); }
    // The map as its file would hold it: the oracle of "the same map".
    Bytes Encoded() const
    {
        MapFileContents map;
        EXPECT_TRUE(editor().m_mapFile->Gather(&map));
        return EncodeMapFile(map);
    }
    // What the preview's quads hold, every vertex of every cell: chips, turns
    // and heights must reach them as the map file's bytes do.
    std::vector<float> Quads() const
    {
        std::vector<float> values;
        for (int cell = 0; cell < terrain().m_mapWidth * terrain().m_mapHeight; ++cell) {
            for (int vertex = 0; vertex < 4; ++vertex) {
                const QuadVertex& v = terrain().GetTerrainChip(cell)->GetVertex(vertex);
                values.insert(values.end(), {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v});
            }
        }
        return values;
    }
    // The names the plane and billboard lists show, one after the other.
    Texts Listed() const
    {
        Texts names = ListColumn(static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow))->m_planeList, 0);
        const Texts billboards =
            ListColumn(static_cast<COxelD3DBillboardSettingWnd*>(session.window(kBillboardSettingWindow))->m_billboardList, 0);
        names.insert(names.end(), billboards.begin(), billboards.end());
        return names;
    }
    void Command(int index, int id) const { SendMessageA(session.handle(index), WM_COMMAND, id, 0); }
    void Select(int plane, int billboard) const
    {
        static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow))->m_selectedPlane = plane;
        static_cast<COxelD3DBillboardSettingWnd*>(session.window(kBillboardSettingWindow))->m_selectedBillboard =
            billboard;
    }
    int MappingCell() const
    {
        return static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->m_cellWidth;
    }

    EditorSession session;
    const std::string atlas = WriteTestBitmap("quelmora_map_step_atlas.bmp", 512, 256, [](int x, int y) {
        return static_cast<uint32_t>((x / 128) * 0x402000 + (y / 128) * 0x80);
    });
};

}  // namespace

// Every kind of step, made as a user makes it where a window makes it: done,
// undone and redone, the map file holds exactly the bytes from before and
// after the step, and the lists show what they showed.
TEST_F(MapStepTest, UndoGivesBackTheMapBeforeEachKindOfStepAndRedoTheMapAfterIt)
{
    const struct {
        const char* name;
        std::function<void()> prepare;
        std::function<void()> act;
    } kinds[] = {
        {"height raised", [] {}, [&] { session.Click(kHeightWindow, POINT{35, 45}); }},
        {"height lowered", [&] { terrain().SetHeight(13, 4, 6.0); },
         [&] { session.Click(kHeightWindow, POINT{35, 45}, true); }},
        {"height in the map edit window", [] {}, [&] { session.Click(kMapEditWindow, POINT{35, 5}); }},
        {"chip placed", [&] { editor().m_selectedChip = 5; },
         [&] { session.Click(kTextureMappingWindow, POINT{MappingCell() * 2 + 1, MappingCell() * 3 + 1}); }},
        {"chip turned", [] {}, [&] { session.Click(kTextureMappingWindow, POINT{1, 1}, true); }},
        {"chips filled over most of the map, written whole", [&] { terrain().SetMapChipRotation(2, 2, 1); },
         [&] {
             BeginPaintAction(editor());
             FillChips(editor(), GridPoint{9, 9}, 5);
             EndPaintAction(editor());
         }},
        {"chip in the map edit window", [&] { editor().m_selectedChip = 3; },
         [&] { session.Click(kMapEditWindow, POINT{60, 60}); }},
        {"cell billboard",
         [&] {
             terrain().AddBillboard();
             Command(kBillboardSettingWindow, kAddBillboard);
         },
         [&] {
             auto step = std::make_unique<CellStep>();
             step->SetBillboard(3, 4, -1);
             step->SetBillboard(5, 4, 1);
             editor().Perform(std::move(step));
         }},
        {"whole map",
         [&] { terrain().SetMapChip(2, 2, 7); },
         [&] {
             editor().Perform(std::make_unique<WholeMapStep>([](EditedMap& map) {
                 for (int row = 0; row < 16; ++row) {
                     for (int column = 0; column < 16; ++column) {
                         map.terrain->SetHeight(column, row, (column * 7 + row * 3) % 17);
                     }
                 }
                 map.terrain->SetMapChip(2, 2, 1);
             }));
         }},
        {"atlas", [&] { terrain().SetHeight(1, 1, 9.0); }, [&] { editor().OpenTextureImage(atlas.c_str()); }},
        {"plane added", [] {}, [&] { Command(kSceneSettingWindow, kAddPlane); }},
        {"plane deleted",
         [&] {
             for (int plane = 0; plane < 3; ++plane) {
                 Command(kSceneSettingWindow, kAddPlane);
             }
             Select(1, 0);
         },
         [&] { Command(kSceneSettingWindow, kDeletePlane); }},
        {"plane height from press to release",
         [&] {
             Command(kSceneSettingWindow, kAddPlane);
             Select(0, 0);
         },
         [&] {
             HWND bar = static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow))->m_heightBar;
             for (int code : {SB_LINERIGHT, SB_LINERIGHT, SB_LINERIGHT, SB_ENDSCROLL}) {
                 SendMessageA(session.handle(kSceneSettingWindow), WM_HSCROLL, code, reinterpret_cast<LPARAM>(bar));
             }
         }},
        {"plane image",
         [&] {
             Command(kSceneSettingWindow, kAddPlane);
             Command(kSceneSettingWindow, kAddPlane);
         },
         [&] { editor().Perform(std::make_unique<PlaneImageStep>(PlaneKind::kScenePlane, 1, "effect.dds")); }},
        {"plane repeat",
         [&] {
             Command(kSceneSettingWindow, kAddPlane);
             Select(0, 0);
         },
         [&] { Command(kSceneSettingWindow, kPlaneRepeat); }},
        {"plane visible",
         [&] {
             Command(kSceneSettingWindow, kAddPlane);
             Select(0, 0);
         },
         [&] { Command(kSceneSettingWindow, kPlaneVisible); }},
        {"billboard added",
         [&] {
             Command(kBillboardSettingWindow, kAddBillboard);
             terrain().m_cells[7].m_billboard = -1;
         },
         [&] { Command(kBillboardSettingWindow, kAddBillboard); }},
        {"billboard deleted",
         [&] {
             Command(kBillboardSettingWindow, kAddBillboard);
             Command(kBillboardSettingWindow, kAddBillboard);
             Select(0, 0);
         },
         [&] { Command(kBillboardSettingWindow, kDeleteBillboard); }},
        {"billboard image", [&] { Command(kBillboardSettingWindow, kAddBillboard); },
         [&] { editor().Perform(std::make_unique<PlaneImageStep>(PlaneKind::kBillboard, 0, "planetexture.dds")); }},
        {"billboard repeat",
         [&] {
             Command(kBillboardSettingWindow, kAddBillboard);
             Select(0, 0);
         },
         [&] { Command(kBillboardSettingWindow, kBillboardRepeat); }},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.name);
        editor().NewMap(16, 16);
        static_cast<COxelD3DBillboardSettingWnd*>(session.window(kBillboardSettingWindow))->Refresh();
        kind.prepare();
        editor().ForgetHistory();
        const Bytes before = Encoded();
        const Texts listedBefore = Listed();
        const std::vector<float> quadsBefore = Quads();

        kind.act();
        EXPECT_EQ(1u, editor().m_history.Count());
        EXPECT_TRUE(editor().IsModified());
        const Bytes after = Encoded();
        const Texts listedAfter = Listed();
        const std::vector<float> quadsAfter = Quads();
        EXPECT_NE(before, after);

        editor().Undo();
        EXPECT_EQ(before, Encoded());
        EXPECT_EQ(listedBefore, Listed());
        EXPECT_TRUE(quadsBefore == Quads()) << "the quads of before";
        EXPECT_FALSE(editor().IsModified());
        editor().Redo();
        EXPECT_EQ(after, Encoded());
        EXPECT_EQ(listedAfter, Listed());
        EXPECT_TRUE(quadsAfter == Quads()) << "the quads of after";
        // Every quad as a rewrite from the map's data would make it.
        terrain().UpdateAllCells();
        EXPECT_TRUE(quadsAfter == Quads()) << "the quads of the data";
        editor().Undo();
        EXPECT_EQ(before, Encoded());
    }
}

// Hundreds of random edits of every kind: undoing them all gives the start's
// bytes, redoing them all the end's, and an edit in the middle drops the rest.
TEST_F(MapStepTest, ARandomRunOfEditsUndoesToTheStartAndRedoesToTheEnd)
{
    std::mt19937 random(14);
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    auto edit = [&](int number) {
        const EditedMap map = editor().Map();
        const int planes = static_cast<int>(map.scene->m_planes.size());
        const int billboards = static_cast<int>(terrain().m_billboards.size());
        switch (pick(12)) {
        case 0:
        case 1:
            editor().Perform(std::make_unique<HeightStep>(pick(16), pick(16), pick(33) * 0.5));
            break;
        case 2: {
            auto step = std::make_unique<CellStep>();
            step->PlaceChip(pick(16), pick(16), pick(32));
            step->Turn(pick(16), pick(16));
            editor().Perform(std::move(step));
            break;
        }
        case 3: {
            auto step = std::make_unique<CellStep>();
            step->SetBillboard(pick(16), pick(16), pick(billboards + 1) - 1);
            editor().Perform(std::move(step));
            break;
        }
        case 4:
            editor().Perform(planes < 4 ? PlaneListStep::Adding(PlaneKind::kScenePlane)
                                        : PlaneListStep::Deleting(PlaneKind::kScenePlane, pick(planes), "x"));
            break;
        case 5:
            editor().Perform(billboards < 3 ? PlaneListStep::Adding(PlaneKind::kBillboard)
                                            : PlaneListStep::Deleting(PlaneKind::kBillboard, pick(billboards), "y"));
            break;
        case 6:
            editor().Perform(PlaneSettingStep::Height(PlaneKind::kScenePlane, pick(planes + 1), pick(33) * 0.5f));
            break;
        case 7:
            editor().Perform(PlaneSettingStep::FlipRepeat(pick(2) ? PlaneKind::kScenePlane : PlaneKind::kBillboard,
                                                          pick(4)));
            break;
        case 8:
            editor().Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, pick(planes + 1)));
            break;
        case 9:
            editor().Perform(std::make_unique<PlaneImageStep>(pick(2) ? PlaneKind::kScenePlane : PlaneKind::kBillboard,
                                                              pick(3), pick(2) ? "effect.dds" : "billboard.dds"));
            break;
        case 10: {
            // A stroke of a few pieces, one step.
            editor().Perform(std::make_unique<HeightStep>(pick(16), pick(16), pick(33) * 0.5));
            for (int piece = 0; piece < 3; ++piece) {
                editor().Perform(std::make_unique<HeightStep>(pick(16), pick(16), pick(33) * 0.5), true);
            }
            break;
        }
        case 11:
            if (number % 40 == 0) {
                editor().OpenTextureImage(pick(2) ? atlas.c_str() : atlas.c_str());
            } else {
                const int seed = pick(1000);
                editor().Perform(std::make_unique<WholeMapStep>([seed](EditedMap& whole) {
                    for (int vertex = seed % 5; vertex < 256; vertex += 5) {
                        whole.terrain->SetHeight(vertex % 16, vertex / 16, (vertex + seed) % 17);
                    }
                }));
            }
            break;
        }
    };

    const Bytes start = Encoded();
    for (int number = 0; number < 300; ++number) {
        edit(number);
    }
    const Bytes end = Encoded();
    const size_t steps = editor().m_history.Count();
    ASSERT_GT(steps, 200u);

    while (editor().m_history.CanUndo()) {
        editor().Undo();
    }
    EXPECT_EQ(start, Encoded());
    EXPECT_FALSE(editor().IsModified());
    while (editor().m_history.CanRedo()) {
        editor().Redo();
    }
    EXPECT_EQ(end, Encoded());

    for (size_t step = 0; step < steps / 2; ++step) {
        editor().Undo();
    }
    editor().Perform(std::make_unique<HeightStep>(0, 0, terrain().GetHeight(0, 0) == 16.0 ? 0.0 : 16.0));
    EXPECT_FALSE(editor().m_history.CanRedo());
    EXPECT_EQ(steps - steps / 2 + 1, editor().m_history.Count());
}

// A step's requests for one cell take effect in the order given, however the
// step's other cells lie between them, and the quads show the outcome.
TEST_F(MapStepTest, RequestsForACellTakeEffectInTheOrderGivenWhereverTheyLieInTheStep)
{
    auto step = std::make_unique<CellStep>();
    step->Turn(5, 3);
    step->PlaceChip(2, 1, 7);
    step->PlaceChip(5, 3, 4);
    step->Turn(-1, -1);  // cell (15, 15), named round the map's edges
    step->Turn(2, 1);
    step->Turn(5, 3);
    step->PlaceChip(15, 15, 3);
    step->Turn(5, 3);
    for (int turn = 0; turn < 5; ++turn) {
        step->Turn(0, 0);
    }
    // Enough requests, from the last cell back, that the order must be kept
    // on purpose: a turn, a turn, a chip, then three turns on each.
    const GridPoint backwards[] = {{9, 9}, {3, 9}, {12, 2}, {6, 6}};
    for (int round = 0; round < 6; ++round) {
        for (const GridPoint& cell : backwards) {
            if (round == 2) {
                step->PlaceChip(cell.column, cell.row, 10 + cell.row);
            } else {
                step->Turn(cell.column, cell.row);
            }
        }
    }
    editor().Perform(std::move(step));
    const struct {
        int column, row, chip, rotation;
    } cells[] = {{5, 3, 4, 2},  {2, 1, 7, 1},  {15, 15, 3, 0}, {0, 0, 0, 1}, {1, 1, 0, 0},
                 {9, 9, 19, 3}, {3, 9, 19, 3}, {12, 2, 12, 3}, {6, 6, 16, 3}};
    for (const auto& cell : cells) {
        EXPECT_EQ(cell.chip, terrain().GetMapChip(cell.column, cell.row)) << cell.column << ", " << cell.row;
        EXPECT_EQ(cell.rotation, terrain().GetMapChipRotation(cell.column, cell.row)) << cell.column << ", " << cell.row;
    }
    const std::vector<float> quads = Quads();
    terrain().UpdateAllCells();
    EXPECT_TRUE(quads == Quads());
}

// Whichever window makes an edit, the others show it at once; undo repaints it.
TEST_F(MapStepTest, EveryWindowShowsAnEditAndItsUndoAtOnce)
{
    // Vertex (0, 0) is the height window's first square, grey 16 per unit, and
    // the top-left corner of the map edit view's first square, grey 15 per unit.
    PaintedPicture mapEditBefore(session.window(kMapEditWindow), 40, 40);
    EXPECT_EQ(0x1E1E1Eu, mapEditBefore.Pixel(5, 5));
    session.Click(kHeightWindow, POINT{5, 5});
    PaintedPicture mapEditAfter(session.window(kMapEditWindow), 40, 40);
    EXPECT_EQ(0x252525u, mapEditAfter.Pixel(5, 5));
    PaintedPicture heightsAfter(session.window(kHeightWindow), 10, 10);
    EXPECT_EQ(0x282828u, heightsAfter.Pixel(5, 5));

    editor().Undo();
    PaintedPicture mapEditUndone(session.window(kMapEditWindow), 40, 40);
    EXPECT_EQ(0x1E1E1Eu, mapEditUndone.Pixel(5, 5));
    PaintedPicture heightsUndone(session.window(kHeightWindow), 10, 10);
    EXPECT_EQ(0x202020u, heightsUndone.Pixel(5, 5));
}
