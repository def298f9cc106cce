#include "terrain/COxelD3DTerrainChipBatch.h"

#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <gtest/gtest.h>

namespace {

struct NoTexture : COxelD3DTerrainChipTextureManagerBase {
    void SetTexture() override {}
    int LoadTexture(const char*) override { return 0; }
    void ReleaseTexture() override {}
};

}  // namespace

TEST(COxelD3DTerrainChipBatch, HoldsAsManyQuadsAs16BitIndicesReachAndNoSlotBeyond)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DTerrainChipBatch batch;
    ASSERT_EQ(0, batch.Create(128 * 128));
    D3DVERTEXBUFFER_DESC vertices;
    batch.m_vertices->GetDesc(&vertices);
    EXPECT_EQ(128u * 128u * 4u * 32u, vertices.Size);
    D3DINDEXBUFFER_DESC indices;
    batch.m_indices->GetDesc(&indices);
    EXPECT_EQ(128u * 128u * 6u * 2u, indices.Size);
    EXPECT_EQ(D3DFMT_INDEX16, indices.Format);

    EXPECT_EQ(E_FAIL, batch.Create(128 * 128 + 1));
    EXPECT_EQ(nullptr, batch.m_vertices);
    EXPECT_EQ(0, batch.m_quadCount);
    EXPECT_EQ(E_FAIL, batch.Create(0));

    ASSERT_EQ(0, batch.Create(16));
    NoTexture owner;
    for (int slot : {-1, 16}) {
        COxelD3DTerrainChipBase quad;
        EXPECT_EQ(E_FAIL, quad.CreateInBatch(&owner, &batch, slot)) << slot;
        EXPECT_EQ(nullptr, quad.m_pVertexBuffer);
    }
    // A quad keeps the shared buffer alive after the batch lets it go.
    COxelD3DTerrainChipBase quad;
    ASSERT_EQ(0, quad.CreateInBatch(&owner, &batch, 15));
    EXPECT_EQ(15, quad.Slot());
    batch.Release();
    EXPECT_EQ(0, quad.SetNormal(3, 0.0f, 1.0f, 0.0f));
}
