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

TEST(MapViewMath, ScrolledPixelsFindTheirSquareAndTheirGridColumn)
{
    // A 10-pixel square view of a 512-wide map scrolled to its far corner;
    // shift 0 for the height and texture mapping views, 1 for the map edit view.
    const struct {
        int pixel;
        int offset;
        int squarePixels;
        int square;
        int mapWidth;
        int shift;
        int gridColumn;
    } cases[] = {
        {0, 0, 10, 0, 32, 0, 32},         {9, 0, 10, 0, 32, 0, 32},          {10, 0, 10, 1, 32, 0, 31},
        {-1, 0, 10, -1, 32, 0, 33},       {-10, 0, 10, -1, 32, 0, 33},       {-11, 0, 10, -2, 32, 0, 34},
        {5, 4800, 10, 480, 512, 0, 32},   {319, 4800, 10, 511, 512, 0, 1},   {0, 1240, 40, 31, 128, 1, 96},
        {39, 20440, 40, 511, 512, 1, 0},  {-1, 20440, 40, 510, 512, 1, 1},   {0, 0, 40, 0, 16, 1, 15},
    };
    for (const auto& c : cases) {
        const int square = ViewSquareAt(c.pixel, c.offset, c.squarePixels);
        EXPECT_EQ(c.square, square) << c.pixel << " + " << c.offset;
        EXPECT_EQ(c.gridColumn, ShiftedGridColumn(square, c.mapWidth, c.shift)) << c.pixel << " + " << c.offset;
        // Back from the grid, wrapped, to the column that shows it.
        EXPECT_EQ(WrapIndex(square, c.mapWidth), ViewColumnOfGrid(c.gridColumn, c.mapWidth, c.shift));
    }
}

TEST(MapViewMath, APaintTouchesOnlyTheSquaresInItsRectangle)
{
    const struct {
        int begin;
        int end;
        int offset;
        int squarePixels;
        int count;
        SquareSpan span;
    } cases[] = {
        {0, 640, 0, 10, 64, {0, 64}},      {0, 641, 0, 10, 64, {0, 64}},      {5, 15, 0, 10, 64, {0, 2}},
        {10, 20, 0, 10, 64, {1, 2}},       {0, 640, 4480, 10, 512, {448, 512}}, {0, 640, 100, 40, 512, {2, 19}},
        {640, 700, 0, 10, 64, {0, 0}},     {20, 20, 0, 10, 64, {0, 0}},       {-30, 5, 0, 10, 64, {0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.span, VisibleSquares(c.begin, c.end, c.offset, c.squarePixels, c.count))
            << c.begin << ".." << c.end << " + " << c.offset;
    }
}

TEST(MapViewMath, ScrollingStopsWhereThePageMeetsTheMapsEdge)
{
    const struct {
        int offset;
        int content;
        int page;
        int clamped;
    } cases[] = {
        {-5, 640, 300, 0}, {0, 640, 300, 0}, {340, 640, 300, 340}, {341, 640, 300, 340},
        {50, 640, 640, 0}, {50, 640, 800, 0}, {30000, 20480, 640, 19840},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.clamped, ClampedOffset(c.offset, c.content, c.page)) << c.offset;
    }
}
