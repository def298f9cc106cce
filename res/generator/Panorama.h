#pragma once

// The sky panorama: a 3072 x 1536 picture wrapped once around the viewer.

#include <cstdint>
#include <vector>

constexpr int kPanoramaWidth = 3072;
constexpr int kPanoramaHeight = 1536;

// The panorama as a 24-bit BMP file. It is painted column by column straight
// into the file's rows: as a picture of colours it would take over 100 MB.
std::vector<uint8_t> EncodePanorama();
