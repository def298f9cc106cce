#include "io/Heightmap.h"

#include "support/BlackPng.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Written by another program (ImageMagick), so the reader is checked against
// more than the writer's own idea of the format.
// 4 x 1, 16-bit grey: 0, 1, 0x1234, 65535.
const unsigned char kGrey16Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x8c, 0xc7, 0x8c, 0x52, 0x00, 0x00, 0x00,
    0x11, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x60, 0x60, 0x60, 0x60, 0x14, 0x32, 0xf9, 0xff, 0x1f, 0x00,
    0x03, 0xef, 0x02, 0x46, 0xe4, 0x80, 0x4e, 0xf8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42,
    0x60, 0x82};
// 4 x 1, 8-bit grey: 0, 51, 128, 255.
const unsigned char kGrey8Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0xdc, 0x57, 0x50, 0x11, 0x00, 0x00, 0x00,
    0x0d, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x60, 0x30, 0x6e, 0xf8, 0x0f, 0x00, 0x02, 0x9d, 0x01, 0xb3,
    0x71, 0x27, 0x31, 0xd2, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
// 2 x 1, 16-bit RGB: pure red, pure blue.
const unsigned char kRgb16Png[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x10, 0x02, 0x00, 0x00, 0x00, 0x2b, 0xd0, 0x34, 0x9e, 0x00, 0x00, 0x00,
    0x10, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0xf8, 0xff, 0x9f, 0x01, 0x0a, 0xfe, 0xff, 0x07, 0x00, 0x19,
    0xf3, 0x03, 0xfd, 0x83, 0x66, 0x6f, 0xeb, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::vector<unsigned char> Bytes(const unsigned char* data, size_t size)
{
    return std::vector<unsigned char>(data, data + size);
}

// A bottom-up BMP of `bits` (8 with a grey palette, 24 or 32) whose pixel
// (x, y) from the top has the colour 0xRRGGBB.
std::vector<unsigned char> Bmp(int bits, int width, int height, const std::function<unsigned(int, int)>& colour)
{
    const int stride = (width * bits / 8 + 3) & ~3;
    const int paletteSize = bits == 8 ? 256 * 4 : 0;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + paletteSize;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    std::vector<unsigned char> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int i = 0; i < paletteSize / 4; ++i) {
        unsigned char* entry = &bytes[sizeof file + sizeof info + i * 4];
        entry[0] = entry[1] = entry[2] = static_cast<unsigned char>(i);
    }
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &bytes[file.bfOffBits + (height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const unsigned c = colour(x, y);
            if (bits == 8) {
                row[x] = static_cast<unsigned char>(c & 0xFF);
                continue;
            }
            unsigned char* pixel = row + x * bits / 8;
            pixel[0] = c & 0xFF;
            pixel[1] = (c >> 8) & 0xFF;
            pixel[2] = (c >> 16) & 0xFF;
            if (bits == 32) {
                pixel[3] = 0;  // BI_RGB's fourth byte carries no alpha
            }
        }
    }
    return bytes;
}

std::vector<unsigned char> Png(const BgraImage& image)
{
    std::vector<unsigned char> png;
    EXPECT_EQ(ImageError::None, EncodeBgraPng(image, &png));
    return png;
}

BgraImage Picture(int width, int height, const std::function<unsigned(int, int)>& colour, unsigned char alpha = 255)
{
    BgraImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned c = colour(x, y);
            image.pixels.insert(image.pixels.end(), {static_cast<unsigned char>(c & 0xFF),
                                                     static_cast<unsigned char>((c >> 8) & 0xFF),
                                                     static_cast<unsigned char>((c >> 16) & 0xFF), alpha});
        }
    }
    return image;
}

// A little-endian, uncompressed TIFF of one grey sample a pixel in one strip:
// `bits` bits of SampleFormat `format` (1 unsigned, 2 signed, 3 float).
std::vector<unsigned char> Tiff(int width, int height, int bits, int format, const void* samples)
{
    std::vector<unsigned char> file;
    const auto put = [&](std::size_t at, unsigned value, int size) {
        for (int i = 0; i < size; ++i) {
            file[at + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    };
    const int bytes = bits / 8;
    const unsigned dataSize = static_cast<unsigned>(width * height * bytes);
    const unsigned short kShort = 3;
    const unsigned short kLong = 4;
    struct Entry {
        unsigned short tag;
        unsigned short type;
        unsigned value;
    };
    const unsigned dataAt = 8 + 2 + 10 * 12 + 4;
    const Entry entries[] = {
        {256, kShort, static_cast<unsigned>(width)},
        {257, kShort, static_cast<unsigned>(height)},
        {258, kShort, static_cast<unsigned>(bits)},
        {259, kShort, 1},  // no compression
        {262, kShort, 1},  // black is zero
        {273, kLong, dataAt},
        {277, kShort, 1},
        {278, kShort, static_cast<unsigned>(height)},
        {279, kLong, dataSize},
        {339, kShort, static_cast<unsigned>(format)},
    };
    file.resize(dataAt + dataSize);
    file[0] = file[1] = 'I';
    put(2, 42, 2);
    put(4, 8, 4);
    put(8, 10, 2);
    for (int i = 0; i < 10; ++i) {
        const std::size_t at = 10 + i * 12;
        put(at, entries[i].tag, 2);
        put(at + 2, entries[i].type, 2);
        put(at + 4, 1, 4);
        put(at + 8, entries[i].value, entries[i].type == kShort ? 2 : 4);
    }
    std::memcpy(&file[dataAt], samples, dataSize);
    return file;
}

LuminanceImage Row(const std::vector<float>& values)
{
    return {static_cast<int>(values.size()), 1, values};
}

}  // namespace

TEST(Heightmap, ExportThenImportGivesBackEveryHeightForEveryMapSize)
{
    for (int size : {16, 32, 64}) {
        SCOPED_TRACE(size);
        std::vector<double> heights(size * size);
        for (size_t i = 0; i < heights.size(); ++i) {
            heights[i] = (i * 7919 % 1601) / 100.0;  // 0 .. 16 in uneven steps
        }
        heights[0] = 0.0;
        heights[1] = 16.0;
        std::vector<unsigned char> png;
        ASSERT_EQ(ImageError::None, EncodeHeightmap(heights, size, size, &png));
        // A 16-bit greyscale PNG of one pixel a vertex, read from its header.
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(size, png[19]);
        EXPECT_EQ(size, png[23]);
        EXPECT_EQ(16, png[24]);  // bit depth
        EXPECT_EQ(0, png[25]);   // colour type: grey
        std::vector<double> back;
        ASSERT_EQ(ImageError::None, DecodeHeightmap(png.data(), png.size(), size, size, &back));
        ASSERT_EQ(heights.size(), back.size());
        for (size_t i = 0; i < heights.size(); ++i) {
            ASSERT_NEAR(heights[i], back[i], 16.0 / 65535.0) << "vertex " << i;
        }
    }
}

TEST(Heightmap, PicturesOfEveryFormatGiveTheirBrightnessAsHeight)
{
    const double red = 0.2126 * 16;
    const double blue = 0.0722 * 16;
    const double green = 0.7152 * 16;
    const auto ramp = [](int x, int) { return 0x010101u * static_cast<unsigned>(x * 85); };  // 0, 85, 170, 255
    const auto colours = [](int x, int) { return std::vector<unsigned>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}[x]; };
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        std::vector<double> heights;  // picture columns from the left, so map columns from the right
    };
    const std::vector<double> rampHeights = {0.0, 85 * 16 / 255.0, 170 * 16 / 255.0, 16.0};
    const std::vector<double> colourHeights = {red, green, blue, 16.0};
    // An elevation model in metres: -32768 holds no value and lies at the bottom.
    const short metres[] = {-32768, -200, 3000, 32767};
    const float floats[] = {0.0f, 0.25f, 1.0f, std::nanf("")};
    const Case cases[] = {
        {"16-bit grey PNG", Bytes(kGrey16Png, sizeof kGrey16Png), {0.0, 16 / 65535.0, 0x1234 * 16 / 65535.0, 16.0}},
        {"8-bit grey PNG", Bytes(kGrey8Png, sizeof kGrey8Png), {0.0, 51 * 16 / 255.0, 128 * 16 / 255.0, 16.0}},
        {"8-bit grey PNG of long runs", BlackPng(300, 1), std::vector<double>(300, 0.0)},
        {"16-bit colour PNG", Bytes(kRgb16Png, sizeof kRgb16Png), {red, blue}},
        {"8-bit colour PNG", Png(Picture(4, 1, colours)), colourHeights},
        {"8-bit colour PNG with alpha", Png(Picture(4, 1, colours, 40)), colourHeights},
        {"8-bit BMP", Bmp(8, 4, 1, ramp), rampHeights},
        {"24-bit BMP", Bmp(24, 4, 1, colours), colourHeights},
        {"32-bit BMP", Bmp(32, 4, 1, colours), colourHeights},
        {"signed 16-bit TIFF", Tiff(4, 1, 16, 2, metres), {0.0, 32568 * 16 / 65535.0, 35768 * 16 / 65535.0, 16.0}},
        {"32-bit float TIFF", Tiff(4, 1, 32, 3, floats), {0.0, 4.0, 16.0, 0.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = static_cast<int>(c.heights.size());
        std::vector<double> heights;
        ASSERT_EQ(ImageError::None, DecodeHeightmap(c.bytes.data(), c.bytes.size(), width, 1, &heights));
        for (int i = 0; i < width; ++i) {
            EXPECT_NEAR(c.heights[i], heights[width - 1 - i], 1e-4) << "picture column " << i;
        }
    }
}

TEST(Heightmap, PicturesOfAnotherSizeAreAveragedOrInterpolated)
{
    struct Case {
        const char* name;
        std::vector<float> pixels;
        int width;
        std::vector<double> heights;  // by picture column (map column width - 1 - i), in sixteenths
    };
    const Case cases[] = {
        {"the same size maps pixel for pixel", {0.25f, 0.5f, 1.0f}, 3, {0.25, 0.5, 1.0}},
        {"twice as wide: the mean of two pixels", {0.0f, 0.5f, 1.0f, 1.0f, 0.25f, 0.75f}, 3, {0.25, 1.0, 0.5}},
        {"one and a half times as wide: weighted by cover", {0.0f, 0.75f, 0.375f}, 2, {0.25, 0.5}},
        {"half as wide: linear between pixel centres, edges held",
         {0.0f, 1.0f},
         4,
         {0.0, 0.25, 0.75, 1.0}},
        {"a single pixel fills the map", {0.5f}, 3, {0.5, 0.5, 0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each row of the map is the same picture row: one row stretched down.
        const std::vector<double> heights = HeightsFromLuminance(Row(c.pixels), c.width, 2);
        ASSERT_EQ(static_cast<size_t>(c.width * 2), heights.size());
        for (int row = 0; row < 2; ++row) {
            for (int i = 0; i < c.width; ++i) {
                EXPECT_NEAR(c.heights[i] * 16, heights[row * c.width + (c.width - 1 - i)], 1e-5)
                    << "row " << row << ", picture column " << i;
            }
        }
    }
    // Down the columns the same rules hold: 4 picture rows to 2 map rows.
    const LuminanceImage tall = {1, 4, {0.0f, 1.0f, 0.5f, 0.5f}};
    EXPECT_EQ((std::vector<double>{8.0, 8.0}), HeightsFromLuminance(tall, 1, 2));
}

TEST(Heightmap, FilesThatAreNoPictureAreRefusedWithTheirReason)
{
    const std::vector<unsigned char> png = Png(Picture(8, 8, [](int x, int y) { return 0x010101u * (x * 30 + y); }));
    const std::string text = "not a picture at all, just some words";
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0,
                                  0x00, 0x11, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03, 0x01, 0x22,
                                  0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xD9};
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x3B};
    const signed char bytes[] = {-100, 0, 100, 27};
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        ImageError error;
    };
    const Case cases[] = {
        {"empty", {}, ImageError::UnsupportedFormat},
        {"text", std::vector<unsigned char>(text.begin(), text.end()), ImageError::UnsupportedFormat},
        {"PNG cut after its header", std::vector<unsigned char>(png.begin(), png.begin() + 40), ImageError::Malformed},
        {"PNG cut in its pixels", std::vector<unsigned char>(png.begin(), png.end() - 20), ImageError::Malformed},
        // Refused from the size declared, before a decoder unpacks gigabytes.
        {"PNG of 30000 x 30000 pixels", BlackPng(30000, 30000), ImageError::TooLarge},
        {"PNG of 8193 x 8192 pixels", BlackPng(8193, 8192), ImageError::TooLarge},
        {"JPEG declaring 60000 x 60000 pixels", Bytes(jpeg, sizeof jpeg), ImageError::TooLarge},
        {"GIF declaring 65535 x 65535 pixels", Bytes(gif, sizeof gif), ImageError::TooLarge},
        // Sound pictures of a kind the heights are not read from.
        {"signed 8-bit TIFF", Tiff(4, 1, 8, 2, bytes), ImageError::UnsupportedPixelFormat},
        {"16-bit float TIFF", Tiff(2, 1, 16, 3, bytes), ImageError::UnsupportedPixelFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> heights = {1.0};
        EXPECT_EQ(c.error, DecodeHeightmap(c.bytes.data(), c.bytes.size(), 16, 16, &heights));
        EXPECT_EQ(std::vector<double>{1.0}, heights);
    }
}

TEST(Heightmap, PicturesUsingLittleOfTheirRangeAreOfferedAStretchToTheFullHeights)
{
    const float none = std::nanf("");
    struct Case {
        const char* name;
        std::vector<float> values;
        bool offered;
        std::vector<float> stretched;  // as StretchLevels leaves them
    };
    const Case cases[] = {
        {"0 .. 3000 m in 16 bits", {0.0f, 3000 / 65535.0f, 1500 / 65535.0f}, true, {0.0f, 1.0f, 0.5f}},
        {"just under a quarter", {0.5f, 0.74f, 0.62f}, true, {0.0f, 1.0f, 0.5f}},
        {"a quarter", {0.5f, 0.75f}, false, {0.0f, 1.0f}},
        {"flat: nothing to stretch", {0.3f, 0.3f}, false, {0.3f, 0.3f}},
        {"floats beyond 0 .. 1", {-50.0f, 950.0f, 450.0f}, true, {0.0f, 1.0f, 0.5f}},
        {"samples without a value are left out", {none, 0.5f, 0.6f}, true, {none, 0.0f, 1.0f}},
        {"nothing but samples without a value", {none, none}, false, {none, none}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LuminanceImage image = Row(c.values);
        const LuminanceRange range = ValueRange(image);
        EXPECT_EQ(c.offered, WorthStretching(range));
        StretchLevels(range, &image);
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (std::isnan(c.stretched[i])) {
                EXPECT_TRUE(std::isnan(image.values[i])) << i;
            } else {
                EXPECT_NEAR(c.stretched[i], image.values[i], 1e-6) << i;
            }
        }
    }
    // Stretched, the lowest value is height 0 and the highest 16; no value is 0.
    LuminanceImage dem = Row({none, 200 / 65535.0f, 3000 / 65535.0f});
    StretchLevels(ValueRange(dem), &dem);
    EXPECT_EQ((std::vector<double>{16.0, 0.0, 0.0}), HeightsFromLuminance(dem, 3, 1));
}

TEST(Heightmap, StretchingWorksInDoubleAndTakesTheLowestFloatsForNoValue)
{
    const float none = std::nanf("");
    const float lowest = -3.4028235e38f;
    const float infinity = HUGE_VALF;
    struct Case {
        const char* name;
        std::vector<float> values;
        std::vector<float> stretched;  // as StretchLevels leaves them
        std::vector<double> heights;   // of a map as wide as the row, in picture order
    };
    const Case cases[] = {
        {"a span beyond the float range", {-9e37f, 3.4e38f, 1.25e38f}, {0.0f, 1.0f, 0.5f}, {0.0, 16.0, 8.0}},
        {"the lowest float is no data", {lowest, 100.0f, 300.0f, 200.0f}, {lowest, 0.0f, 1.0f, 0.5f},
         {0.0, 0.0, 16.0, 8.0}},
        {"-1e38 is no data, a little above it is", {-1e38f, -0.98e38f, 0.0f}, {-1e38f, 0.0f, 1.0f},
         {0.0, 0.0, 16.0}},
        {"minus infinity and NaN are no data", {-infinity, none, 0.25f, 0.45f}, {-infinity, none, 0.0f, 1.0f},
         {0.0, 0.0, 0.0, 16.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LuminanceImage image = Row(c.values);
        const LuminanceRange range = ValueRange(image);
        ASSERT_TRUE(WorthStretching(range));
        StretchLevels(range, &image);
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (std::isnan(c.stretched[i])) {
                EXPECT_TRUE(std::isnan(image.values[i])) << i;
            } else if (c.stretched[i] < -1.0f) {
                EXPECT_EQ(c.stretched[i], image.values[i]) << i;
            } else {
                EXPECT_NEAR(c.stretched[i], image.values[i], 1e-6) << i;
            }
        }
        // No data lies at the bottom, the top value at 16.
        const std::vector<double> heights = HeightsFromLuminance(image, image.width, 1);
        for (std::size_t i = 0; i < c.heights.size(); ++i) {
            EXPECT_NEAR(c.heights[i], heights[heights.size() - 1 - i], 1e-4) << i;
        }
    }
}
