#include "support/BlackPng.h"

#include <string>

namespace {

// Deflate's bits, from the lowest bit of each byte up.
class BitWriter {
public:
    // `count` bits of `value`, lowest first.
    void Put(unsigned value, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (m_used == 0) {
                bytes.push_back(0);
            }
            bytes.back() |= static_cast<unsigned char>(((value >> i) & 1) << m_used);
            m_used = (m_used + 1) % 8;
        }
    }
    // A Huffman code, which deflate writes from its highest bit down.
    void PutCode(unsigned code, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            Put(code >> i, 1);
        }
    }

    std::vector<unsigned char> bytes;

private:
    int m_used = 0;
};

void PutBigEndian(std::vector<unsigned char>& out, unsigned value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

unsigned Crc32(const unsigned char* data, std::size_t size, unsigned crc = 0xFFFFFFFFu)
{
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

void AppendChunk(std::vector<unsigned char>& png, const char* type, const std::vector<unsigned char>& data)
{
    PutBigEndian(png, static_cast<unsigned>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian(png, ~Crc32(&png[start], png.size() - start));
}

}  // namespace

std::vector<unsigned char> BlackPng(unsigned width, unsigned height)
{
    // Every row is its filter byte (none) and width zeros: one long run, as a
    // zero literal followed by copies of 258 bytes from one back, in one block
    // of fixed codes.
    const unsigned long long zeros = static_cast<unsigned long long>(height) * (width + 1);
    BitWriter deflate;
    deflate.Put(1, 1);         // the last block
    deflate.Put(1, 2);         // fixed codes
    deflate.PutCode(0x30, 8);  // literal 0
    for (unsigned long long left = zeros - 1; left > 0;) {
        if (left >= 258) {
            deflate.PutCode(0xC5, 8);  // length 258
            deflate.PutCode(0, 5);     // distance 1
            left -= 258;
        } else {
            deflate.PutCode(0x30, 8);
            --left;
        }
    }
    deflate.PutCode(0, 7);  // end of block
    std::vector<unsigned char> stream = {0x78, 0x01};
    stream.insert(stream.end(), deflate.bytes.begin(), deflate.bytes.end());
    // Adler-32 of zeros: the byte sum stays 1, the running sum counts the bytes.
    PutBigEndian(stream, static_cast<unsigned>(zeros % 65521) << 16 | 1);

    std::vector<unsigned char> header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, deflate, no interlace
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", stream);
    AppendChunk(png, "IEND", {});
    return png;
}
