#include "terrain/COxelD3DTerrainChipBatch.h"

#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipBase.h"

#include <gtest/gtest.h>

TEST(COxelD3DTerrainChipBatch, HoldsAsManyQuadsAs16BitIndicesReachAndNoSlotBeyond)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DTerrainChipBatch batch;
    EXPECT_EQ(0, batch.Create(128 * 128));
    EXPECT_EQ(E_FAIL, batch.Create(128 * 128 + 1));
    EXPECT_EQ(nullptr, batch.m_vertices);
    EXPECT_EQ(E_FAIL, batch.Create(0));

    ASSERT_EQ(0, batch.Create(16));
    for (int slot : {-1, 16}) {
        COxelD3DTerrainChipBase quad;
        EXPECT_EQ(E_FAIL, quad.CreateInBatch(nullptr, &batch, slot)) << slot;
        EXPECT_EQ(E_FAIL, quad.SetNormal(0, 0.0f, 1.0f, 0.0f)) << slot;
    }
}
