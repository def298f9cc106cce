#include "terrain/MapGridMath.h"

#include <gtest/gtest.h>

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
