#include "io/ImageHeader.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ImageHeader, TheDeclaredSizeAndTiffSampleFormatAreReadWithoutDecoding)
{
    // clang-format off
    // Big-endian: width 300 (a SHORT), height 70000 (a LONG), signed samples.
    const std::vector<unsigned char> tiffMM = {
        'M', 'M', 0, 42, 0, 0, 0, 8, 0, 3,
        0x01, 0x00, 0, 3, 0, 0, 0, 1, 0x01, 0x2C, 0, 0,
        0x01, 0x01, 0, 4, 0, 0, 0, 1, 0x00, 0x01, 0x11, 0x70,
        0x01, 0x53, 0, 3, 0, 0, 0, 1, 0x00, 0x02, 0, 0,
        0, 0, 0, 0};
    // Little-endian: three sample formats, stored at offset 26: floats.
    const std::vector<unsigned char> tiffII = {
        'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
        0x53, 0x01, 3, 0, 3, 0, 0, 0, 26, 0, 0, 0,
        0, 0, 0, 0, 3, 0, 3, 0, 3, 0};
    // An APP1 segment and a fill byte before a progressive frame of 512 x 256.
    const std::vector<unsigned char> jpeg = {
        0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x04, 0xAB, 0xCD, 0xFF,
        0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x01, 0x00, 0x02, 0x00, 0x01, 0x01, 0x11, 0x00};
    // clang-format on
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        unsigned long long width;
        unsigned long long height;
        SampleFormat samples;
    };
    const Case cases[] = {
        {"JPEG", jpeg, 512, 256, SampleFormat::Unknown},
        {"JPEG without a frame header", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02}, 0, 0, SampleFormat::Unknown},
        {"TIFF, high byte first", tiffMM, 300, 70000, SampleFormat::Signed},
        {"TIFF, low byte first", tiffII, 0, 0, SampleFormat::Float},
        {"TIFF cut inside its directory", {tiffMM.begin(), tiffMM.begin() + 30}, 300, 0, SampleFormat::Unsigned},
        {"TIFF whose directory lies beyond it", {'I', 'I', 42, 0, 0, 0, 0, 0x7F}, 0, 0, SampleFormat::Unsigned},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImageHeader header = ReadImageHeader(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.width, header.width);
        EXPECT_EQ(c.height, header.height);
        EXPECT_EQ(c.samples, header.samples);
    }
}
