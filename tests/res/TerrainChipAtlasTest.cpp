#include "scene/ResourceBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

constexpr int kChip = 128;
constexpr int kColumns = 8;

// The full chips of the terrains that are joined.
constexpr int kGrass = 0;
constexpr int kDirt = 8;
constexpr int kSand = 15;
constexpr int kRock = 17;
constexpr int kShallowWater = 27;
constexpr int kSnow = 29;

// The mean colour of a block of pixels.
struct Mean {
    double r;
    double g;
    double b;
};

constexpr int kBlock = 6;
// Pixels between a chip's corner and the block sampled there.
constexpr int kInset = 2;

// The block in corner `corner` (0 top left, 1 top right, 2 bottom left, 3 bottom right) of chip `chip`.
Mean CornerMean(const ResourceBitmap& atlas, int chip, int corner)
{
    const int left = chip % kColumns * kChip + ((corner & 1) ? kChip - kInset - kBlock : kInset);
    const int top = chip / kColumns * kChip + ((corner & 2) ? kChip - kInset - kBlock : kInset);
    Mean sum = {0.0, 0.0, 0.0};
    for (int y = top; y < top + kBlock; ++y) {
        for (int x = left; x < left + kBlock; ++x) {
            const uint32_t p = atlas.Pixel(x, y);
            sum.r += p >> 16 & 0xFF;
            sum.g += p >> 8 & 0xFF;
            sum.b += p & 0xFF;
        }
    }
    const double n = kBlock * kBlock;
    return {sum.r / n, sum.g / n, sum.b / n};
}

double DistanceSquared(const Mean& a, const Mean& b)
{
    return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

}  // namespace

// The terrain atlas is the map-chip atlas, unchanged, with the joins between the main ground terrains below it;
// a join shows its first terrain's own picture in the corners its kind gives that terrain and the second's in
// the others, so that the brush's choice of chip and turn puts each terrain where it was painted.
TEST(TerrainChipAtlasTest, HoldsTheMapChipsAndJoinsEachPairAtItsKindsCorners)
{
    const ResourceBitmap atlas("IDB_TERRAINCHIP");
    const ResourceBitmap mapChips("IDB_MAPCHIP");
    ASSERT_TRUE(atlas.ok());
    ASSERT_TRUE(mapChips.ok());
    ASSERT_EQ(1024, atlas.width());
    ASSERT_EQ(1024, atlas.height());
    ASSERT_EQ(1024, mapChips.width());
    ASSERT_EQ(512, mapChips.height());

    int differing = 0;
    std::string firstDifference;
    for (int y = 0; y < mapChips.height(); ++y) {
        for (int x = 0; x < mapChips.width(); ++x) {
            if (atlas.Pixel(x, y) != mapChips.Pixel(x, y) && differing++ == 0) {
                firstDifference = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    EXPECT_EQ(0, differing) << "first at " << firstDifference;

    const struct {
        const char* name;
        int first;
        int second;
    } pairs[] = {
        {"grass/sand", kGrass, kSand},
        {"grass/dirt", kGrass, kDirt},
        {"grass/rock", kGrass, kRock},
        {"grass/snow", kGrass, kSnow},
        {"sand/shallow water", kSand, kShallowWater},
        {"sand/rock", kSand, kRock},
        {"dirt/rock", kDirt, kRock},
        {"rock/snow", kRock, kSnow},
    };
    // Which corners (top left, top right, bottom left, bottom right) are the first terrain's.
    const struct {
        const char* name;
        bool first[4];
    } kinds[] = {
        {"top left", {true, false, false, false}},
        {"top side", {true, true, false, false}},
        {"opposite corners", {true, false, false, true}},
        {"all but bottom right", {true, true, true, false}},
    };
    const char* const cornerNames[4] = {"top left", "top right", "bottom left", "bottom right"};
    for (int pair = 0; pair < 8; ++pair) {
        for (int kind = 0; kind < 4; ++kind) {
            const int chip = 32 + 4 * pair + kind;
            for (int corner = 0; corner < 4; ++corner) {
                SCOPED_TRACE(std::string("chip ") + std::to_string(chip) + ", " + pairs[pair].name + ", " +
                             kinds[kind].name + ", " + cornerNames[corner] + " corner");
                const Mean seen = CornerMean(atlas, chip, corner);
                const double toFirst = DistanceSquared(seen, CornerMean(atlas, pairs[pair].first, corner));
                const double toSecond = DistanceSquared(seen, CornerMean(atlas, pairs[pair].second, corner));
                if (kinds[kind].first[corner]) {
                    EXPECT_LT(toFirst, toSecond);
                } else {
                    EXPECT_LT(toSecond, toFirst);
                }
            }
        }
    }
}
