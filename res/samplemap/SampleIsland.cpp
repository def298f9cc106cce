#include "res/samplemap/SampleIsland.h"

#include "io/OpenedMap.h"
#include "terrain/ChipImageInfo.h"
#include "terrain/MapGridMath.h"
#include "terrain/TerrainCorners.h"
#include "terrain/TerrainSet.h"
#include "tools/BrushMath.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const int kSize = kSampleIslandSize;
const double kWater = kSampleIslandWaterLevel;

// Every choice below comes from these hashes, never from a clock or the
// library's random numbers, so each run writes the same bytes.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 0x8da6b343U ^ y * 0xd8163841U ^ seed * 0xcb1ab31fU;
    h ^= h >> 15;
    h *= 0x2c1b3c6dU;
    h ^= h >> 12;
    h *= 0x297a2d39U;
    h ^= h >> 15;
    return h;
}

// In 0 .. 1.
double Unit(int x, int y, uint32_t seed)
{
    return (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) >> 8) / 16777216.0;
}

// Smooth lattice noise in -1 .. 1, one lattice square every `cell` units.
double Noise(double x, double y, double cell, uint32_t seed)
{
    const double gx = x / cell;
    const double gy = y / cell;
    const int x0 = static_cast<int>(std::floor(gx));
    const int y0 = static_cast<int>(std::floor(gy));
    const double fx = gx - x0;
    const double fy = gy - y0;
    const double sx = fx * fx * (3.0 - 2.0 * fx);
    const double sy = fy * fy * (3.0 - 2.0 * fy);
    const double top = Unit(x0, y0, seed) + (Unit(x0 + 1, y0, seed) - Unit(x0, y0, seed)) * sx;
    const double bottom = Unit(x0, y0 + 1, seed) + (Unit(x0 + 1, y0 + 1, seed) - Unit(x0, y0 + 1, seed)) * sx;
    return 2.0 * (top + (bottom - top) * sy) - 1.0;
}

// The shortest way from `from` to `to` round the torus.
double WrappedOffset(double from, double to)
{
    double d = std::fmod(to - from, static_cast<double>(kSize));
    if (d > kSize / 2.0) {
        d -= kSize;
    } else if (d < -kSize / 2.0) {
        d += kSize;
    }
    return d;
}

struct Island {
    double column;
    double row;
    double radius;  // to the waterline, before the coast's bays and capes
    double peak;    // above the water
    uint32_t seed;
};

// The main island lies in front of the preview's start camera (which stands
// over x 16, z 16 and looks towards -z; the grid wraps, so row 119 is z -9),
// low enough to look down on. The islets lie in the corner that the height
// and texture mapping windows show first: mirrored, they show x = 0 and then
// the columns down from the map's right edge, and the first rows.
const Island kIslands[] = {
    {16.0, 119.0, 11.0, 5.6, 11U},
    {112.0, 13.0, 6.5, 2.6, 23U},
    {100.0, 27.0, 3.5, 1.1, 37U},
};

// The ground each island asks for at a vertex: a beach rising gently out of
// the water, grass above it, a rocky top set back from the camera; under the
// water, a slope down to the sea floor.
double IslandGround(const Island& island, double column, double row)
{
    const double dx = WrappedOffset(island.column, column);
    const double dy = WrappedOffset(island.row, row);
    const double angle = std::atan2(dy, dx);
    const double coast =
        island.radius * (1.0 + 0.17 * std::sin(3.0 * angle + island.seed) +
                         0.09 * std::sin(5.0 * angle + 2.0 * island.seed) + 0.08 * Noise(dx, dy, 4.0, island.seed));
    const double u = std::sqrt(dx * dx + dy * dy) / coast;
    if (u >= 1.0) {
        return std::max(0.0, kWater - (u - 1.0) * coast * 0.35);
    }
    const double beach = 0.15;
    if (u > 1.0 - beach) {
        return kWater + 0.4 * (1.0 - u) / beach;
    }
    // The top stands towards the far shore (lower rows), so the camera sees
    // the grass rise to it.
    const double tx = dx - 0.15 * island.radius;
    const double ty = dy + 0.3 * island.radius;
    const double top = std::max(0.0, 1.0 - std::sqrt(tx * tx + ty * ty) / (0.8 * island.radius));
    const double inland = (1.0 - beach - u) / (1.0 - beach);
    const double rise = 0.35 * inland + 0.65 * top * top * (3.0 - 2.0 * top);
    const double bumps = 0.35 * inland * Noise(dx, dy, 3.0, island.seed + 5U);
    return kWater + 0.4 + (island.peak - 0.4) * rise + bumps;
}

double TargetGround(int column, int row)
{
    double ground = 0.0;
    for (const Island& island : kIslands) {
        ground = std::max(ground, IslandGround(island, column, row));
    }
    return ground;
}

// The vertex heights being built, as the editor's brushes read and change them.
class Ground {
public:
    Ground() : m_heights(static_cast<std::size_t>(kSize) * kSize, 0.0) {}

    HeightAt Reader() const
    {
        return [this](int column, int row) { return At(column, row); };
    }
    double At(int column, int row) const
    {
        return m_heights[static_cast<std::size_t>(WrapIndex(row, kSize)) * kSize + WrapIndex(column, kSize)];
    }
    void Apply(const std::vector<HeightChange>& changes)
    {
        for (const HeightChange& change : changes) {
            m_heights[static_cast<std::size_t>(change.vertex.row) * kSize + change.vertex.column] = change.height;
        }
    }
    const std::vector<double>& Heights() const { return m_heights; }

private:
    std::vector<double> m_heights;
};

// The land raised out of a flat sea floor, click by click: a 3 x 3 raise
// (0.5 at its centre) wherever the ground is still below what the island
// asks for, sweep after sweep, as a user raises it in the height window.
void RaiseIslands(Ground* ground)
{
    std::vector<double> target(static_cast<std::size_t>(kSize) * kSize);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            target[static_cast<std::size_t>(row) * kSize + column] = TargetGround(column, row);
        }
    }
    for (int sweep = 0; sweep < 64; ++sweep) {
        bool raised = false;
        // Every other vertex, the grid shifted each sweep, so no one spot gets all the clicks.
        const int shift = sweep % 2;
        for (int row = shift; row < kSize; row += 2) {
            for (int column = shift; column < kSize; column += 2) {
                if (ground->At(column, row) < target[static_cast<std::size_t>(row) * kSize + column] - 0.25) {
                    ground->Apply(RaiseLowerHeights(ground->Reader(), {column, row}, 3, kSize, kSize, 0.5));
                    raised = true;
                }
            }
        }
        if (!raised) {
            break;
        }
    }
}

// Two passes of a 5 x 5 smoothing brush over the land and its shores: the
// clicks' steps go, the shape stays.
void SmoothIslands(Ground* ground)
{
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = pass; row < kSize; row += 3) {
            for (int column = pass; column < kSize; column += 3) {
                if (ground->At(column, row) > 0.0) {
                    ground->Apply(SmoothHeights(ground->Reader(), {column, row}, 5, kSize, kSize, 0.5));
                }
            }
        }
    }
}

// A level meadow on the main island's near side, flattened at the height of
// its middle, as a user flattens a clearing.
const GridPoint kMeadow = {14, 125};

void FlattenMeadow(Ground* ground)
{
    const double level = ground->At(kMeadow.column, kMeadow.row);
    ground->Apply(FlattenHeights(ground->Reader(), kMeadow, 5, kSize, kSize, level));
    // Its rim eased into the slopes round it.
    ground->Apply(SmoothHeights(ground->Reader(), kMeadow, 9, kSize, kSize, 0.3));
}

struct CellShape {
    double mean;
    double low;
    double high;
};

CellShape ShapeOf(const Ground& ground, int column, int row)
{
    const double corners[4] = {ground.At(column, row), ground.At(column, row + 1), ground.At(column + 1, row),
                               ground.At(column + 1, row + 1)};
    CellShape shape = {0.0, corners[0], corners[0]};
    for (double corner : corners) {
        shape.mean += corner / 4.0;
        shape.low = std::min(shape.low, corner);
        shape.high = std::max(shape.high, corner);
    }
    return shape;
}

// The meadow's flowers, in a round patch rather than the flattened square.
bool InMeadow(int column, int row)
{
    const double dx = WrappedOffset(kMeadow.column, column + 0.5);
    const double dy = WrappedOffset(kMeadow.row, row + 0.5);
    return dx * dx + dy * dy <= 7.0 + 3.0 * Unit(column, row, 61U);
}

// The chip of a land cell (one the sea's fill did not reach).
int LandChip(const CellShape& shape, int column, int row)
{
    if (shape.mean < kWater + 0.4) {
        return kSampleChipSand;
    }
    if (InMeadow(column, row)) {
        return kSampleChipFlowers;
    }
    const double above = shape.mean - kWater;
    const double steep = shape.high - shape.low;
    if (above > 3.4 || steep > 1.6) {
        return kSampleChipRock;
    }
    if (above > 2.9) {
        return Unit(column, row, 71U) < 0.5 ? kSampleChipGravel : kSampleChipRock;
    }
    // Darker grass in a few patches, and under the rock.
    return Noise(column, row, 5.0, 83U) > 0.45 || above > 2.5 ? kSampleChipLushGrass : kSampleChipGrass;
}

// Trees on some of the grass: none on the beach, the rock, the meadow or
// under the water, and none on the grass's lowest rim, where the beach shows.
bool HasTree(int chip, const CellShape& shape, int column, int row)
{
    const bool grass = chip == kSampleChipGrass || chip == kSampleChipLushGrass;
    return grass && shape.low > kWater + 0.5 && shape.high < kWater + 3.0 && Unit(column, row, 97U) < 0.3;
}

// The edges between sand, grass, rock and shallow water drawn with the
// transitions of the atlas with terrains, as its terrain brush draws them.
// Each corner takes the terrain of its cells that comes first: the sand keeps
// its ring, so the water and the grass take the beach's edges, and the grass
// the rock's. Chips that are no terrain's (deep water, lush grass, flowers,
// gravel) stay as they are.
void ShowTransitions(MapFileContents* map)
{
    CopyMapFileText(map->atlasFile, kTerrainAtlasName);
    const TerrainSet set = BuiltInTerrainSet({"grass", "sand", "dirt", "rock", "snow", "shallow water"});
    const int terrainOfChip[][2] = {{kSampleChipSand, 1}, {kSampleChipRock, 3}, {kSampleChipShallowWater, 5},
                                    {kSampleChipGrass, 0}};
    // Sand first, then rock, water and grass.
    const std::vector<int> priority = {3, 0, 4, 1, 5, 2};
    const auto terrainAt = [&](int index) {
        for (const auto& pair : terrainOfChip) {
            if (map->cells[index].chip == pair[0]) {
                return pair[1];
            }
        }
        return -1;
    };
    const auto cellAt = [&](int index) { return ChipTurn{map->cells[index].chip, map->cells[index].rotation}; };
    TerrainCorners corners(set, kSize, kSize, cellAt);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            int terrain = -1;
            for (const int cell : {row * kSize + column, WrapIndex(row - 1, kSize) * kSize + column,
                                   row * kSize + WrapIndex(column - 1, kSize),
                                   WrapIndex(row - 1, kSize) * kSize + WrapIndex(column - 1, kSize)}) {
                const int own = terrainAt(cell);
                if (own >= 0 && (terrain < 0 || priority[own] < priority[terrain])) {
                    terrain = own;
                }
            }
            if (terrain >= 0) {
                corners.Paint(column, row, terrain);
            }
        }
    }
    corners.Settle(priority, [&](int index) { return terrainAt(index) < 0; }, false);
    for (const CellChipChange& change : corners.Changes()) {
        MapFileCell& cell = map->cells[static_cast<std::size_t>(change.index)];
        cell.chip = change.shows.chip;
        cell.rotation = change.shows.turn;
        // Trees stand on whole grass only.
        cell.billboard = -1;
    }
}

}  // namespace

MapFileContents MakeSampleIsland()
{
    Ground ground;
    RaiseIslands(&ground);
    SmoothIslands(&ground);
    FlattenMeadow(&ground);

    MapFileContents map = NewMapWithHeights(ground.Heights(), kSize, kSize);
    // The open sea is the fill of the cells wholly under water from the middle
    // of the map, far from every island.
    std::vector<char> sea(map.cells.size(), 0);
    const CellMatches underWater = [&](int column, int row) { return ShapeOf(ground, column, row).high < kWater; };
    for (const GridPoint& cell : FloodFillRegion(underWater, {64, 64}, kSize, kSize)) {
        sea[static_cast<std::size_t>(cell.row) * kSize + cell.column] = 1;
    }
    const auto cellAt = [&](int column, int row) -> MapFileCell& {
        return map.cells[static_cast<std::size_t>(WrapIndex(row, kSize)) * kSize + WrapIndex(column, kSize)];
    };
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            const std::size_t i = static_cast<std::size_t>(row) * kSize + column;
            const CellShape shape = ShapeOf(ground, column, row);
            if (sea[i]) {
                map.cells[i].chip = kWater - shape.mean > 0.9 ? kSampleChipDeepWater : kSampleChipShallowWater;
            } else {
                map.cells[i].chip = LandChip(shape, column, row);
            }
        }
    }
    // The beach rings the land: wherever the land meets the sea along an
    // edge, it is sand, however steep the shore.
    const auto isSea = [&](int column, int row) {
        return sea[static_cast<std::size_t>(WrapIndex(row, kSize)) * kSize + WrapIndex(column, kSize)] != 0;
    };
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            if (!isSea(column, row) && (isSea(column + 1, row) || isSea(column - 1, row) || isSea(column, row + 1) ||
                                        isSea(column, row - 1))) {
                cellAt(column, row).chip = kSampleChipSand;
            }
        }
    }
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            MapFileCell& cell = cellAt(column, row);
            // Quarter turns hide the repeats of a chip across a field; the
            // sand's ripples keep their direction, so it only turns halfway.
            const uint32_t turn = Hash(static_cast<uint32_t>(column), static_cast<uint32_t>(row), 59U) % 4U;
            cell.rotation = static_cast<int32_t>(cell.chip == kSampleChipSand ? turn & 2U : turn);
            cell.billboard = HasTree(cell.chip, ShapeOf(ground, column, row), column, row) ? 0 : -1;
        }
    }

    ShowTransitions(&map);

    MapFilePlane water = {};
    CopyMapFileText(water.textureFile, "planetexture.dds");
    water.y = kSampleIslandWaterLevel;
    water.repeat = 1;
    water.visible = 1;
    map.planes.push_back(water);

    MapFileBillboard tree = {};
    CopyMapFileText(tree.textureFile, "billboard.dds");
    tree.repeat = 0;
    map.billboards.push_back(tree);
    return map;
}
