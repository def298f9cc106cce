#pragma once

// The file formats the pictures are written in: 24-bit BMP, 32-bit ICO and
// uncompressed A8R8G8B8 DDS, all little-endian.

#include "Raster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes per row of a 24-bit BMP, padded to four.
size_t BmpRowBytes(int width);
// BITMAPFILEHEADER and BITMAPINFOHEADER of a bottom-up 24-bit BI_RGB bitmap.
std::vector<uint8_t> BmpHeader(int width, int height);
std::vector<uint8_t> EncodeBmp(const Image& img);
// One 32-bit image per size, with the alpha as the AND mask too.
std::vector<uint8_t> EncodeIcon(const std::vector<Image>& images);
// One mip level, rows top-down.
std::vector<uint8_t> EncodeDds(const Image& img);
