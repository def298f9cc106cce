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

TEST(MapViewMath, TurnedTilesPutTheUpperLeftCornerOneCornerFurtherClockwise)
{
    const RECT cell = {10, 20, 50, 60};
    const struct {
        int rotation;
        POINT upperLeft, upperRight, lowerLeft;
    } cases[] = {
        {0, {10, 20}, {50, 20}, {10, 60}}, {1, {50, 20}, {50, 60}, {10, 20}}, {2, {50, 60}, {10, 60}, {50, 20}},
        {3, {10, 60}, {10, 20}, {50, 60}}, {7, {10, 20}, {50, 20}, {10, 60}}, {-1, {10, 20}, {50, 20}, {10, 60}},
    };
    for (const auto& c : cases) {
        POINT points[3];
        TurnedTilePoints(cell, c.rotation, points);
        const POINT expected[3] = {c.upperLeft, c.upperRight, c.lowerLeft};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(expected[i].x, points[i].x) << "rotation " << c.rotation << " point " << i;
            EXPECT_EQ(expected[i].y, points[i].y) << "rotation " << c.rotation << " point " << i;
        }
    }
}
