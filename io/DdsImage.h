#pragma once

#include "io/ImageCodec.h"

#include <cstddef>

// DirectDraw Surface files (.dds), the planes' and billboards' pictures, read
// without a device, for what writes them out where no Direct3D texture is at
// hand (the command line's glTF export). The top picture of uncompressed
// files of any bit masks (RGB with or without alpha, 16, 24 or 32 bits;
// luminance) and of DXT1, DXT3 and DXT5 files; other formats (DX10 headers,
// volume textures) are refused as unsupported.

// Whether the bytes start as a DDS file does.
bool IsDdsFile(const unsigned char* bytes, std::size_t size);

// The top picture as 8-bit BGRA; *image changes only on success.
ImageError DecodeDds(const unsigned char* bytes, std::size_t size, BgraImage* image);
