#include "io/DdsImage.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int b = 0; b < 4; ++b) {
        bytes[at + b] = static_cast<unsigned char>(value >> (8 * b));
    }
}

// A DDS file: the header for a width x height picture of this pixel format, then `data`.
Bytes Dds(int width, int height, std::uint32_t flags, const char* fourCc, std::uint32_t bits,
          std::vector<std::uint32_t> masks, const Bytes& data)
{
    Bytes bytes(128, 0);
    bytes[0] = 'D', bytes[1] = 'D', bytes[2] = 'S', bytes[3] = ' ';
    Put(bytes, 4, 124);
    Put(bytes, 12, height);
    Put(bytes, 16, width);
    Put(bytes, 76, 32);
    Put(bytes, 80, flags);
    if (fourCc) {
        Put(bytes, 84, fourCc[0] | fourCc[1] << 8 | fourCc[2] << 16 | static_cast<std::uint32_t>(fourCc[3]) << 24);
    }
    Put(bytes, 88, bits);
    for (std::size_t k = 0; k < masks.size(); ++k) {
        Put(bytes, 92 + 4 * k, masks[k]);
    }
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

const std::uint32_t kRgb = 0x40;
const std::uint32_t kRgba = 0x41;
const std::uint32_t kFourCc = 0x4;
const std::vector<std::uint32_t> kArgbMasks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};

// The most memory the process has held at once, as the system counts it.
std::size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

}  // namespace

TEST(DdsImage, ReadsUncompressedAndBlockFormatsAndRefusesTheRest)
{
    // A DXT colour block: red and blue ends, pixel 0 takes index 1, pixel 1 index 3, the rest 0.
    const Bytes redBlue = {0x00, 0xF8, 0x1F, 0x00, 0x0D, 0x00, 0x00, 0x00};
    const Bytes blueRed = {0x1F, 0x00, 0x00, 0xF8, 0x0D, 0x00, 0x00, 0x00};
    // DXT5 alpha: ends 255 and 0, pixel 0 index 1 (0), the rest index 0 (255).
    const Bytes alpha = {0xFF, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    Bytes dxt5 = alpha;
    dxt5.insert(dxt5.end(), redBlue.begin(), redBlue.end());
    const Bytes argbPixels = {0x00, 0x00, 0xFF, 0x80, 0x00, 0xFF, 0x00, 0xFF};
    const struct {
        const char* name;
        Bytes file;
        ImageError error;
        int width, height;
        Bytes firstPixels;  // BGRA
    } cases[] = {
        {"A8R8G8B8", Dds(2, 1, kRgba, nullptr, 32, kArgbMasks, argbPixels), ImageError::None, 2, 1,
         {0x00, 0x00, 0xFF, 0x80, 0x00, 0xFF, 0x00, 0xFF}},
        {"X8R8G8B8 ignores its fourth byte", Dds(1, 1, kRgb, nullptr, 32, kArgbMasks, {1, 2, 3, 4}), ImageError::None,
         1, 1, {1, 2, 3, 255}},
        {"R8G8B8", Dds(1, 1, kRgb, nullptr, 24, kArgbMasks, {0x10, 0x20, 0x30}), ImageError::None, 1, 1,
         {0x10, 0x20, 0x30, 255}},
        {"R5G6B5", Dds(1, 1, kRgb, nullptr, 16, {0xF800, 0x07E0, 0x1F}, {0x00, 0xF8}), ImageError::None, 1, 1,
         {0, 0, 255, 255}},
        {"A1R5G5B5", Dds(1, 1, kRgba, nullptr, 16, {0x7C00, 0x03E0, 0x1F, 0x8000}, {0x1F, 0x00}), ImageError::None, 1,
         1, {255, 0, 0, 0}},
        {"L8", Dds(1, 1, 0x20000, nullptr, 8, {0xFF}, {0x40}), ImageError::None, 1, 1, {0x40, 0x40, 0x40, 255}},
        {"DXT1, four colours", Dds(4, 4, kFourCc, "DXT1", 0, {}, redBlue), ImageError::None, 4, 4,
         {255, 0, 0, 255, 170, 0, 85, 255, 0, 0, 255, 255}},
        {"DXT1, three colours and transparent", Dds(4, 4, kFourCc, "DXT1", 0, {}, blueRed), ImageError::None, 4, 4,
         {0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255}},
        {"DXT1, a picture smaller than its block", Dds(3, 2, kFourCc, "DXT1", 0, {}, redBlue), ImageError::None, 3, 2,
         {255, 0, 0, 255}},
        {"DXT5", Dds(4, 4, kFourCc, "DXT5", 0, {}, dxt5), ImageError::None, 4, 4,
         {255, 0, 0, 0, 170, 0, 85, 255, 0, 0, 255, 255}},
        {"truncated pixels", Dds(2, 2, kRgba, nullptr, 32, kArgbMasks, argbPixels), ImageError::Malformed, 0, 0, {}},
        {"truncated blocks", Dds(8, 4, kFourCc, "DXT1", 0, {}, redBlue), ImageError::Malformed, 0, 0, {}},
        {"truncated header", Bytes{'D', 'D', 'S', ' ', 124, 0, 0, 0}, ImageError::Malformed, 0, 0, {}},
        {"no width", Dds(0, 1, kRgba, nullptr, 32, kArgbMasks, argbPixels), ImageError::Malformed, 0, 0, {}},
        {"a side past 16384", Dds(16385, 1, kRgba, nullptr, 32, kArgbMasks, argbPixels), ImageError::Malformed, 0, 0,
         {}},
        {"DX10 header", Dds(1, 1, kFourCc, "DX10", 0, {}, Bytes(24, 0)), ImageError::UnsupportedFormat, 0, 0, {}},
        {"12 bits a pixel", Dds(1, 1, kRgb, nullptr, 12, kArgbMasks, {0, 0}), ImageError::UnsupportedFormat, 0, 0, {}},
        {"not a DDS file", Bytes{'B', 'M', 0, 0, 0, 0}, ImageError::UnsupportedFormat, 0, 0, {}},
    };
    for (const auto& c : cases) {
        BgraImage image;
        image.width = -1;
        EXPECT_EQ(c.error, DecodeDds(c.file.data(), c.file.size(), &image)) << c.name;
        if (c.error != ImageError::None) {
            EXPECT_EQ(-1, image.width) << c.name << ": a refused file leaves the picture as it was";
            continue;
        }
        EXPECT_EQ(c.width, image.width) << c.name;
        EXPECT_EQ(c.height, image.height) << c.name;
        ASSERT_EQ(static_cast<std::size_t>(c.width * c.height * 4), image.pixels.size()) << c.name;
        EXPECT_EQ(c.firstPixels, Bytes(image.pixels.begin(), image.pixels.begin() + c.firstPixels.size())) << c.name;
    }
}

// Before its data is checked, a picture of the declared size would take up to
// 256 MiB: the process's peak must not grow by that for files of 128 bytes.
TEST(DdsImage, AShortFileDeclaringAHugePictureIsRefusedWithoutMakingThePicture)
{
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"8192 x 8192 A8R8G8B8, no data", Dds(8192, 8192, kRgba, nullptr, 32, kArgbMasks, {})},
        {"8192 x 8192 L8, one row", Dds(8192, 8192, 0x20000, nullptr, 8, {0xFF}, Bytes(8192, 0))},
        {"16384 x 4096 R8G8B8, no data", Dds(16384, 4096, kRgb, nullptr, 24, kArgbMasks, {})},
        {"8192 x 8192 DXT1, no data", Dds(8192, 8192, kFourCc, "DXT1", 0, {}, {})},
        {"8192 x 8192 DXT5, one block", Dds(8192, 8192, kFourCc, "DXT5", 0, {}, Bytes(16, 0))},
    };
    const std::size_t before = PeakWorkingSet();
    ASSERT_NE(0u, before);
    for (const auto& c : cases) {
        BgraImage image;
        EXPECT_EQ(ImageError::Malformed, DecodeDds(c.file.data(), c.file.size(), &image)) << c.name;
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
    EXPECT_LT(PeakWorkingSet() - before, std::size_t(16) << 20) << "bytes more at the peak";
}
