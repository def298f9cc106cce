#pragma once

#include "io/ImageCodec.h"

#include <zlib.h>

#include <cstddef>
#include <vector>

// How the pixels handed to PngRowEncoder lie in memory.
enum class PngPixels {
    Grey16,  // one unsigned short a pixel, in the machine's byte order
    Bgr24,   // blue, green, red
    Bgra32,  // blue, green, red, alpha (not premultiplied)
};

// A PNG made in memory from bands of rows handed over one after another, so
// that a large picture never has to lie in memory whole and the work can pause
// between bands. Written here over zlib rather than by the system's encoder:
// deflating at its default level took nine tenths of a large map picture's
// export, and a fast level with each row taken as its difference to the row
// above makes files of nearly the same size in a fraction of the time.
class PngRowEncoder {
public:
    PngRowEncoder();
    ~PngRowEncoder();
    PngRowEncoder(const PngRowEncoder&) = delete;
    PngRowEncoder& operator=(const PngRowEncoder&) = delete;

    // Starts a picture of width x height pixels laid out as `pixels`.
    ImageError Start(unsigned width, unsigned height, PngPixels pixels);
    // The next `rows` rows, `stride` bytes apart.
    ImageError WriteRows(unsigned rows, unsigned stride, const void* pixels);
    // The file's bytes, once every row is written.
    ImageError Finish(std::vector<unsigned char>* png);

private:
    // The row at `from` in the file's byte order, filtered, deflated.
    bool WriteRow(const unsigned char* from);
    // Deflates `size` bytes; each full output buffer becomes a data chunk.
    bool Deflate(const unsigned char* data, std::size_t size, int flush);
    void AppendChunk(const char* type, const unsigned char* data, std::size_t size);

    z_stream m_stream;
    bool m_deflating;
    bool m_failed;
    PngPixels m_pixels;
    unsigned m_width;
    unsigned m_height;
    unsigned m_written;
    // One pixel's bytes in the file, and one row's.
    std::size_t m_pixelBytes;
    std::size_t m_rowBytes;
    // The row being written and the one above it, in the file's byte order.
    std::vector<unsigned char> m_row;
    std::vector<unsigned char> m_above;
    // The row as deflated: its filter type, then the differences.
    std::vector<unsigned char> m_filtered;
    std::vector<unsigned char> m_deflated;
    std::vector<unsigned char> m_png;
};
