#include "tools/MapRegion.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/RegionStep.h"
#include "io/MapFileFormat.h"
#include "support/EditorSession.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool SameRegion(const MapRegion& a, const MapRegion& b)
{
    return a.columns == b.columns && a.rows == b.rows && a.heights == b.heights && a.cells == b.cells;
}

// Every height and cell differs, so that a vertex or cell put in the wrong
// place shows.
MapRegion DistinctRegion(int columns, int rows)
{
    MapRegion region;
    region.columns = columns;
    region.rows = rows;
    for (int n = 0; n < (columns + 1) * (rows + 1); ++n) {
        region.heights.push_back(10.0 + 0.125 * n);
    }
    for (int n = 0; n < columns * rows; ++n) {
        region.cells.push_back(CellState{40 + n, n % 4, n % 3 - 1});
    }
    return region;
}

// The whole grid, vertex by vertex and cell by cell, in index order.
struct GridState {
    std::vector<double> heights;
    std::vector<CellState> cells;
};

GridState ReadGrid(COxelD3DTerrainChipManager& terrain)
{
    GridState grid;
    for (int row = 0; row < terrain.m_mapHeight; ++row) {
        for (int column = 0; column < terrain.m_mapWidth; ++column) {
            grid.heights.push_back(terrain.GetHeight(column, row));
            grid.cells.push_back(CellStep::Read(terrain, row * terrain.m_mapWidth + column));
        }
    }
    return grid;
}

void FillGrid(COxelD3DTerrainChipManager& terrain)
{
    for (int row = 0; row < terrain.m_mapHeight; ++row) {
        for (int column = 0; column < terrain.m_mapWidth; ++column) {
            terrain.SetHeight(column, row, (column * 5 + row * 11) % 29 * 0.25);
            terrain.SetMapChip(column, row, column + 16 * row);
            terrain.SetMapChipRotation(column, row, (column + row) % 4);
        }
    }
}

// What the views show after `turns` quarter turns clockwise, worked out by
// turning points on the screen (x right, y down) about the region's middle:
// in doubled coordinates a point (x, y) of a w x h picture goes to (h - y, x).
struct TurnedModel {
    int columns;
    int rows;
    std::vector<double> heights;
    std::vector<CellState> cells;
};

TurnedModel TurnByPoints(const MapRegion& region, int turns)
{
    TurnedModel model{turns % 2 ? region.rows : region.columns, turns % 2 ? region.columns : region.rows, {}, {}};
    model.heights.resize(region.heights.size());
    model.cells.resize(region.cells.size());
    const auto turn = [&](int* x, int* y) {
        int w = 2 * region.columns;
        int h = 2 * region.rows;
        for (int t = 0; t < turns; ++t) {
            const int turnedX = h - *y;
            *y = *x;
            *x = turnedX;
            std::swap(w, h);
        }
    };
    for (int l = 0; l <= region.rows; ++l) {
        for (int k = 0; k <= region.columns; ++k) {
            int x = 2 * k;
            int y = 2 * l;
            turn(&x, &y);
            model.heights[(y / 2) * (model.columns + 1) + x / 2] = region.Height(k, l);
        }
    }
    for (int j = 0; j < region.rows; ++j) {
        for (int i = 0; i < region.columns; ++i) {
            int x = 2 * i + 1;
            int y = 2 * j + 1;
            turn(&x, &y);
            CellState cell = region.Cell(i, j);
            // A chip turns with the picture it is part of.
            cell.rotation = (cell.rotation + turns) % 4;
            model.cells[(y / 2) * model.columns + x / 2] = cell;
        }
    }
    return model;
}

}  // namespace

TEST(MapRegion, ContainsCellsAcrossTheMapsEdgesAsTheViewsShowThem)
{
    const int width = 16;
    const int height = 12;
    const struct {
        MapRect rect;
        GridPoint cell;
        bool contained;
    } cases[] = {
        // View columns run leftwards in the grid from the top-left cell.
        {{{2, 3}, 5, 3}, {2, 3}, true},
        {{{2, 3}, 5, 3}, {0, 5}, true},
        {{{2, 3}, 5, 3}, {14, 4}, true},
        {{{2, 3}, 5, 3}, {-2, 4}, true},
        {{{2, 3}, 5, 3}, {13, 4}, false},
        {{{2, 3}, 5, 3}, {3, 3}, false},
        {{{2, 3}, 5, 3}, {2, 6}, false},
        {{{2, 3}, 5, 3}, {2, 2}, false},
        // Across the bottom edge, and a top-left cell given unwrapped.
        {{{5, 10}, 1, 4}, {5, 1}, true},
        {{{5, 10}, 1, 4}, {5, 2}, false},
        {{{21, -2}, 1, 4}, {5, 11}, true},
        {{{21, -2}, 1, 4}, {5, 2}, false},
        // As wide as the map, or wider: every column.
        {{{0, 0}, 16, 1}, {7, 0}, true},
        {{{0, 0}, 40, 1}, {9, 0}, true},
        {{{0, 0}, 16, 1}, {7, 1}, false},
        {{{3, 3}, 0, 4}, {3, 3}, false},
        {{{3, 3}, 4, -1}, {3, 3}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rect.Contains(c.cell, width, height), c.contained)
            << "rect at (" << c.rect.topLeft.column << ", " << c.rect.topLeft.row << ") " << c.rect.columns << " x "
            << c.rect.rows << ", cell (" << c.cell.column << ", " << c.cell.row << ")";
    }
}

TEST(MapRegion, RaisedKeepsHeightsWithinTheGridsBoundsAndFourTurnsGiveTheRegionBack)
{
    MapRegion region = DistinctRegion(2, 1);
    region.heights = {0.0, 8.0, 15.5, 0.5, 3.0, 16.0};
    EXPECT_EQ(Raised(region, 1.0).heights, (std::vector<double>{1.0, 9.0, 16.0, 1.5, 4.0, 16.0}));
    EXPECT_EQ(Raised(region, -2.0).heights, (std::vector<double>{0.0, 6.0, 13.5, 0.0, 1.0, 14.0}));
    EXPECT_EQ(Raised(region, std::nan("")).heights, region.heights);
    EXPECT_EQ(Raised(region, 1.0).cells, region.cells);
    EXPECT_EQ(region.Lowest(), 0.0);

    const MapRegion odd = DistinctRegion(5, 3);
    MapRegion turned = odd;
    for (int turns = 1; turns <= 4; ++turns) {
        turned = TurnedClockwise(turned);
        EXPECT_EQ(SameRegion(turned, odd), turns == 4) << turns << " turns";
    }
}

TEST(MapRegion, EncodedRegionDecodesToTheSameRegion)
{
    MapRegion region = DistinctRegion(3, 2);
    region.heights[0] = 0.0;
    region.heights[1] = 16.0;
    region.heights[2] = 3.14159265358979;
    region.cells[0] = CellState{0, 3, -1};
    region.cells[1] = CellState{2147483647, 0, 2147483647};
    const Bytes bytes = EncodeRegion(region);
    ASSERT_EQ(bytes.size(), 16u + 12 * 8 + 6 * 12);
    // The header names the format, its version and the size, little-endian.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16),
              (Bytes{'Q', 'M', 'R', 'G', 1, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0}));
    MapRegion decoded;
    ASSERT_TRUE(DecodeRegion(bytes.data(), bytes.size(), &decoded));
    EXPECT_TRUE(SameRegion(decoded, region));

    // A finite height beyond the grid's bounds is taken as the grid takes it.
    MapRegion high = DistinctRegion(1, 1);
    high.heights = {-3.0, 20.0, 1.0, 2.0};
    const Bytes highBytes = EncodeRegion(high);
    ASSERT_TRUE(DecodeRegion(highBytes.data(), highBytes.size(), &decoded));
    EXPECT_EQ(decoded.heights, (std::vector<double>{0.0, 16.0, 1.0, 2.0}));
}

TEST(MapRegion, DamagedBytesAreRefusedAndLeaveTheRegionAsItWas)
{
    const Bytes good = EncodeRegion(DistinctRegion(3, 2));
    const std::size_t firstCell = 16 + 12 * 8;
    // `good` with four bytes at `at` replaced by `value`, little-endian.
    const auto with = [&](std::size_t at, std::uint32_t value, std::size_t at2 = 0, std::uint32_t value2 = 0) {
        Bytes bytes = good;
        for (int byte = 0; byte < 4; ++byte) {
            bytes[at + byte] = static_cast<unsigned char>(value >> (8 * byte));
            if (at2) {
                bytes[at2 + byte] = static_cast<unsigned char>(value2 >> (8 * byte));
            }
        }
        return bytes;
    };
    const auto withHeight = [&](std::size_t at, double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return with(at, static_cast<std::uint32_t>(bits), at + 4, static_cast<std::uint32_t>(bits >> 32));
    };
    const auto sized = [](int columns, int rows) {
        MapRegion region;
        region.columns = columns;
        region.rows = rows;
        region.heights.assign(static_cast<std::size_t>(columns + 1) * (rows + 1), 1.0);
        region.cells.assign(static_cast<std::size_t>(columns) * rows, CellState{0, 0, -1});
        return EncodeRegion(region);
    };
    Bytes trailing = good;
    trailing.push_back(0);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", Bytes()},
        {"header alone", Bytes(good.begin(), good.begin() + 16)},
        {"truncated by a byte", Bytes(good.begin(), good.end() - 1)},
        {"a trailing byte", trailing},
        {"wrong magic", with(0, 0x47524d58u)},
        {"another version", with(4, 2)},
        {"no columns", sized(0, 2)},
        {"no rows", sized(2, 0)},
        {"513 columns", sized(513, 1)},
        {"513 rows", sized(1, 513)},
        {"negative columns", with(8, 0xffffffffu)},
        // Sizes whose byte count overflows 32 or 64 bits when multiplied out.
        {"overflowing size", with(8, 0x7fffffffu, 12, 0x7fffffffu)},
        {"wrapping size", with(8, 0x80000000u, 12, 2)},
        {"NaN height", withHeight(16 + 5 * 8, std::nan(""))},
        {"infinite height", withHeight(16, -std::numeric_limits<double>::infinity())},
        {"turn 4", with(firstCell + 12 + 4, 4)},
        {"turn -1", with(firstCell + 4, 0xffffffffu)},
        {"chip -1", with(firstCell + 5 * 12, 0xffffffffu)},
        {"billboard -2", with(firstCell + 8, 0xfffffffeu)},
    };
    const MapRegion kept = DistinctRegion(1, 1);
    for (const auto& c : cases) {
        MapRegion region = kept;
        EXPECT_FALSE(DecodeRegion(c.bytes.data(), c.bytes.size(), &region)) << c.name;
        EXPECT_TRUE(SameRegion(region, kept)) << c.name;
    }
    MapRegion region;
    EXPECT_FALSE(DecodeRegion(nullptr, 0, &region));
    EXPECT_TRUE(DecodeRegion(good.data(), good.size(), &region));
    const Bytes largest = sized(512, 512);
    EXPECT_TRUE(DecodeRegion(largest.data(), largest.size(), &region));
}

TEST(RegionStep, ATurnedRegionLandsWhereTheViewsShowItAcrossTheMapsEdges)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    // Maps are square; the region is not, so that a width taken for a height shows.
    editor.NewMap(16, 16);
    COxelD3DTerrainChipManager& terrain = session.terrain();
    FillGrid(terrain);
    editor.ForgetHistory();
    const GridState original = ReadGrid(terrain);
    const int width = 16;
    const int height = 16;

    const MapRegion region = DistinctRegion(5, 3);
    // Top-left cells as grid cells: grid column 0 is at the views' right, so
    // small columns run off the right edge and the last column off the left.
    const struct {
        const char* where;
        GridPoint topLeft;
    } places[] = {
        {"inside", {8, 4}},
        {"across the right edge", {1, 2}},
        {"across the left edge", {15, 2}},
        {"across the bottom edge", {6, 14}},
        {"across the bottom right corner", {0, 15}},
        {"across the bottom left corner", {15, 13}},
        {"given unwrapped", {-9, 20}},
    };
    for (int turns = 0; turns <= 4; ++turns) {
        MapRegion turned = region;
        for (int t = 0; t < turns; ++t) {
            turned = TurnedClockwise(turned);
        }
        const TurnedModel model = TurnByPoints(region, turns);
        ASSERT_EQ(turned.columns, model.columns);
        ASSERT_EQ(turned.rows, model.rows);
        for (const auto& place : places) {
            const std::string label = std::string(place.where) + ", " + std::to_string(turns) + " turns";
            ASSERT_TRUE(editor.Perform(std::make_unique<RegionStep>(turned, place.topLeft))) << label;
            const GridState grid = ReadGrid(terrain);
            // Each grid vertex and cell, found in the region by where the views show it.
            int differences = 0;
            for (int row = 0; row < height; ++row) {
                for (int column = 0; column < width; ++column) {
                    const int index = row * width + column;
                    const int k = WrapIndex(place.topLeft.column + 1 - column, width);
                    const int l = WrapIndex(row - place.topLeft.row, height);
                    const double expectedHeight = k <= model.columns && l <= model.rows
                                                      ? model.heights[l * (model.columns + 1) + k]
                                                      : original.heights[index];
                    const int i = WrapIndex(place.topLeft.column - column, width);
                    const int j = WrapIndex(row - place.topLeft.row, height);
                    const CellState expectedCell = i < model.columns && j < model.rows
                                                       ? model.cells[j * model.columns + i]
                                                       : original.cells[index];
                    if (grid.heights[index] != expectedHeight || grid.cells[index] != expectedCell) {
                        ++differences;
                        ADD_FAILURE() << label << ": grid (" << column << ", " << row << ") height "
                                      << grid.heights[index] << " for " << expectedHeight << ", chip "
                                      << grid.cells[index].chip << " turn " << grid.cells[index].rotation << " for "
                                      << expectedCell.chip << " turn " << expectedCell.rotation;
                    }
                    if (differences > 5) {
                        return;
                    }
                }
            }
            editor.Undo();
            const GridState undone = ReadGrid(terrain);
            ASSERT_TRUE(undone.heights == original.heights && undone.cells == original.cells) << label;
        }
    }
}

TEST(RegionStep, UndoGivesBackTheMapBeforeAndRedoTheMapAfter)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    session.MakeVariedMap(16, 0, false);
    editor.OpenWindow(kMapEditWindow);
    COxelD3DTerrainChipManager& terrain = session.terrain();
    // The map file's bytes and every quad the preview draws (normals included).
    const auto snapshot = [&] {
        MapFileContents map;
        EXPECT_TRUE(editor.m_mapFile->Gather(&map));
        Bytes bytes = EncodeMapFile(map);
        for (int cell = 0; cell < terrain.m_mapWidth * terrain.m_mapHeight; ++cell) {
            for (int vertex = 0; vertex < 4; ++vertex) {
                const QuadVertex& v = terrain.GetTerrainChip(cell)->GetVertex(vertex);
                const unsigned char* raw = reinterpret_cast<const unsigned char*>(&v);
                bytes.insert(bytes.end(), raw, raw + sizeof v);
            }
        }
        return bytes;
    };
    const Bytes before = snapshot();
    MapRegion region = TurnedClockwise(CopyRegion(terrain, MapRect{{4, 2}, 6, 5}));
    region = Raised(region, 1.5);
    auto step = std::make_unique<RegionStep>(region, GridPoint{1, 13});
    const RegionStep* held = step.get();
    ASSERT_TRUE(editor.Perform(std::move(step)));
    EXPECT_TRUE(editor.IsModified());
    const Bytes after = snapshot();
    EXPECT_NE(after, before);
    // The rectangle and the ring of cells whose corners it moved.
    const MapArea area = held->Changed().area;
    EXPECT_EQ(area.right - area.left + 1, region.columns + 2);
    EXPECT_EQ(area.bottom - area.top + 1, region.rows + 2);
    EXPECT_GT(held->Bytes(), (region.heights.size() + region.cells.size()) * 2 * sizeof(double));

    editor.Undo();
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(editor.IsModified());
    editor.Redo();
    EXPECT_EQ(snapshot(), after);

    // What is already there, put down again, is no step at all.
    const std::size_t steps = editor.m_history.Count();
    EXPECT_FALSE(editor.Perform(std::make_unique<RegionStep>(region, GridPoint{1, 13})));
    EXPECT_EQ(editor.m_history.Count(), steps);
    EXPECT_EQ(snapshot(), after);
}
