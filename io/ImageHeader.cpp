#include "io/ImageHeader.h"

#include "io/ImageCodec.h"

#include <cstring>

namespace {

// Numbers in the file's byte order, read only where the whole number lies within the bytes.
class ByteReader {
public:
    ByteReader(const unsigned char* bytes, std::size_t size, bool bigEndian)
        : m_bytes(bytes), m_size(size), m_bigEndian(bigEndian)
    {
    }

    bool Has(std::size_t offset, std::size_t count) const { return offset <= m_size && count <= m_size - offset; }

    unsigned long U16(std::size_t offset) const { return Read(offset, 2); }
    unsigned long U32(std::size_t offset) const { return Read(offset, 4); }

private:
    unsigned long Read(std::size_t offset, int count) const
    {
        if (!Has(offset, count)) {
            return 0;
        }
        unsigned long value = 0;
        for (int i = 0; i < count; ++i) {
            const unsigned long byte = m_bytes[offset + (m_bigEndian ? i : count - 1 - i)];
            value = value << 8 | byte;
        }
        return value;
    }

    const unsigned char* m_bytes;
    std::size_t m_size;
    bool m_bigEndian;
};

bool StartsWith(const unsigned char* bytes, std::size_t size, const char* magic, std::size_t length)
{
    return size >= length && std::memcmp(bytes, magic, length) == 0;
}

// The first chunk of a PNG is its IHDR: width and height, big-endian.
ImageHeader PngHeader(const ByteReader& file)
{
    ImageHeader header;
    header.width = file.U32(16);
    header.height = file.U32(20);
    return header;
}

// The logical screen, which every frame of a GIF is drawn into.
ImageHeader GifHeader(const ByteReader& file)
{
    ImageHeader header;
    header.width = file.U16(6);
    header.height = file.U16(8);
    return header;
}

// The size sits in the start-of-frame segment, after any number of others.
ImageHeader JpegHeader(const unsigned char* bytes, const ByteReader& file)
{
    ImageHeader header;
    std::size_t at = 2;
    while (file.Has(at, 4)) {
        if (bytes[at] != 0xFF) {
            break;
        }
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a segment
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) {  // end of image, start of scan: no frame header came
            break;
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            header.height = file.U16(at + 5);
            header.width = file.U16(at + 7);
            break;
        }
        at += 2 + file.U16(at + 2);
    }
    return header;
}

// The first image file directory: the size and the first sample's format.
ImageHeader TiffHeader(const ByteReader& file)
{
    const unsigned long kImageWidth = 256;
    const unsigned long kImageLength = 257;
    const unsigned long kSampleFormat = 339;
    const unsigned long kShort = 3;
    ImageHeader header;
    header.samples = SampleFormat::Unsigned;  // what a TIFF without the tag holds
    const std::size_t directory = file.U32(4);
    const unsigned long entries = file.U16(directory);
    for (unsigned long i = 0; i < entries && file.Has(directory + 2 + i * 12, 12); ++i) {
        const std::size_t entry = directory + 2 + i * 12;
        const unsigned long tag = file.U16(entry);
        const unsigned long type = file.U16(entry + 2);
        const unsigned long count = file.U32(entry + 4);
        // A value of up to four bytes sits in the entry itself, a longer one where the entry points.
        const unsigned long value = type == kShort ? file.U16(entry + 8) : file.U32(entry + 8);
        if (tag == kImageWidth) {
            header.width = value;
        } else if (tag == kImageLength) {
            header.height = value;
        } else if (tag == kSampleFormat && type == kShort && count > 0) {
            const unsigned long first = count <= 2 ? value : file.U16(file.U32(entry + 8));
            header.samples = first == 2   ? SampleFormat::Signed
                             : first == 3 ? SampleFormat::Float
                                          : SampleFormat::Unsigned;
        }
    }
    return header;
}

}  // namespace

ImageHeader ReadImageHeader(const unsigned char* bytes, std::size_t size)
{
    if (!bytes) {
        return {};
    }
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1a\n", 8)) {
        return PngHeader(ByteReader(bytes, size, true));
    }
    if (StartsWith(bytes, size, "GIF87a", 6) || StartsWith(bytes, size, "GIF89a", 6)) {
        return GifHeader(ByteReader(bytes, size, false));
    }
    if (StartsWith(bytes, size, "\xFF\xD8", 2)) {
        return JpegHeader(bytes, ByteReader(bytes, size, true));
    }
    if (StartsWith(bytes, size, "II*\0", 4) || StartsWith(bytes, size, "MM\0*", 4)) {
        return TiffHeader(ByteReader(bytes, size, bytes[0] == 'M'));
    }
    return {};
}

// Here rather than beside the decoders, which need the system: the readers of
// declared sizes build without it (the fuzz targets).
bool TooManyPixels(unsigned long long width, unsigned long long height)
{
    return width * height > static_cast<unsigned long long>(kMaxImagePixels);
}
