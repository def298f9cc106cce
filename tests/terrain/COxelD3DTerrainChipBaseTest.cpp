#include "terrain/COxelD3DTerrainChipBase.h"

#include "app/COxelD3DApplication.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct NoTexture : COxelD3DTerrainChipTextureManagerBase {
    void SetTexture() override { g_device->SetTexture(0, nullptr); }
    int LoadTexture(const char*) override { return 0; }
    void ReleaseTexture() override {}
};

bool SameVertex(const QuadVertex& a, const QuadVertex& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

void SetFlatCell(COxelD3DTerrainChipBase& quad, int rotation)
{
    quad.SetGeometry({0, 2, 0}, {0, 2, 1}, {1, 2, 0}, {1, 2, 1}, {0, 1, 0}, 0.25f, 0.5f, 0.125f, 0.75f, rotation);
}

// What the device will draw: the vertex buffer's contents.
void ReadBuffer(COxelD3DTerrainChipBase& quad, QuadVertex out[4])
{
    void* data = nullptr;
    ASSERT_TRUE(SUCCEEDED(quad.m_pVertexBuffer->Lock(0, 0, &data, D3DLOCK_READONLY)));
    memcpy(out, data, 4 * sizeof(QuadVertex));
    quad.m_pVertexBuffer->Unlock();
}

}  // namespace

TEST(COxelD3DTerrainChipBase, SetGeometryWritesCornersNormalAndTurnedRectangle)
{
    TestDevice device;
    NoTexture owner;
    COxelD3DTerrainChipBase quad;
    ASSERT_EQ(0, quad.Create(&owner));
    ASSERT_EQ(0, quad.SetGeometry({0, 2, 0}, {0, 2, 1}, {1, 2, 0}, {1, 2, 1}, {0, 1, 0}, 0.25f, 0.5f, 0.125f, 0.75f,
                                  1));
    const QuadVertex expected[4] = {
        {0, 2, 0, 0, 1, 0, 0.125f, 0.5f},
        {0, 2, 1, 0, 1, 0, 0.25f, 0.5f},
        {1, 2, 0, 0, 1, 0, 0.125f, 0.75f},
        {1, 2, 1, 0, 1, 0, 0.25f, 0.75f},
    };
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(SameVertex(expected[k], quad.GetVertex(k))) << "vertex " << k;
    }
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), quad.m_vFaceNormal1);
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), quad.m_vFaceNormal2);
    EXPECT_EQ(D3DXVECTOR3(0, 2, 0), quad.m_vMin);
    EXPECT_EQ(D3DXVECTOR3(1, 2, 1), quad.m_vMax);
}

TEST(COxelD3DTerrainChipBase, SetNormalChangesOnlyThatVertexNormal)
{
    TestDevice device;
    NoTexture owner;
    COxelD3DTerrainChipBase quad;
    ASSERT_EQ(0, quad.Create(&owner));
    SetFlatCell(quad, 0);
    const QuadVertex before = quad.GetVertex(2);
    ASSERT_EQ(0, quad.SetNormal(2, D3DXVECTOR3(0.6f, 0.8f, 0.0f)));
    EXPECT_EQ(D3DXVECTOR3(0.6f, 0.8f, 0.0f), quad.GetNormal(2));
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), quad.GetNormal(1));
    const QuadVertex after = quad.GetVertex(2);
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.z, after.z);
    EXPECT_EQ(before.u, after.u);
    EXPECT_EQ(before.v, after.v);
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), quad.m_vFaceNormal1);
}

TEST(COxelD3DTerrainChipBase, VerticesOutsideZeroToThreeAreRefusedAndChangeNothing)
{
    TestDevice device;
    NoTexture owner;
    COxelD3DTerrainChipBase quad;
    ASSERT_EQ(0, quad.Create(&owner));
    SetFlatCell(quad, 0);
    QuadVertex before[4];
    for (int k = 0; k < 4; ++k) {
        before[k] = quad.GetVertex(k);
    }
    const D3DXVECTOR3 faceNormal = quad.m_vFaceNormal1;
    for (int vertex : {-1, 4, 5, -100000, 100000}) {
        EXPECT_EQ(E_FAIL, quad.SetNormal(vertex, D3DXVECTOR3(9, 9, 9))) << vertex;
        EXPECT_EQ(E_FAIL, quad.SetNormal(vertex, 9.0f, 9.0f, 9.0f)) << vertex;
        EXPECT_EQ(D3DXVECTOR3(0, 0, 0), quad.GetNormal(vertex)) << vertex;
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(SameVertex(before[k], quad.GetVertex(k))) << "vertex " << k;
    }
    EXPECT_EQ(faceNormal, quad.m_vFaceNormal1);
}

TEST(COxelD3DTerrainChipBase, DrawingWritesTheLatestVerticesToTheBuffer)
{
    TestDevice device;
    NoTexture owner;
    COxelD3DTerrainChipBase quad;
    ASSERT_EQ(0, quad.Create(&owner));
    for (int step = 0; step < 2; ++step) {
        SetFlatCell(quad, step);
        quad.SetNormal(3, 0.0f, 0.0f, -1.0f);
        g_device->BeginScene();
        quad.Render();
        g_device->EndScene();
        QuadVertex drawn[4];
        ReadBuffer(quad, drawn);
        for (int k = 0; k < 4; ++k) {
            EXPECT_TRUE(SameVertex(quad.GetVertex(k), drawn[k])) << "step " << step << ", vertex " << k;
        }
    }
}

TEST(COxelD3DTerrainChipBase, WithoutABufferWritesFailButTheBoxFollows)
{
    COxelD3DTerrainChipBase quad;
    EXPECT_EQ(E_FAIL, quad.SetGeometry({0, 1, 0}, {0, 5, 1}, {1, 1, 0}, {1, 1, 1}, {0, 1, 0}, 0, 0, 1, 1, 0));
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), quad.m_vMin);
    EXPECT_EQ(D3DXVECTOR3(1, 5, 1), quad.m_vMax);
    EXPECT_EQ(E_FAIL, quad.SetNormal(0, 1.0f, 0.0f, 0.0f));
}
