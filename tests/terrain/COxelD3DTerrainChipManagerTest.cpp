#include "terrain/COxelD3DTerrainChipManager.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "support/DrawCallLog.h"
#include "support/MessageBoxAnswer.h"
#include "support/NothrowAllocations.h"
#include "support/StartView.h"
#include "support/TestBitmap.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DBillboardBase.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelQuadNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace {

const int kSize = 32;

// A grey 24-bit BMP of w x h pixels in the temporary folder; returns its path.
std::string WriteBmp(const char* name, int w, int h)
{
    return WriteTestBitmap(name, w, h, [](int, int) { return 0x808080u; });
}

// Records where the billboard pass puts it, instead of drawing.
struct RecordingBillboard : COxelD3DBillboardBase {
    RecordingBillboard() : COxelD3DBillboardBase(0) {}
    void Render() override { positions.push_back(m_position); }
    std::vector<D3DXVECTOR3> positions;
};

// The slots that a frame's draw calls cover, in the order drawn: a strip drawn
// alone is its quad's slot, an indexed list a run of slots.
std::vector<int> SlotsDrawn(const DrawCallLog& log)
{
    std::vector<int> slots;
    for (const DrawCallLog::Draw& draw : log.draws) {
        const int first = static_cast<int>(draw.firstVertex / 4);
        const int count = draw.indexed ? static_cast<int>(draw.primitiveCount / 2) : 1;
        for (int slot = first; slot < first + count; ++slot) {
            slots.push_back(slot);
        }
    }
    return slots;
}

class ChipManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.ok());
        ASSERT_EQ(0, terrain.Create(kSize, kSize));
    }

    QuadVertex Vertex(int column, int row, int vertex)
    {
        return terrain.GetTerrainChip(row * kSize + column)->GetVertex(vertex);
    }

    // The smoothed normal of a grid vertex; fails when its four copies differ.
    D3DXVECTOR3 VertexNormal(int c, int r)
    {
        const int left = (c + kSize - 1) % kSize;
        const int up = (r + kSize - 1) % kSize;
        const D3DXVECTOR3 normal = terrain.GetTerrainChip(r * kSize + c)->GetNormal(0);
        EXPECT_EQ(normal, terrain.GetTerrainChip(up * kSize + c)->GetNormal(1)) << c << ", " << r;
        EXPECT_EQ(normal, terrain.GetTerrainChip(r * kSize + left)->GetNormal(2)) << c << ", " << r;
        EXPECT_EQ(normal, terrain.GetTerrainChip(up * kSize + left)->GetNormal(3)) << c << ", " << r;
        return normal;
    }

    void StartCamera(COxelD3DCameraBase& camera)
    {
        PlaceAtStartView(camera);
        camera.Apply();
    }

    void RenderWithWorld(float dx, float dz)
    {
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, dx, 0, dz);
        g_device->SetTransform(D3DTS_WORLD, &world);
        g_device->BeginScene();
        terrain.Render();
        g_device->EndScene();
    }

    TestDevice device;
    COxelD3DTerrainChipManager terrain;
};

}  // namespace

TEST_F(ChipManagerTest, NewMapIsFlatAtTwoWithChipZeroAndNoBillboards)
{
    for (int cell = 0; cell < kSize * kSize; ++cell) {
        double h[4];
        terrain.GetCornerHeights(cell, &h[0], &h[1], &h[2], &h[3]);
        EXPECT_EQ((std::vector<double>{2, 2, 2, 2}), std::vector<double>(h, h + 4));
        EXPECT_EQ(0, terrain.GetMapChip(cell));
        EXPECT_EQ(0, terrain.GetMapChipRotation(cell));
        EXPECT_EQ(-1, terrain.m_cells[cell].m_billboard);
        EXPECT_EQ(D3DXVECTOR3(0, 1, 0), VertexNormal(cell % kSize, cell / kSize));
    }
    EXPECT_STREQ("IDB_MAPCHIP", terrain.m_chipImage.fileName);
    EXPECT_EQ(1, terrain.m_chipImage.loaded);
    EXPECT_EQ(8, terrain.m_chipColumns);
    EXPECT_EQ(4, terrain.m_chipRows);
    EXPECT_EQ(0, terrain.m_chipColumnRest);
    EXPECT_EQ(0, terrain.m_chipRowRest);
    EXPECT_NE(nullptr, terrain.m_chipTexture);
}

TEST_F(ChipManagerTest, HeightAtTheCornerAppearsAtTheThreeOtherCornersOfTheMap)
{
    terrain.SetHeight(0, 0, 5.0);
    double h[4];
    terrain.GetCornerHeights(0 * kSize + 31, &h[0], &h[1], &h[2], &h[3]);
    EXPECT_EQ(5.0, h[2]);
    terrain.GetCornerHeights(31 * kSize + 0, &h[0], &h[1], &h[2], &h[3]);
    EXPECT_EQ(5.0, h[1]);
    terrain.GetCornerHeights(31 * kSize + 31, &h[0], &h[1], &h[2], &h[3]);
    EXPECT_EQ(5.0, h[3]);
    EXPECT_EQ(2.0, h[0]);
    // The last cell reaches x = W and z = H, where the first one starts again.
    const QuadVertex lastCorner = Vertex(31, 31, 3);
    EXPECT_EQ(32.0f, lastCorner.x);
    EXPECT_EQ(5.0f, lastCorner.y);
    EXPECT_EQ(32.0f, lastCorner.z);
    EXPECT_EQ(5.0, terrain.GetHeight(32, 64));
    terrain.SetHeight(3, 5, 7.0);
    EXPECT_EQ(7.0, terrain.GetHeight(35, 5));
}

TEST_F(ChipManagerTest, HeightsAreClampedToZeroToSixteen)
{
    const double tries[][2] = {{20.0, 16.0}, {-3.0, 0.0}, {16.0, 16.0}, {0.0, 0.0}, {7.25, 7.25}};
    for (const auto& attempt : tries) {
        terrain.SetHeight(4, 9, attempt[0]);
        EXPECT_EQ(attempt[1], terrain.GetHeight(4, 9)) << attempt[0];
    }
}

TEST_F(ChipManagerTest, NonFiniteHeightsAreRefusedAndTheHeightStays)
{
    terrain.SetHeight(4, 9, 7.25);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        terrain.SetHeight(4, 9, bad);
        EXPECT_EQ(7.25, terrain.GetHeight(4, 9)) << bad;
    }
}

TEST_F(ChipManagerTest, RaisedVertexBendsOnlyTheNormalsOfItsThreeByThreeBlock)
{
    terrain.SetHeight(10, 10, 6.0);
    for (int r = 0; r < kSize; ++r) {
        for (int c = 0; c < kSize; ++c) {
            const D3DXVECTOR3 normal = VertexNormal(c, r);
            EXPECT_NEAR(1.0f, D3DXVec3Length(&normal), 1e-5f);
            // (9, 9) and (11, 11) share no triangle with the peak: the cells'
            // diagonals run from corner 1 to corner 2.
            const bool bent = c >= 9 && c <= 11 && r >= 9 && r <= 11 && c - 10 != r - 10;
            if (bent) {
                EXPECT_NE(D3DXVECTOR3(0, 1, 0), normal) << c << ", " << r;
            } else if (c != 10 || r != 10) {
                EXPECT_EQ(D3DXVECTOR3(0, 1, 0), normal) << c << ", " << r;
            }
        }
    }
    // The slopes fall away from the peak.
    EXPECT_GT(VertexNormal(11, 10).x, 0.0f);
    EXPECT_LT(VertexNormal(9, 10).x, 0.0f);
    EXPECT_GT(VertexNormal(10, 11).z, 0.0f);
}

TEST_F(ChipManagerTest, NewChipResetsTheRotationAndTakesItsAtlasTile)
{
    terrain.SetMapChipRotation(6, 7, 3);
    terrain.SetMapChip(6, 7, 9);
    EXPECT_EQ(9, terrain.GetMapChip(7 * kSize + 6));
    EXPECT_EQ(0, terrain.GetMapChipRotation(6, 7));
    // Tile (1, 1) of the 8 x 4 atlas; its right edge lies at x = c.
    EXPECT_EQ(0.25f, Vertex(6, 7, 0).u);
    EXPECT_EQ(0.25f, Vertex(6, 7, 0).v);
    EXPECT_EQ(0.125f, Vertex(6, 7, 3).u);
    EXPECT_EQ(0.5f, Vertex(6, 7, 3).v);
}

TEST_F(ChipManagerTest, RotationMinusOneTurnsOnceMoreAndOtherValuesAreKept)
{
    terrain.SetMapChip(2, 3, 4);
    const QuadVertex start = Vertex(2, 3, 0);
    for (int turn = 1; turn <= 4; ++turn) {
        terrain.SetMapChipRotation(2, 3, -1);
        EXPECT_EQ(turn % 4, terrain.GetMapChipRotation(3 * kSize + 2));
    }
    EXPECT_EQ(start.u, Vertex(2, 3, 0).u);
    EXPECT_EQ(start.v, Vertex(2, 3, 0).v);
    terrain.SetMapChipRotation(3 * kSize + 2, 7);
    EXPECT_EQ(7, terrain.GetMapChipRotation(34, 35));
    EXPECT_EQ(start.u, Vertex(2, 3, 0).u);
}

TEST_F(ChipManagerTest, QuadTreeOf32By32HasSixLevelsDownToSingleCellsEachBlockOneRunOfSlots)
{
    std::vector<int> leaves(kSize * kSize, 0);
    struct Walk {
        static void Visit(const COxelQuadNode* node, int level, std::vector<int>& leaves,
                          const std::vector<int>& slots)
        {
            EXPECT_EQ(kSize >> (level - 1), node->m_width);
            EXPECT_EQ(node->m_width, node->m_height);
            // The block's cells fill the slots from its first cell's on.
            std::vector<int> blockSlots;
            for (int row = 0; row < node->m_height; ++row) {
                for (int column = 0; column < node->m_width; ++column) {
                    blockSlots.push_back(slots[node->m_start + row * kSize + column]);
                }
            }
            std::sort(blockSlots.begin(), blockSlots.end());
            EXPECT_EQ(slots[node->m_start], blockSlots.front());
            EXPECT_EQ(blockSlots.front() + node->m_width * node->m_height - 1, blockSlots.back());
            if (node->m_width == 1) {
                EXPECT_EQ(6, level);
                ++leaves[node->m_start];
                return;
            }
            EXPECT_EQ(node->m_pChild[0]->m_start, node->m_start);
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(node, node->m_pChild[k]->m_pParent);
                if (k > 0) {
                    EXPECT_EQ(node->m_childStart[k - 1], node->m_pChild[k]->m_start);
                }
                Visit(node->m_pChild[k], level + 1, leaves, slots);
            }
        }
    };
    ASSERT_NE(nullptr, terrain.m_pRoot);
    EXPECT_EQ(nullptr, terrain.m_pRoot->m_pParent);
    EXPECT_EQ(D3DXVECTOR3(32, 2, 32), terrain.m_pRoot->m_vMax);
    Walk::Visit(terrain.m_pRoot, 1, leaves, terrain.m_cellSlots);
    EXPECT_EQ(std::vector<int>(kSize * kSize, 1), leaves);
}

TEST_F(ChipManagerTest, RunsDrawTheCellsThatOneCallPerCellDrawsInTheSameOrder)
{
    COxelD3DCameraBase camera;
    StartCamera(camera);
    DrawCallLog log(g_device);
    // The map itself, the copy beyond its far edge and two that the start view sees in part.
    const float copies[][2] = {{0, 0}, {0, -32}, {-32, -32}, {32, -32}};
    for (const auto& copy : copies) {
        terrain.m_drawEachCell = 1;
        log.Clear();
        RenderWithWorld(copy[0], copy[1]);
        const std::vector<int> eachCell = SlotsDrawn(log);
        for (const DrawCallLog::Draw& draw : log.draws) {
            EXPECT_EQ(D3DPT_TRIANGLESTRIP, draw.type);
            EXPECT_EQ(2u, draw.primitiveCount);
        }
        const int cellsDrawn = terrain.m_cellsDrawn;

        terrain.m_drawEachCell = 0;
        log.Clear();
        RenderWithWorld(copy[0], copy[1]);
        ASSERT_GT(cellsDrawn, 0) << copy[0] << ", " << copy[1];
        EXPECT_EQ(cellsDrawn, terrain.m_cellsDrawn);
        EXPECT_EQ(eachCell, SlotsDrawn(log)) << copy[0] << ", " << copy[1];
        // One call per run, each the run's share of the list.
        ASSERT_EQ(terrain.m_runs.size(), log.draws.size());
        for (size_t k = 0; k < log.draws.size(); ++k) {
            const DrawCallLog::Draw& draw = log.draws[k];
            EXPECT_EQ(D3DPT_TRIANGLELIST, draw.type);
            EXPECT_EQ(0, draw.baseVertex);
            EXPECT_EQ(6u * terrain.m_runs[k].first, draw.startIndex);
            EXPECT_EQ(4u * terrain.m_runs[k].count, draw.vertexCount);
        }
        EXPECT_LT(log.draws.size() * 10, static_cast<size_t>(cellsDrawn));
    }
}

TEST_F(ChipManagerTest, BlockBehindTheCameraIsCulledWithOneTest)
{
    COxelD3DCameraBase camera;
    camera.SetPosition(16, 5, -10);
    camera.SetTarget(16, 5, -20);
    camera.SetUp(0, 1, 0);
    camera.Apply();
    RenderWithWorld(0, 0);
    EXPECT_EQ(0, terrain.m_cellsDrawn);
    EXPECT_EQ(1, terrain.m_nodesTested);
}

TEST_F(ChipManagerTest, StartViewDrawsEveryCellItSeesAndSkipsBlocksOutside)
{
    COxelD3DCameraBase camera;
    StartCamera(camera);
    terrain.m_billboards.push_back(new RecordingBillboard());
    for (int cell = 0; cell < kSize * kSize; ++cell) {
        terrain.m_cells[cell].m_billboard = 0;
    }
    RenderWithWorld(0, 0);
    std::vector<bool> drawn(kSize * kSize, false);
    for (const COxelD3DMapChipData* cell : terrain.m_billboardCells) {
        drawn[cell - terrain.m_cells] = true;
    }
    for (int cell = 0; cell < kSize * kSize; ++cell) {
        const D3DXVECTOR3 centre(cell % kSize + 0.5f, 2.0f, cell / kSize + 0.5f);
        if (camera.ClassifyPoint(centre) == 0) {
            EXPECT_TRUE(drawn[cell]) << "visible cell " << cell << " was culled";
        }
    }
    EXPECT_FALSE(drawn[31 * kSize + 16]);  // behind the eye
    EXPECT_EQ(terrain.m_cellsDrawn, static_cast<int>(terrain.m_billboardCells.size()));
    EXPECT_LT(terrain.m_cellsDrawn, kSize * kSize / 4);
    // Straddling blocks are split, but blocks of 2 x 2 cells are never tested.
    EXPECT_GT(terrain.m_nodesTested, 1);
    EXPECT_LE(terrain.m_nodesTested, 1 + 4 + 16 + 64);
}

// Blocks keep their height ranges from the edits rather than reading their
// cells every frame: ground raised into view after a frame is drawn as on a
// map that was edited before its first frame, on a small map and on a large one.
TEST(COxelD3DTerrainChipManager, GroundRaisedIntoViewAfterAFrameIsDrawnAtAnyMapSize)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    for (int size : {32, 512}) {
        const int middle = size / 2;
        // Looking up across the ground, which stays out of view below it.
        COxelD3DCameraBase camera;
        camera.SetPosition(middle, 14, middle + 30);
        camera.SetTarget(middle, 40, middle - 70);
        camera.SetUp(0, 1, 0);
        camera.Apply();
        const auto cellsDrawn = [](COxelD3DTerrainChipManager& terrain) {
            D3DXMATRIX identity;
            D3DXMatrixIdentity(&identity);
            g_device->SetTransform(D3DTS_WORLD, &identity);
            g_device->BeginScene();
            terrain.Render();
            g_device->EndScene();
            return terrain.m_cellsDrawn;
        };
        const auto raise = [middle](COxelD3DTerrainChipManager& terrain) {
            for (int row = middle - 2; row <= middle + 2; ++row) {
                for (int column = middle - 2; column <= middle + 2; ++column) {
                    terrain.SetHeight(column, row, 16.0);
                }
            }
        };
        COxelD3DTerrainChipManager edited;
        ASSERT_EQ(0, edited.Create(size, size));
        EXPECT_EQ(0, cellsDrawn(edited)) << size;
        raise(edited);
        COxelD3DTerrainChipManager fresh;
        ASSERT_EQ(0, fresh.Create(size, size));
        raise(fresh);
        const int drawn = cellsDrawn(edited);
        EXPECT_GT(drawn, 0) << size;
        EXPECT_EQ(cellsDrawn(fresh), drawn) << size;
    }
}

// A large map's quads fill several batches: each lets go of its buffer before a
// reset of the device and takes a new one after it, and every quad, edited in
// between or not, is drawn again from its new buffer.
TEST(COxelD3DTerrainChipManager, ALargeMapDrawsTheSamePictureFromTheBuffersItMakesAfterAReset)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();
    const auto draw = [&device](COxelD3DTerrainChipManager& terrain) {
        g_device->BeginScene();
        device.Clear(0xFF000000);
        // With the copy at x = -512 the view takes in the map's first and last columns.
        for (const float dx : {0.0f, -512.0f}) {
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, dx, 0.0f, 0.0f);
            g_device->SetTransform(D3DTS_WORLD, &world);
            terrain.Render();
        }
        g_device->EndScene();
        return device.ReadPixels();
    };
    // Ridges across the whole width, so that every batch along it has edits.
    const auto raise = [](COxelD3DTerrainChipManager& terrain, int first, int steps) {
        for (int column = first; column < 512; column += 3) {
            terrain.SetHeight(column, column % 16, 1.0 + column % steps);
        }
    };
    COxelD3DTerrainChipManager terrain;
    ASSERT_EQ(0, terrain.Create(512, 512));
    raise(terrain, 0, 7);
    draw(terrain);
    terrain.OnLostDevice();
    raise(terrain, 1, 5);
    ASSERT_EQ(0, terrain.OnResetDevice());

    COxelD3DTerrainChipManager fresh;
    ASSERT_EQ(0, fresh.Create(512, 512));
    raise(fresh, 0, 7);
    raise(fresh, 1, 5);
    EXPECT_EQ(draw(fresh), draw(terrain));
}

TEST_F(ChipManagerTest, BillboardsStandOnTheCellCentresOfTheCopyDrawnFarthestFirst)
{
    COxelD3DCameraBase camera;
    StartCamera(camera);
    RecordingBillboard* billboard = new RecordingBillboard();
    terrain.m_billboards.push_back(billboard);
    for (int cell = 0; cell < kSize * kSize; ++cell) {
        terrain.m_cells[cell].m_billboard = 0;
    }
    // The copy of the map beyond its z = 0 edge, which the start view looks at.
    for (float copyZ : {0.0f, -32.0f}) {
        billboard->positions.clear();
        RenderWithWorld(0, copyZ);
        ASSERT_GT(terrain.m_cellsDrawn, 0);
        ASSERT_EQ(static_cast<size_t>(terrain.m_cellsDrawn), billboard->positions.size());
        float previous = 1e9f;
        for (const D3DXVECTOR3& p : billboard->positions) {
            EXPECT_EQ(2.0f, p.y);
            EXPECT_EQ(0.5f, p.x - floorf(p.x));
            EXPECT_GE(p.z, copyZ);
            EXPECT_LE(p.z, copyZ + kSize);
            const D3DXVECTOR3 corner(p.x - 0.5f, p.y, p.z - 0.5f);
            const D3DXVECTOR3 offset = corner - camera.GetPosition();
            EXPECT_LE(D3DXVec3Length(&offset), previous);
            previous = D3DXVec3Length(&offset);
        }
    }
}

TEST_F(ChipManagerTest, BillboardPassLeavesBlendingOffAndWithoutBillboardsNoStateChanges)
{
    COxelD3DCameraBase camera;
    StartCamera(camera);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderWithWorld(0, 0);
    DWORD lighting = 0;
    DWORD blending = 0;
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    g_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(TRUE, static_cast<BOOL>(lighting));
    EXPECT_EQ(TRUE, static_cast<BOOL>(blending));

    terrain.AddBillboard();
    RenderWithWorld(0, 0);
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    g_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(FALSE, static_cast<BOOL>(lighting));
    EXPECT_EQ(FALSE, static_cast<BOOL>(blending));
}

TEST_F(ChipManagerTest, NewBillboardStandsOnEveryCellAndDeletingRenumbersTheRest)
{
    terrain.AddBillboard();
    terrain.AddBillboard();
    terrain.AddBillboard();
    ASSERT_EQ(3u, terrain.m_billboards.size());
    COxelD3DTerrainPlane* newest = terrain.m_billboards[2];
    EXPECT_EQ(2, newest->m_id);
    EXPECT_STREQ("billboard.dds", newest->m_textureFile);
    EXPECT_EQ(0, newest->m_repeat);
    EXPECT_EQ(1, newest->m_visible);
    EXPECT_EQ(1.0f, newest->m_pTerrainChip->GetVertex(2).u);  // the image once
    for (int cell = 0; cell < kSize * kSize; ++cell) {
        ASSERT_EQ(2, terrain.m_cells[cell].m_billboard);
    }
    EXPECT_EQ(nullptr, terrain.FindBillboard(5));

    terrain.DeleteBillboard(1);
    ASSERT_EQ(2u, terrain.m_billboards.size());
    EXPECT_EQ(0, terrain.m_billboards[0]->m_id);
    EXPECT_EQ(1, terrain.m_billboards[1]->m_id);
    EXPECT_EQ(newest, terrain.FindBillboard(1));
    // Cells keep naming id 2, which no billboard has any more.
    EXPECT_EQ(nullptr, terrain.FindBillboard(terrain.m_cells[0].m_billboard));
    terrain.DeleteBillboard(7);
    EXPECT_EQ(2u, terrain.m_billboards.size());
}

TEST_F(ChipManagerTest, AtlasOf640By480CountsFiveByThreeTilesAndRewritesTheCells)
{
    terrain.SetMapChip(3, 4, 5);
    terrain.SetHeight(20, 20, 9.0);
    const D3DXVECTOR3 slope = VertexNormal(21, 20);
    const std::string path = WriteBmp("quelmora_atlas_640x480.bmp", 640, 480);
    MessageBoxAnswer answer;
    ASSERT_EQ(0, terrain.LoadTexture(path.c_str()));
    EXPECT_EQ(0, answer.count);
    EXPECT_EQ(path, terrain.m_chipImage.fileName);
    EXPECT_EQ(640, terrain.m_chipImage.width);
    EXPECT_EQ(480, terrain.m_chipImage.height);
    EXPECT_EQ(5, terrain.m_chipColumns);
    EXPECT_EQ(0, terrain.m_chipColumnRest);
    EXPECT_EQ(3, terrain.m_chipRows);
    EXPECT_EQ(96, terrain.m_chipRowRest);
    EXPECT_EQ(0.2f, Vertex(3, 4, 0).u);
    EXPECT_EQ(static_cast<float>(128.0 / 480), Vertex(3, 4, 0).v);
    EXPECT_EQ(0.0f, Vertex(3, 4, 3).u);
    EXPECT_EQ(static_cast<float>(256.0 / 480), Vertex(3, 4, 3).v);
    // A new atlas changes the tiles, not the lighting.
    EXPECT_EQ(slope, VertexNormal(21, 20));
    DeleteFileA(path.c_str());
}

TEST_F(ChipManagerTest, RefusedAtlasIsReportedAndTheCurrentOneStays)
{
    const std::string narrow = WriteBmp("quelmora_atlas_100x480.bmp", 100, 480);
    const std::string low = WriteBmp("quelmora_atlas_640x100.bmp", 640, 100);
    terrain.SetMapChip(3, 4, 9);
    const ChipImageInfo image = terrain.m_chipImage;
    IDirect3DTexture9* texture = terrain.m_chipTexture;
    const QuadVertex before = Vertex(3, 4, 0);
    for (const std::string& path : {std::string("no such atlas.bmp"), narrow, low}) {
        MessageBoxAnswer answer;
        EXPECT_EQ(E_FAIL, terrain.LoadTexture(path.c_str())) << path;
        EXPECT_EQ(1, answer.count) << path;
        EXPECT_EQ("Error", answer.caption) << path;
        EXPECT_EQ("ファイルのオープンに失敗しました\n" + path, answer.text);
        EXPECT_EQ(0, memcmp(&image, &terrain.m_chipImage, sizeof image)) << path;
        EXPECT_EQ(texture, terrain.m_chipTexture);
        EXPECT_EQ(8, terrain.m_chipColumns);
        EXPECT_EQ(4, terrain.m_chipRows);
        EXPECT_EQ(before.u, Vertex(3, 4, 0).u);
        EXPECT_EQ(before.v, Vertex(3, 4, 0).v);
    }
    DeleteFileA(narrow.c_str());
    DeleteFileA(low.c_str());
}

TEST(COxelD3DTerrainChipManager, AMapWhoseCellsOrTreeCannotAllBeMadeIsRefusedAndNotDrawn)
{
    TestDevice device;
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();
    COxelD3DTerrainChipManager terrain;
    int total = 0;
    {
        NothrowAllocations counting;
        ASSERT_EQ(0, terrain.Create(16, 16));
        total = counting.count();
    }
    // The cells, the first cell's quad, a block of the quad tree.
    for (int failing : {0, 1, total - 1}) {
        {
            NothrowAllocations allocations(failing);
            EXPECT_EQ(E_FAIL, terrain.Create(16, 16)) << failing;
            EXPECT_TRUE(allocations.failed()) << failing;
        }
        EXPECT_EQ(nullptr, terrain.m_pRoot) << failing;
        g_device->BeginScene();
        terrain.Render();
        g_device->EndScene();
        EXPECT_EQ(0, terrain.m_cellsDrawn) << failing;
    }
    ASSERT_EQ(0, terrain.Create(16, 16));
    EXPECT_NE(nullptr, terrain.m_pRoot);

    for (int failing : {0, 1}) {
        NothrowAllocations allocations(failing);
        terrain.AddBillboard();
        EXPECT_TRUE(allocations.failed());
    }
    EXPECT_TRUE(terrain.m_billboards.empty());
    EXPECT_EQ(-1, terrain.m_cells[0].m_billboard);
}

TEST(COxelD3DTerrainChipManager, DestructorReleasesTheAtlasTextureThatReleaseKeeps)
{
    TestDevice device;
    COxelD3DTerrainChipManager* terrain = new COxelD3DTerrainChipManager();
    ASSERT_EQ(0, terrain->Create(16, 16));
    terrain->AddBillboard();
    terrain->Release();
    EXPECT_EQ(nullptr, terrain->m_cells);
    EXPECT_EQ(nullptr, terrain->m_pRoot);
    EXPECT_TRUE(terrain->m_billboards.empty());
    EXPECT_EQ(0, terrain->m_chipImage.loaded);
    IDirect3DTexture9* texture = terrain->m_chipTexture;
    ASSERT_NE(nullptr, texture);
    texture->AddRef();
    delete terrain;
    EXPECT_EQ(0u, texture->Release());
}
