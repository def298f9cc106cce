#include "tools/BrushMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

namespace {

// A map of heights and chips that a test can set up and the brushes can read.
struct TestMap {
    int width;
    int height;
    std::map<std::pair<int, int>, double> heights;
    std::map<std::pair<int, int>, int> chips;

    double Height(int column, int row) const
    {
        const auto found = heights.find({column % width, row % height});
        return found == heights.end() ? 2.0 : found->second;
    }
    int Chip(int column, int row) const
    {
        const auto found = chips.find({column % width, row % height});
        return found == chips.end() ? 0 : found->second;
    }
    HeightAt Heights() const
    {
        return [this](int column, int row) { return Height(column, row); };
    }
};

std::set<std::pair<int, int>> AsSet(const std::vector<GridPoint>& points)
{
    std::set<std::pair<int, int>> set;
    for (const GridPoint& point : points) {
        set.insert({point.column, point.row});
    }
    return set;
}

}  // namespace

TEST(BrushMath, FootprintsCoverTheBrushAndWrapAroundTheMapsEdges)
{
    const struct {
        GridPoint centre;
        int size;
        int mapSize;
        // Corners of the footprint (lowest and highest column and row, wrapped).
        int columns[2];
        int rows[2];
    } cases[] = {
        {{5, 6}, 1, 32, {5, 5}, {6, 6}},    {{5, 6}, 3, 32, {4, 6}, {5, 7}},    {{5, 6}, 5, 32, {3, 7}, {4, 8}},
        {{5, 6}, 9, 32, {1, 9}, {2, 10}},   {{0, 0}, 3, 16, {15, 1}, {15, 1}},  {{15, 15}, 5, 16, {13, 1}, {13, 1}},
        {{63, 0}, 9, 64, {59, 3}, {60, 4}}, {{32, 8}, 9, 16, {12, 4}, {4, 12}},
    };
    for (const auto& c : cases) {
        const std::vector<GridPoint> footprint = BrushFootprint(c.centre, c.size, c.mapSize, c.mapSize);
        const int expected = std::min(c.size, c.mapSize) * std::min(c.size, c.mapSize);
        EXPECT_EQ(static_cast<size_t>(expected), footprint.size()) << c.size << " at " << c.centre.column;
        EXPECT_EQ(footprint.size(), AsSet(footprint).size()) << "each square once";
        for (int corner = 0; corner < 4; ++corner) {
            const std::pair<int, int> square = {c.columns[corner / 2], c.rows[corner % 2]};
            EXPECT_EQ(1u, AsSet(footprint).count(square))
                << c.size << " at (" << c.centre.column << ", " << c.centre.row << ") misses (" << square.first << ", "
                << square.second << ")";
        }
        for (const GridPoint& point : footprint) {
            EXPECT_TRUE(point.column >= 0 && point.column < c.mapSize && point.row >= 0 && point.row < c.mapSize);
        }
    }
    // A brush wider than the map covers every square once.
    EXPECT_EQ(16u * 16u, AsSet(BrushFootprint({3, 3}, 33, 16, 16)).size());
}

TEST(BrushMath, RaisingFallsOffLinearlyRingByRingTowardsTheBrushsEdge)
{
    const struct {
        int size;
        int dx;
        int dy;
        double share;
    } cases[] = {
        {1, 0, 0, 1.0}, {1, 1, 0, 0.0},     {3, 0, 0, 1.0},      {3, 1, 1, 0.5}, {3, -1, 0, 0.5},
        {5, 0, 0, 1.0}, {5, 1, 0, 2 / 3.0}, {5, -2, 1, 1 / 3.0}, {9, 0, 0, 1.0}, {9, 2, -1, 0.6},
        {9, 4, 4, 0.2}, {9, -4, 0, 0.2},    {9, 5, 0, 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.share, BrushFalloff(c.dx, c.dy, c.size)) << c.size << ": " << c.dx << ", " << c.dy;
    }

    TestMap map = {32, 32, {{{20, 20}, 15.9}}, {}};
    const std::vector<HeightChange> raised = RaiseLowerHeights(map.Heights(), {20, 20}, 3, 32, 32, 0.5);
    ASSERT_EQ(9u, raised.size());
    for (const HeightChange& change : raised) {
        const bool centre = change.vertex == GridPoint{20, 20};
        EXPECT_DOUBLE_EQ(centre ? 16.0 : 2.25, change.height) << "kept within 0..16";
    }
    map.heights = {{{0, 0}, 0.0}};
    const std::vector<HeightChange> lowered = RaiseLowerHeights(map.Heights(), {0, 0}, 1, 32, 32, -0.5);
    EXPECT_TRUE(lowered.empty()) << "a vertex at 0 cannot go lower";
}

TEST(BrushMath, SmoothingLowersASpikeAndLeavesFlatGroundAlone)
{
    TestMap map = {16, 16, {{{0, 0}, 10.0}}, {}};
    for (int size : {1, 3, 9}) {
        const std::vector<HeightChange> changes = SmoothHeights(map.Heights(), {0, 0}, size, 16, 16, 0.5);
        ASSERT_FALSE(changes.empty());
        EXPECT_EQ(GridPoint({0, 0}), changes[changes.size() / 2].vertex);
        for (const HeightChange& change : changes) {
            const bool centre = change.vertex == GridPoint{0, 0};
            // The spike goes halfway to its neighbours' mean of 2; they, across
            // the map's edges too, halfway to theirs of (7 x 2 + 10) / 8 = 3.
            EXPECT_DOUBLE_EQ(centre ? 6.0 : 2.5, change.height)
                << size << ": " << change.vertex.column << ", " << change.vertex.row;
        }
        EXPECT_EQ(static_cast<size_t>(std::min(size, 3) * std::min(size, 3)), changes.size());
    }
    EXPECT_DOUBLE_EQ(2.0, SmoothHeights(map.Heights(), {0, 0}, 1, 16, 16, 1.0)[0].height) << "fully to the mean";
    map.heights.clear();
    EXPECT_TRUE(SmoothHeights(map.Heights(), {7, 7}, 9, 16, 16, 1.0).empty());
}

TEST(BrushMath, FlatteningLevelsTheBrushToTheStartHeight)
{
    TestMap map = {32, 32, {{{1, 1}, 7.0}, {{31, 31}, 3.5}, {{2, 0}, 5.0}}, {}};
    const std::vector<HeightChange> changes = FlattenHeights(map.Heights(), {0, 0}, 3, 32, 32, 7.0);
    EXPECT_EQ(8u, changes.size()) << "the vertex at 7 already keeps its height";
    for (const HeightChange& change : changes) {
        EXPECT_DOUBLE_EQ(7.0, change.height);
    }
    EXPECT_EQ(GridPoint({31, 31}), changes[0].vertex) << "across both edges";
    EXPECT_DOUBLE_EQ(16.0, FlattenHeights(map.Heights(), {9, 9}, 1, 32, 32, 20.0)[0].height);
}

TEST(BrushMath, FillsSpreadOverLikeCellsThroughEdgesAndAcrossTheMapsEdges)
{
    // A 16 x 16 map of chip 0 with a wall of chip 3 in column 8 and row 8.
    TestMap walled = {16, 16, {}, {}};
    for (int i = 0; i < 16; ++i) {
        walled.chips[{8, i}] = 3;
        walled.chips[{i, 8}] = 3;
    }
    // A 2 x 2 pocket at the corner of the map joined only across both edges,
    // and one cell touching it only at a corner.
    TestMap pocket = {16, 16, {}, {{{0, 0}, 5}, {{15, 0}, 5}, {{0, 15}, 5}, {{15, 15}, 5}, {{1, 1}, 5}}};
    // A corridor winding down the map and back: walls in column 15, row 15
    // and every odd row, each odd row with one gap, at alternate ends.
    TestMap winding = {16, 16, {}, {}};
    for (int i = 0; i < 16; ++i) {
        winding.chips[{15, i}] = 3;
        winding.chips[{i, 15}] = 3;
        for (int row = 1; row < 15; row += 2) {
            if (i != (row % 4 == 1 ? 0 : 14)) {
                winding.chips[{i, row}] = 3;
            }
        }
    }
    const struct {
        const TestMap* map;
        GridPoint start;
        size_t cells;
    } cases[] = {
        {&walled, {2, 3}, 15 * 15},  // one room, wrapping round to columns 9..15 and rows 9..15
        {&walled, {8, 2}, 31},       // the wall itself: a cross
        {&pocket, {15, 15}, 4},      // across both edges, not through the corner-only cell
        {&pocket, {1, 1}, 1},       {&pocket, {7, 7}, 16 * 16 - 5},
        {&winding, {5, 0}, 8 * 15 + 7},  // from either end or the middle, each turn of the corridor
        {&winding, {5, 14}, 8 * 15 + 7}, {&winding, {9, 8}, 8 * 15 + 7},
    };
    for (const auto& c : cases) {
        const TestMap& map = *c.map;
        const int chip = map.Chip(c.start.column, c.start.row);
        const std::vector<GridPoint> region =
            FloodFillRegion([&](int column, int row) { return map.Chip(column, row) == chip; }, c.start, 16, 16);
        EXPECT_EQ(c.cells, region.size()) << "from " << c.start.column << ", " << c.start.row;
        EXPECT_EQ(region.size(), AsSet(region).size());
        for (const GridPoint& cell : region) {
            EXPECT_EQ(chip, map.Chip(cell.column, cell.row));
        }
    }
    EXPECT_EQ(64u * 64u, FloodFillRegion([](int, int) { return true; }, {63, 0}, 64, 64).size());
}

TEST(BrushMath, AFastPointerPassesEverySquareOnItsWayOnceWithNoGaps)
{
    const struct {
        POINT from;
        POINT to;
        int square;
        size_t count;
    } cases[] = {
        {{5, 5}, {5, 5}, 10, 1},      {{5, 5}, {315, 5}, 10, 32},     {{315, 315}, {5, 5}, 10, 63},
        {{3, 200}, {300, 7}, 10, 51}, {{0, 0}, {511, 511}, 16, 63},   {{40, 70}, {41, 71}, 32, 1},
        {{-50, 5}, {50, 5}, 10, 6},   {{5, 5}, {5000, 9000}, 10, 50}, {{-9, -9}, {-1, -1}, 10, 0},
    };
    for (const auto& c : cases) {
        const std::vector<GridPoint> squares = SquaresAlongSegment(c.from, c.to, c.square, c.square, 32, 32);
        EXPECT_EQ(c.count, squares.size()) << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y;
        EXPECT_EQ(squares.size(), AsSet(squares).size());
        for (size_t i = 1; i < squares.size(); ++i) {
            const int step =
                std::abs(squares[i].column - squares[i - 1].column) + std::abs(squares[i].row - squares[i - 1].row);
            EXPECT_EQ(1, step) << "neighbours share an edge";
        }
        for (const GridPoint& square : squares) {
            EXPECT_TRUE(square.column >= 0 && square.column < 32 && square.row >= 0 && square.row < 32);
        }
    }
    const std::vector<GridPoint> line = SquaresAlongSegment({5, 5}, {315, 5}, 10, 10, 32, 32);
    EXPECT_EQ(GridPoint({0, 0}), line.front());
    EXPECT_EQ(GridPoint({31, 0}), line.back());
}
