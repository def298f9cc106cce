#pragma once

#include "io/ImageCodec.h"

#include <cstddef>
#include <vector>

// Greyscale heightmaps: a picture's brightness as the map's vertex heights,
// and the heights as a 16-bit greyscale PNG. Heights are listed row by row,
// heights[row * width + column], for the width x height grid vertices.
//
// Orientation: the picture shows the map as the map edit window does, so
// picture column i is map column width - 1 - i and picture row j is map row j.
// Values: 0 .. the format's maximum is height 0 .. 16, linearly (for float
// pictures 0 .. 1), or, when the user asks for it, the picture's lowest .. its
// highest value. Samples that hold no value (NaN, or a float at or below
// -1e38, as elevation models mark missing data) are height 0.

const double kHeightmapTop = 16.0;

// The heights for a width x height map from a picture of any size. A picture
// of exactly that size maps pixel for pixel. Otherwise each axis is resampled
// on its own: a longer side is averaged, each vertex taking the mean of the
// pixels under its share of the picture, weighted by how much of each pixel
// lies in it (a box filter); a shorter side is interpolated linearly between
// the two nearest pixel centres, pixel centres spread evenly over the map and
// the outermost pixels held at the edges.
std::vector<double> HeightsFromLuminance(const LuminanceImage& image, int width, int height);

// The side of a new map made from a picture of width x height pixels: the
// smallest map size (IsMapFileSize) at least as long as the picture's longer
// side, and the largest map size for anything longer.
int MapSizeForPicture(int width, int height);

// The lowest and the highest value a picture holds, samples without a value
// left out (0 and 0 when none has one).
struct LuminanceRange {
    float lowest = 0.0f;
    float highest = 0.0f;
};
LuminanceRange ValueRange(const LuminanceImage& image);

// Whether the mapping above would leave most of the height range unused or
// cut the picture off, so the user is offered StretchLevels: the picture spans
// less than a quarter of its format's range (an elevation model in metres in a
// 16-bit picture comes in almost flat), or holds values beyond 0 .. 1 (floats).
// A flat picture has nothing to stretch.
bool WorthStretching(const LuminanceRange& range);

// Moves the values so that range.lowest becomes 0 and range.highest 1, which
// the heights then turn into 0 and 16; samples without a value stay so.
void StretchLevels(const LuminanceRange& range, LuminanceImage* image);

// The 16-bit samples of the heightmap picture, rows from the top:
// round(h / 16 * 65535) for each height h, oriented as above.
std::vector<unsigned short> HeightmapSamples(const std::vector<double>& heights, int width, int height);

// DecodeLuminance, then HeightsFromLuminance; *heights changes only on success.
ImageError DecodeHeightmap(const unsigned char* bytes, std::size_t size, int width, int height,
                           std::vector<double>* heights);

// HeightmapSamples as a 16-bit greyscale PNG of width x height pixels.
ImageError EncodeHeightmap(const std::vector<double>& heights, int width, int height, std::vector<unsigned char>* png);
