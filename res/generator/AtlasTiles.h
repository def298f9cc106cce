#pragma once

// The map-chip atlas: 8 x 4 seamless ground tiles of 128 x 128 pixels.

#include "Raster.h"

#include <vector>

constexpr int kAtlasColumns = 8;
constexpr int kAtlasRows = 4;

// The atlas's chips, in its order.
std::vector<Image> DrawAtlasChips();
// Chips kAtlasColumns to a row, chip k at column k % kAtlasColumns and row k / kAtlasColumns.
Image LayOutAtlas(const std::vector<Image>& chips);

struct WaterLook {
    Rgb deep;
    Rgb sky;
    double waves;
    double sparkle;
};

// Water seen from above: the colour of the depth, the sky mirrored where the waves tilt, and glints of the sun.
Image DrawWaterSurface(const WaterLook& look, uint32_t seed);
