#include "io/DdsImage.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

const std::size_t kHeaderSize = 128;  // the magic and the 124-byte header
const std::uint32_t kAlphaPixels = 0x1;
const std::uint32_t kFourCc = 0x4;
const std::uint32_t kRgb = 0x40;
const std::uint32_t kLuminance = 0x20000;
const int kLargestSide = 16384;

std::uint32_t U32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint32_t FourCc(const char* code)
{
    return U32(reinterpret_cast<const unsigned char*>(code));
}

// One channel picked by a bit mask, scaled to 0 .. 255.
unsigned char Channel(std::uint32_t value, std::uint32_t mask)
{
    if (!mask) {
        return 0;
    }
    int shift = 0;
    while (!((mask >> shift) & 1)) {
        ++shift;
    }
    const std::uint32_t top = mask >> shift;
    const std::uint64_t part = (value & mask) >> shift;
    return static_cast<unsigned char>((part * 255 + top / 2) / top);
}

void Colour565(std::uint16_t c, int rgb[3])
{
    rgb[0] = ((c >> 11) & 31) * 255 / 31;
    rgb[1] = ((c >> 5) & 63) * 255 / 63;
    rgb[2] = (c & 31) * 255 / 31;
}

// The 4 x 4 pixels of one colour block (8 bytes); `fourColours` for DXT3 and
// DXT5, whose blocks never take the transparent three-colour mode.
void DecodeColourBlock(const unsigned char* block, bool fourColours, unsigned char out[16][4])
{
    const std::uint16_t c0 = static_cast<std::uint16_t>(block[0] | (block[1] << 8));
    const std::uint16_t c1 = static_cast<std::uint16_t>(block[2] | (block[3] << 8));
    int colours[4][4];
    Colour565(c0, colours[0]);
    Colour565(c1, colours[1]);
    colours[0][3] = colours[1][3] = colours[2][3] = colours[3][3] = 255;
    for (int k = 0; k < 3; ++k) {
        if (fourColours || c0 > c1) {
            colours[2][k] = (2 * colours[0][k] + colours[1][k]) / 3;
            colours[3][k] = (colours[0][k] + 2 * colours[1][k]) / 3;
        } else {
            colours[2][k] = (colours[0][k] + colours[1][k]) / 2;
            colours[3][k] = 0;
        }
    }
    if (!fourColours && c0 <= c1) {
        colours[3][3] = 0;
    }
    const std::uint32_t indices = U32(block + 4);
    for (int i = 0; i < 16; ++i) {
        const int* c = colours[(indices >> (2 * i)) & 3];
        out[i][0] = static_cast<unsigned char>(c[2]);
        out[i][1] = static_cast<unsigned char>(c[1]);
        out[i][2] = static_cast<unsigned char>(c[0]);
        out[i][3] = static_cast<unsigned char>(c[3]);
    }
}

void DecodeExplicitAlpha(const unsigned char* block, unsigned char out[16][4])
{
    for (int i = 0; i < 16; ++i) {
        const int nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        out[i][3] = static_cast<unsigned char>(nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const unsigned char* block, unsigned char out[16][4])
{
    int alphas[8] = {block[0], block[1]};
    for (int k = 2; k < 8; ++k) {
        alphas[k] = alphas[0] > alphas[1] ? ((8 - k) * alphas[0] + (k - 1) * alphas[1]) / 7
                    : k < 6               ? ((6 - k) * alphas[0] + (k - 1) * alphas[1]) / 5
                    : k == 6              ? 0
                                          : 255;
    }
    std::uint64_t bits = 0;
    for (int b = 7; b >= 2; --b) {
        bits = (bits << 8) | block[b];
    }
    for (int i = 0; i < 16; ++i) {
        out[i][3] = static_cast<unsigned char>(alphas[(bits >> (3 * i)) & 7]);
    }
}

// The bytes the top picture of width x height takes in a block format.
std::size_t BlockDataSize(int width, int height, std::uint32_t format)
{
    const std::size_t blockBytes = format == FourCc("DXT1") ? 8 : 16;
    return static_cast<std::size_t>((width + 3) / 4) * ((height + 3) / 4) * blockBytes;
}

// `data` holds at least BlockDataSize bytes.
void DecodeBlocks(const unsigned char* data, std::uint32_t format, BgraImage* image)
{
    const bool dxt1 = format == FourCc("DXT1");
    const std::size_t blockBytes = dxt1 ? 8 : 16;
    const int across = (image->width + 3) / 4;
    const int down = (image->height + 3) / 4;
    for (int by = 0; by < down; ++by) {
        for (int bx = 0; bx < across; ++bx) {
            const unsigned char* block = data + (static_cast<std::size_t>(by) * across + bx) * blockBytes;
            unsigned char pixels[16][4];
            DecodeColourBlock(dxt1 ? block : block + 8, !dxt1, pixels);
            if (format == FourCc("DXT3")) {
                DecodeExplicitAlpha(block, pixels);
            } else if (format == FourCc("DXT5")) {
                DecodeInterpolatedAlpha(block, pixels);
            }
            for (int i = 0; i < 16; ++i) {
                const int x = bx * 4 + i % 4;
                const int y = by * 4 + i / 4;
                if (x < image->width && y < image->height) {
                    std::memcpy(&image->pixels[(static_cast<std::size_t>(y) * image->width + x) * 4], pixels[i], 4);
                }
            }
        }
    }
}

}  // namespace

bool IsDdsFile(const unsigned char* bytes, std::size_t size)
{
    return size >= 4 && std::memcmp(bytes, "DDS ", 4) == 0;
}

ImageError DecodeDds(const unsigned char* bytes, std::size_t size, BgraImage* image)
{
    if (!IsDdsFile(bytes, size)) {
        return ImageError::UnsupportedFormat;
    }
    if (size < kHeaderSize || U32(bytes + 4) != 124) {
        return ImageError::Malformed;
    }
    const int height = static_cast<int>(U32(bytes + 12));
    const int width = static_cast<int>(U32(bytes + 16));
    const std::uint32_t flags = U32(bytes + 80);
    const std::uint32_t format = U32(bytes + 84);
    const std::uint32_t bits = U32(bytes + 88);
    const std::uint32_t masks[4] = {U32(bytes + 92), U32(bytes + 96), U32(bytes + 100), U32(bytes + 104)};
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
        return ImageError::Malformed;
    }
    if (TooManyPixels(width, height)) {
        return ImageError::TooLarge;
    }
    const bool blocks = (flags & kFourCc) != 0;
    if (blocks && format != FourCc("DXT1") && format != FourCc("DXT3") && format != FourCc("DXT5")) {
        return ImageError::UnsupportedFormat;
    }
    if (!blocks && !((flags & (kRgb | kLuminance)) && (bits == 8 || bits == 16 || bits == 24 || bits == 32))) {
        return ImageError::UnsupportedFormat;
    }
    const unsigned char* data = bytes + kHeaderSize;
    const std::size_t dataSize = size - kHeaderSize;
    const std::size_t pixelBytes = bits / 8;
    // The data must hold the whole picture before the picture is made: a
    // short file declaring a huge picture costs nothing.
    const std::size_t needed =
        blocks ? BlockDataSize(width, height, format) : static_cast<std::size_t>(width) * height * pixelBytes;
    if (dataSize < needed) {
        return ImageError::Malformed;
    }

    BgraImage picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<std::size_t>(width) * height * 4, 255);
    if (blocks) {
        DecodeBlocks(data, format, &picture);
    } else {
        const bool luminance = (flags & kLuminance) != 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
            std::uint32_t value = 0;
            for (std::size_t b = 0; b < pixelBytes; ++b) {
                value |= static_cast<std::uint32_t>(data[i * pixelBytes + b]) << (8 * b);
            }
            unsigned char* pixel = &picture.pixels[i * 4];
            const unsigned char red = Channel(value, masks[0]);
            pixel[0] = luminance ? red : Channel(value, masks[2]);
            pixel[1] = luminance ? red : Channel(value, masks[1]);
            pixel[2] = red;
            pixel[3] = (flags & kAlphaPixels) && masks[3] ? Channel(value, masks[3]) : 255;
        }
    }
    *image = std::move(picture);
    return ImageError::None;
}
