#include "io/PngRowEncoder.h"

#include <cstring>
#include <limits>

namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Data chunks of this many bytes at most: a reader need not hold more at once.
const std::size_t kChunkBytes = 256 * 1024;

// Deflate's fastest level. Measured on 8192 x 8192 map pictures, the next
// levels took longer for under one per cent less; the default level, nearly
// twice as long for 6 per cent less.
const int kLevel = Z_BEST_SPEED;

// Filter type Up: each byte taken as its difference to the byte above. On map
// pictures it costs no time over none and makes files a tenth smaller; Paeth
// saves 3 per cent more at twice the time.
const unsigned char kFilterUp = 2;

void PutBigEndian(unsigned value, unsigned char* to)
{
    to[0] = static_cast<unsigned char>(value >> 24);
    to[1] = static_cast<unsigned char>(value >> 16);
    to[2] = static_cast<unsigned char>(value >> 8);
    to[3] = static_cast<unsigned char>(value);
}

std::size_t PixelBytes(PngPixels pixels)
{
    switch (pixels) {
        case PngPixels::Grey16:
            return 2;
        case PngPixels::Bgr24:
            return 3;
        default:
            return 4;
    }
}

}  // namespace

PngRowEncoder::PngRowEncoder()
    : m_stream(),
      m_deflating(false),
      m_failed(false),
      m_pixels(PngPixels::Bgr24),
      m_width(0),
      m_height(0),
      m_written(0),
      m_pixelBytes(0),
      m_rowBytes(0)
{
}

PngRowEncoder::~PngRowEncoder()
{
    if (m_deflating) {
        deflateEnd(&m_stream);
    }
}

ImageError PngRowEncoder::Start(unsigned width, unsigned height, PngPixels pixels)
{
    // A PNG's sides are below 2^31; a row and its filter byte must fit the counts zlib takes.
    const unsigned largest = 0x7FFFFFFFu;
    m_pixelBytes = PixelBytes(pixels);
    if (m_deflating || width == 0 || height == 0 || width > largest || height > largest ||
        width > (std::numeric_limits<uInt>::max() - 1) / m_pixelBytes) {
        return ImageError::CannotEncode;
    }
    if (deflateInit(&m_stream, kLevel) != Z_OK) {
        return ImageError::CannotEncode;
    }
    m_deflating = true;
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_rowBytes = m_pixelBytes * width;
    m_row.assign(m_rowBytes, 0);
    m_above.assign(m_rowBytes, 0);
    m_filtered.assign(m_rowBytes + 1, 0);
    m_deflated.resize(kChunkBytes);
    m_stream.next_out = m_deflated.data();
    m_stream.avail_out = static_cast<uInt>(m_deflated.size());

    m_png.assign(kSignature, kSignature + sizeof kSignature);
    unsigned char header[13];
    PutBigEndian(width, header);
    PutBigEndian(height, header + 4);
    // Bits a sample; grey, RGB or RGBA; deflate; the five row filters; not interlaced.
    header[8] = pixels == PngPixels::Grey16 ? 16 : 8;
    header[9] = pixels == PngPixels::Grey16 ? 0 : pixels == PngPixels::Bgr24 ? 2 : 6;
    header[10] = 0;
    header[11] = 0;
    header[12] = 0;
    AppendChunk("IHDR", header, sizeof header);
    return ImageError::None;
}

ImageError PngRowEncoder::WriteRows(unsigned rows, unsigned stride, const void* pixels)
{
    if (!m_deflating || m_failed || rows > m_height - m_written || (rows > 1 && stride < m_rowBytes)) {
        return ImageError::CannotEncode;
    }
    const unsigned char* row = static_cast<const unsigned char*>(pixels);
    for (unsigned y = 0; y < rows && !m_failed; ++y, row += stride) {
        m_failed = !WriteRow(row);
    }
    m_written += rows;
    return m_failed ? ImageError::CannotEncode : ImageError::None;
}

bool PngRowEncoder::WriteRow(const unsigned char* from)
{
    m_row.swap(m_above);
    unsigned char* to = m_row.data();
    switch (m_pixels) {
        case PngPixels::Grey16:
            for (unsigned x = 0; x < m_width; ++x, from += 2, to += 2) {
                unsigned short value;
                std::memcpy(&value, from, 2);
                to[0] = static_cast<unsigned char>(value >> 8);
                to[1] = static_cast<unsigned char>(value);
            }
            break;
        case PngPixels::Bgr24:
            for (unsigned x = 0; x < m_width; ++x, from += 3, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
            break;
        case PngPixels::Bgra32:
            for (unsigned x = 0; x < m_width; ++x, from += 4, to += 4) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
                to[3] = from[3];
            }
            break;
    }
    // The first row has nothing above it: taken as its difference to zeros, as
    // a reader takes it, it stays as it is.
    const unsigned char* row = m_row.data();
    const unsigned char* above = m_above.data();
    unsigned char* filtered = m_filtered.data() + 1;
    m_filtered[0] = kFilterUp;
    for (std::size_t i = 0; i < m_rowBytes; ++i) {
        filtered[i] = static_cast<unsigned char>(row[i] - above[i]);
    }
    return Deflate(m_filtered.data(), m_filtered.size(), Z_NO_FLUSH);
}

bool PngRowEncoder::Deflate(const unsigned char* data, std::size_t size, int flush)
{
    m_stream.next_in = const_cast<unsigned char*>(data);
    m_stream.avail_in = static_cast<uInt>(size);
    for (;;) {
        const int result = deflate(&m_stream, flush);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
            return false;
        }
        const bool full = m_stream.avail_out == 0;
        if (full || result == Z_STREAM_END) {
            AppendChunk("IDAT", m_deflated.data(), m_deflated.size() - m_stream.avail_out);
            m_stream.next_out = m_deflated.data();
            m_stream.avail_out = static_cast<uInt>(m_deflated.size());
        }
        if (result == Z_STREAM_END) {
            return true;
        }
        // With room left, deflate has taken all the input; only the end still has more to give.
        if (!full) {
            return flush == Z_NO_FLUSH;
        }
    }
}

void PngRowEncoder::AppendChunk(const char* type, const unsigned char* data, std::size_t size)
{
    const std::size_t at = m_png.size();
    m_png.resize(at + 12 + size);
    unsigned char* chunk = &m_png[at];
    PutBigEndian(static_cast<unsigned>(size), chunk);
    std::memcpy(chunk + 4, type, 4);
    if (size > 0) {
        std::memcpy(chunk + 8, data, size);
    }
    // The check sum covers the type and the data.
    const uLong sum = crc32(crc32(0L, Z_NULL, 0), chunk + 4, static_cast<uInt>(size + 4));
    PutBigEndian(static_cast<unsigned>(sum), chunk + 8 + size);
}

ImageError PngRowEncoder::Finish(std::vector<unsigned char>* png)
{
    if (!m_deflating || m_failed || m_written != m_height) {
        return ImageError::CannotEncode;
    }
    m_failed = !Deflate(nullptr, 0, Z_FINISH);
    deflateEnd(&m_stream);
    m_deflating = false;
    if (m_failed) {
        return ImageError::CannotEncode;
    }
    AppendChunk("IEND", nullptr, 0);
    *png = std::move(m_png);
    m_png.clear();
    return ImageError::None;
}
