#include "io/ImageHeader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ImageHeader, TheDeclaredSizeAndTiffSampleFormatAreReadWithoutDecoding)
{
    // A big-endian TIFF: width 300 (SHORT), height 70000 (LONG), signed samples.
    const std::vector<unsigned char> tiffMM = {'M',  'M',  0, 42, 0, 0, 0, 8, 0,    3,              // header, 3 entries
                                               0x01, 0x00, 0, 3,  0, 0, 0, 1, 0x01, 0x2C, 0,    0,  // ImageWidth
                                               0x01, 0x01, 0, 4,  0, 0, 0, 1, 0x00, 0x01, 0x11, 0x70,  // ImageLength
                                               0x01, 0x53, 0, 3,  0, 0, 0, 1, 0x00, 0x02, 0,    0,     // SampleFormat
                                               0,    0,    0, 0};
    // Little-endian, three samples of SampleFormat stored apart: float.
    const std::vector<unsigned char> tiffII = {'I',  'I',  42, 0, 8, 0, 0, 0, 1,  0,        // header, 1 entry
                                               0x53, 0x01, 3,  0, 3, 0, 0, 0, 26, 0, 0, 0,  // SampleFormat at 26
                                               0,    0,    0,  0, 3, 0, 3, 0, 3,  0};
    const std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x04, 0xAB, 0xCD, 0xFF, 0xFF, 0xC2,
                                             0x00, 0x0B, 0x08, 0x01, 0x00, 0x02, 0x00, 0x01, 0x01, 0x11, 0x00};
    const std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '7', 'a', 0x20, 0x03, 0x58, 0x02};
    const std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                            'I',  'H', 'D', 'R', 0,    0,    0x75, 0x30, 0, 1, 0, 0};
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        unsigned long long width;
        unsigned long long height;
        SampleFormat samples;
    };
    const std::vector<unsigned char> cut(tiffMM.begin(), tiffMM.begin() + 30);
    const std::vector<unsigned char> lost = {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    const Case cases[] = {
        {"PNG", png, 30000, 65536, SampleFormat::Unknown},
        {"GIF", gif, 800, 600, SampleFormat::Unknown},
        {"JPEG with a segment and fill bytes before its frame", jpeg, 512, 256, SampleFormat::Unknown},
        {"TIFF, high byte first", tiffMM, 300, 70000, SampleFormat::Signed},
        {"TIFF, low byte first, samples listed apart", tiffII, 0, 0, SampleFormat::Float},
        {"TIFF cut inside its directory", cut, 300, 0, SampleFormat::Unsigned},
        {"TIFF whose directory lies beyond its end", lost, 0, 0, SampleFormat::Unsigned},
        {"PNG cut before its size", std::vector<unsigned char>(png.begin(), png.begin() + 18), 0, 0,
         SampleFormat::Unknown},
        {"JPEG without a frame header", {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02}, 0, 0, SampleFormat::Unknown},
        {"BMP: left to the decoder", {'B', 'M', 0, 0, 0, 0}, 0, 0, SampleFormat::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImageHeader header = ReadImageHeader(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(c.width, header.width);
        EXPECT_EQ(c.height, header.height);
        EXPECT_EQ(c.samples, header.samples);
    }
}
