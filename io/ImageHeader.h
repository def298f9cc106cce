#pragma once

#include <cstddef>

// What a picture file declares about itself in its first bytes, read without
// decoding it. Some decoders unpack the whole picture the moment they open it,
// so a picture too large to take is refused from its header before a decoder
// sees it; and no decoder tells whether a TIFF's samples are signed or
// floating-point, which changes what they mean.

enum class SampleFormat {
    Unknown,  // not a TIFF: the decoder's pixel format says it all
    Unsigned,
    Signed,
    Float,
};

struct ImageHeader {
    // The declared size in pixels; 0 x 0 when the format is not one read here
    // or its header is cut short.
    unsigned long long width = 0;
    unsigned long long height = 0;
    // A TIFF's first sample format; Unknown for every other format.
    SampleFormat samples = SampleFormat::Unknown;
};

// Reads the headers of PNG, GIF, JPEG and TIFF (the first image of a TIFF);
// anything else gives an empty header. Never reads outside `bytes`.
ImageHeader ReadImageHeader(const unsigned char* bytes, std::size_t size);
