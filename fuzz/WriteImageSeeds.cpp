// Writes the picture fuzzer's starting corpus: small DDS files of every format
// the reader takes, and the first bytes of PNG, GIF, JPEG and TIFF files as the
// header reader sees them. Usage: write_image_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int b = 0; b < 4; ++b) {
        bytes[at + b] = static_cast<unsigned char>(value >> (8 * b));
    }
}

// A DDS file of width x height in this pixel format, with data enough for it.
Bytes Dds(int width, int height, std::uint32_t flags, const char* fourCc, std::uint32_t bits,
          std::vector<std::uint32_t> masks, std::size_t dataBytes)
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
    for (std::size_t i = 0; i < dataBytes; ++i) {
        bytes.push_back(static_cast<unsigned char>(i * 37 + 11));
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::uint32_t rgb = 0x40, rgba = 0x41, luminance = 0x20000, fourCc = 0x4;
    const std::vector<std::uint32_t> argb = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"a8r8g8b8.dds", Dds(5, 3, rgba, nullptr, 32, argb, 5 * 3 * 4)},
        {"r8g8b8.dds", Dds(3, 2, rgb, nullptr, 24, argb, 3 * 2 * 3)},
        {"r5g6b5.dds", Dds(2, 2, rgb, nullptr, 16, {0xF800, 0x07E0, 0x1F}, 8)},
        {"a1r5g5b5.dds", Dds(2, 1, rgba, nullptr, 16, {0x7C00, 0x03E0, 0x1F, 0x8000}, 4)},
        {"l8.dds", Dds(4, 4, luminance, nullptr, 8, {0xFF}, 16)},
        {"dxt1.dds", Dds(8, 4, fourCc, "DXT1", 0, {}, 16)},
        {"dxt3.dds", Dds(6, 5, fourCc, "DXT3", 0, {}, 64)},
        {"dxt5.dds", Dds(4, 4, fourCc, "DXT5", 0, {}, 16)},
        // Once made a 256 MiB picture before it was refused.
        {"short-8192.dds", Dds(8192, 8192, rgba, nullptr, 32, argb, 0)},
        // clang-format off
        {"png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 1, 0, 0, 0, 0,
                 64, 16, 0, 0, 0, 0}},
        {"gif", {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xF0, 0x00, 0x00, 0x00, 0x00, ';'}},
        {"jpeg", {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x04, 0xAB, 0xCD, 0xFF, 0xFF, 0xC2, 0x00, 0x0B, 0x08, 0x01, 0x00,
                  0x02, 0x00, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9}},
        {"tiff-mm", {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 3, 0x01, 0x00, 0, 3, 0, 0, 0, 1, 0x01, 0x2C, 0, 0,
                     0x01, 0x01, 0, 4, 0, 0, 0, 1, 0x00, 0x01, 0x11, 0x70, 0x01, 0x53, 0, 3, 0, 0, 0, 1,
                     0x00, 0x02, 0, 0, 0, 0, 0, 0}},
        {"tiff-ii", {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x53, 0x01, 3, 0, 3, 0, 0, 0, 26, 0, 0, 0,
                     0, 0, 0, 0, 3, 0, 3, 0, 3, 0}},
        // clang-format on
    };
    for (const auto& seed : seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file) != seed.bytes.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
