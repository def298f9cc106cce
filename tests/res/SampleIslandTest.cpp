#include "app/SampleMap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "io/OpenedMap.h"
#include "terrain/ChipImageInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

// Chips of the built-in atlas.
const int kGrass = 0;
const int kLushGrass = 1;
const int kSand = 15;
const int kRock = 17;
const int kShallowWater = 27;
const int kDeepWater = 28;
// Of the atlas with terrains: the transitions of grass and sand, and of sand and shallow water.
const int kFirstBeach = 32;
const int kFirstShore = 48;

// Water, or the shore's transitions between sand and shallow water.
bool IsWater(int chip)
{
    return chip == kShallowWater || chip == kDeepWater || (chip >= kFirstShore && chip < kFirstShore + 4);
}

struct CellSpan {
    double low;
    double high;
};

CellSpan SpanOf(const MapFileCell& cell)
{
    const auto [low, high] = std::minmax_element(std::begin(cell.heights), std::end(cell.heights));
    return {*low, *high};
}

}  // namespace

// The sample in the data folder (where the tests run), read as "開く(&O)"
// reads it: an island in a sea of at least 64 x 64 cells, with water, sand,
// grass and rock chips, a water plane over the whole map, and trees on some
// of the grass only, none on the beach or under the water.
TEST(SampleMapFile, IsAnIslandWithAWaterPlaneAndTreesOnChosenCells)
{
    MapFileContents file;
    ASSERT_EQ(MapFileError::None, LoadMapFile(kSampleMapName, &file));
    const OpenedMap opened = OpenMap(file);
    // Already what the editor makes of a file: a load changes nothing in it.
    EXPECT_TRUE(opened.map == file);
    const MapFileContents& map = opened.map;
    EXPECT_GE(map.width, 64);
    EXPECT_EQ(map.width, map.height);
    EXPECT_STREQ(kTerrainAtlasName, map.atlasFile);

    ASSERT_EQ(1u, map.planes.size());
    const MapFilePlane& water = map.planes[0];
    EXPECT_STREQ("planetexture.dds", water.textureFile);
    EXPECT_EQ(1, water.visible);
    EXPECT_EQ(1, water.repeat);
    EXPECT_EQ(map.width, opened.planeExtent.width) << "the water covers only part of the map";
    EXPECT_EQ(map.height, opened.planeExtent.depth);
    ASSERT_EQ(1u, map.billboards.size());
    EXPECT_STREQ("billboard.dds", map.billboards[0].textureFile);

    std::map<int, int> chips;
    int trees = 0;
    int underWater = 0;
    double highest = 0.0;
    for (const MapFileCell& cell : map.cells) {
        SCOPED_TRACE("cell " + std::to_string(cell.index));
        const CellSpan span = SpanOf(cell);
        ++chips[cell.chip];
        highest = std::max(highest, span.high);
        if (span.high < water.y) {
            ++underWater;
            EXPECT_TRUE(IsWater(cell.chip)) << "chip " << cell.chip << " under the water";
        }
        if (cell.billboard >= 0) {
            ++trees;
            EXPECT_GT(span.low, water.y) << "a tree in the water";
            EXPECT_TRUE(cell.chip == kGrass || cell.chip == kLushGrass) << "a tree on chip " << cell.chip;
        }
    }
    for (int chip : {kGrass, kSand, kRock, kShallowWater, kDeepWater}) {
        EXPECT_GT(chips[chip], 0) << "no cell of chip " << chip;
    }
    // The beach meets the grass and the water in transitions, not in hard squares.
    for (int first : {kFirstBeach, kFirstShore}) {
        EXPECT_GT(chips[first] + chips[first + 1] + chips[first + 2] + chips[first + 3], 0) << "no transition " << first;
    }
    EXPECT_GE(chips.size(), 6u);
    // A few dozen trees, not a forest on every cell.
    EXPECT_GE(trees, 24);
    EXPECT_LE(trees, 100);
    // Mostly sea, with land that rises well out of it but stays low.
    EXPECT_GT(underWater, static_cast<int>(map.cells.size()) / 2);
    EXPECT_GT(highest, water.y + 2.5);
    EXPECT_LT(highest, water.y + 6.0);
}

// The beach rings the land: no grass or rock cell touches the water along an
// edge, so from the sea one always sees sand first.
TEST(SampleMapFile, SandLiesBetweenTheWaterAndTheGrass)
{
    MapFileContents map;
    ASSERT_EQ(MapFileError::None, LoadMapFile(kSampleMapName, &map));
    const int width = map.width;
    const int height = map.height;
    const auto chipAt = [&](int column, int row) {
        return map.cells[((row + height) % height) * width + (column + width) % width].chip;
    };
    int shore = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const int chip = chipAt(column, row);
            if (IsWater(chip) || chip == kSand) {
                continue;
            }
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                EXPECT_FALSE(IsWater(chipAt(column + dx, row + dy)))
                    << "chip " << chip << " at " << column << ", " << row << " meets the water";
            }
            shore += chipAt(column, row + 1) == kSand;
        }
    }
    EXPECT_GT(shore, 0);
}

// The preview's start camera (over x 16, z 16, looking towards -z; the grid
// wraps, so z -9 is row W - 9) looks at the island, with the sea on both sides.
TEST(SampleMapFile, TheStartViewLooksAtTheIsland)
{
    MapFileContents map;
    ASSERT_EQ(MapFileError::None, LoadMapFile(kSampleMapName, &map));
    const int row = map.height - 9;
    const auto chipAt = [&](int column) { return map.cells[row * map.width + column].chip; };
    EXPECT_FALSE(IsWater(chipAt(16)));
    EXPECT_NE(kSand, chipAt(16));
    EXPECT_TRUE(IsWater(chipAt(16 + 20)));
    EXPECT_TRUE(IsWater(chipAt(map.width + 16 - 20)));
}
