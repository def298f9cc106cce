#include "tools/MapViewMath.h"

#include "terrain/MapGridMath.h"

#include <gtest/gtest.h>

TEST(MapViewMath, ViewsShowTheMapMirroredLeftToRight)
{
    // Height and texture mapping views: column 0 is the far edge x = W, which
    // the grid wraps to x = 0; column 1 is x = W - 1.
    EXPECT_EQ(0, WrapIndex(MirroredGridColumn(0, 32), 32));
    EXPECT_EQ(31, MirroredGridColumn(1, 32));
    EXPECT_EQ(1, MirroredGridColumn(31, 32));
    // Map edit view: one column further.
    EXPECT_EQ(31, MapEditGridColumn(0, 32));
    EXPECT_EQ(0, MapEditGridColumn(31, 32));
}

TEST(MapViewMath, GreyLevelsTruncateAndStopAtWhite)
{
    const struct {
        double height;
        double scale;
        int grey;
    } cases[] = {
        {16.0, 16.0, 255}, {15.99, 16.0, 255}, {8.0, 16.0, 128}, {0.03, 16.0, 0}, {0.0, 16.0, 0},
        {8.0, 15.0, 120},  {16.0, 15.0, 240},  {-1.0, 16.0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.grey, HeightGrey(c.height, c.scale)) << c.height << " x " << c.scale;
    }
}

TEST(MapViewMath, ChipsAreCutRowByRowAndOnlyRowsCarryTheLeftoverPixels)
{
    const RECT chip9 = ChipSourceRect(9, 8, 0);
    EXPECT_EQ(128, chip9.left);
    EXPECT_EQ(128, chip9.top);
    EXPECT_EQ(256, chip9.right);
    EXPECT_EQ(256, chip9.bottom);
    const RECT shifted = ChipSourceRect(6, 5, 96);
    EXPECT_EQ(128, shifted.left);
    EXPECT_EQ(128 + 96, shifted.top);
}

TEST(MapViewMath, TurnedSquaresMoveTheUpperLeftCornerOneCornerFurtherClockwise)
{
    // A 3 x 3 square inside rows of 4: the fourth column must stay untouched.
    const uint32_t source[12] = {1, 2, 3, 90, 4, 5, 6, 91, 7, 8, 9, 92};
    const uint32_t turned[4][9] = {
        {1, 2, 3, 4, 5, 6, 7, 8, 9},
        {7, 4, 1, 8, 5, 2, 9, 6, 3},
        {9, 8, 7, 6, 5, 4, 3, 2, 1},
        {3, 6, 9, 2, 5, 8, 1, 4, 7},
    };
    for (int turns = 0; turns < 4; ++turns) {
        uint32_t target[12] = {0, 0, 0, 77, 0, 0, 0, 77, 0, 0, 0, 77};
        TurnSquare(source, target, 4, 3, turns);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(turned[turns][i], target[(i / 3) * 4 + i % 3]) << turns << " turns, pixel " << i;
        }
        EXPECT_EQ(77u, target[3]);
    }
}
