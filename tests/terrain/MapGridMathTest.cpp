#include "terrain/MapGridMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(WrapIndex, WrapsNeighboursAcrossBothEdges)
{
    EXPECT_EQ(31, WrapIndex(-1, 32));
    EXPECT_EQ(0, WrapIndex(32, 32));
    EXPECT_EQ(5, WrapIndex(69, 32));
    EXPECT_EQ(0, WrapIndex(0, 16));
}

TEST(MapChipTexRect, AtlasOf640By480HasFiveColumnsAndALeftoverStrip)
{
    EXPECT_EQ(5, AtlasTileCount(640).tiles);
    EXPECT_EQ(0, AtlasTileCount(640).rest);
    EXPECT_EQ(3, AtlasTileCount(480).tiles);
    EXPECT_EQ(96, AtlasTileCount(480).rest);
    const ChipTexRect rect = MapChipTexRect(5, 5, 640, 480);
    EXPECT_DOUBLE_EQ(0.0, rect.uLeft);
    EXPECT_DOUBLE_EQ(0.2, rect.uRight);
    EXPECT_DOUBLE_EQ(128.0 / 480, rect.vTop);
    EXPECT_DOUBLE_EQ(256.0 / 480, rect.vBottom);
}

TEST(MapChipTexRect, AtlasWithoutAWholeTileGivesAnEmptyRectangleInsteadOfDividingByZero)
{
    const ChipTexRect rect = MapChipTexRect(3, 0, 100, 512);
    EXPECT_EQ(0.0, rect.uLeft);
    EXPECT_EQ(0.0, rect.uRight);
    EXPECT_EQ(0.0, rect.vBottom);
}

TEST(QuadChildStarts, QuartersStartAtTheirLowestColumnAndRow)
{
    int starts[4];
    QuadChildStarts(0, 32, 32, 32, starts);
    EXPECT_EQ((std::vector<int>{0, 16, 512, 528}), std::vector<int>(starts, starts + 4));
    QuadChildStarts(528, 4, 4, 64, starts);
    EXPECT_EQ((std::vector<int>{528, 530, 656, 658}), std::vector<int>(starts, starts + 4));
}

TEST(ClassifyBoxCorners, InsideOutsideOneCommonPlaneOrStraddling)
{
    const int inside[8] = {};
    EXPECT_EQ(BoxVisibility::Inside, ClassifyBoxCorners(inside));
    const int beyondFar[8] = {32, 32, 32, 32, 32 | 1, 32 | 4, 32 | 8, 32 | 2};
    EXPECT_EQ(BoxVisibility::Outside, ClassifyBoxCorners(beyondFar));
    // Outside, but never all beyond the same plane: it might cross the view.
    const int leftAndRight[8] = {4, 4, 4, 4, 8, 8, 8, 8};
    EXPECT_EQ(BoxVisibility::Straddling, ClassifyBoxCorners(leftAndRight));
    const int oneCornerIn[8] = {16, 16, 16, 0, 16, 16, 16, 16};
    EXPECT_EQ(BoxVisibility::Straddling, ClassifyBoxCorners(oneCornerIn));
}

TEST(QuadTreeLeafOrder, FollowsTheTreesQuartersDepthFirstAndPlacesEveryCellOnce)
{
    // 4 x 4: the quarters of each block in turn, lower row half first.
    const std::vector<int> four = {0, 1, 4, 5, 2, 3, 6, 7, 8, 9, 12, 13, 10, 11, 14, 15};
    EXPECT_EQ(four, QuadTreeLeafOrder(4, 4));
    EXPECT_EQ((std::vector<int>{0}), QuadTreeLeafOrder(1, 1));
    // Sides the tree cannot halve evenly: its leaves first, the other cells after.
    EXPECT_EQ((std::vector<int>{0, 1, 3, 4, 2, 5}), QuadTreeLeafOrder(3, 2));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), QuadTreeLeafOrder(4, 1));
    EXPECT_TRUE(QuadTreeLeafOrder(0, 5).empty());

    for (int size : {16, 32, 64}) {
        std::vector<int> order = QuadTreeLeafOrder(size, size);
        // Each 2 x 2 block is four neighbouring slots.
        EXPECT_EQ(size + 1, order[3]) << size;
        std::sort(order.begin(), order.end());
        for (int cell = 0; cell < size * size; ++cell) {
            ASSERT_EQ(cell, order[cell]) << size;
        }
    }
}
