#pragma once

#include <cstddef>
#include <vector>

// Pictures to and from the bytes of image files, through the system's Windows
// Imaging Component: PNG and BMP (and whatever else the system decodes) in,
// PNG out. No window or device; COM is set up for the call when the thread
// has not done so.

// 8 bits a channel, blue, green, red, alpha; rows from the top, no padding.
struct BgraImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // 4 * width * height bytes
};

// One brightness a pixel, 0 (black) .. 1 (the format's maximum); rows from the top.
// Floating-point pictures keep their values as stored, which may lie beyond 0 .. 1.
// A sample that holds no value (a signed elevation model's -32768, a float that is
// not a number) is NaN.
struct LuminanceImage {
    int width = 0;
    int height = 0;
    std::vector<float> values;  // width * height
};

enum class ImageError {
    None,
    UnsupportedFormat,       // no decoder of the system knows the bytes
    Malformed,               // a known format, but the picture cannot be read whole
    UnsupportedPixelFormat,  // a sound picture whose samples are of a kind not read here
    TooLarge,                // more pixels than the program takes in
    CodecUnavailable,        // the imaging component could not be started
    CannotEncode,
};

// Pictures of more pixels are refused before they are decoded (256 megapixels
// would need a gigabyte as floats): from the size the file declares in its
// header where the format is known (PNG, GIF, JPEG, TIFF), else from the
// decoder's frame size, before any pixel is read.
const long long kMaxImagePixels = 64ll << 20;
// Whether width x height pixels are more than that.
bool TooManyPixels(unsigned long long width, unsigned long long height);

// Picture files of more bytes are not read. The largest picture of
// kMaxImagePixels in the widest format read here (16-bit RGBA, 8 bytes a pixel)
// fits uncompressed, with room for headers and metadata.
const long long kMaxImageFileBytes = kMaxImagePixels * 8 + (16ll << 20);

// Brightness of each pixel: grey values as they are; colour as the luminance
// 0.2126 R + 0.7152 G + 0.0722 B of the stored values. Alpha is ignored.
// 16-bit channels keep their precision; other formats are read at 8 bits.
// Signed 16-bit grey (TIFF elevation models) runs from -32768 at 0 to 32767
// at 1, -32768 itself holding no value; 32-bit float grey is taken as stored.
// Other signed or floating-point samples are UnsupportedPixelFormat.
// *image changes only on success.
ImageError DecodeLuminance(const unsigned char* bytes, std::size_t size, LuminanceImage* image);

// The picture as 8-bit BGRA, alpha as stored (opaque for formats without it).
ImageError DecodeBgra(const unsigned char* bytes, std::size_t size, BgraImage* image);

// A 16-bit greyscale PNG of width x height values, rows from the top.
ImageError EncodeGrey16Png(const unsigned short* values, int width, int height, std::vector<unsigned char>* png);

// A PNG of the picture: 8-bit RGB when every pixel is opaque, else RGBA.
ImageError EncodeBgraPng(const BgraImage& image, std::vector<unsigned char>* png);
