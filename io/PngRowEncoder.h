#pragma once

#include "io/ComApartment.h"
#include "io/ComRef.h"
#include "io/ImageCodec.h"

#include <windows.h>

#include <wincodec.h>

#include <vector>

// A PNG made in memory through the Windows Imaging Component from bands of
// rows handed over one after another, so that a large picture never has to
// lie in memory whole and the work can pause between bands.
class PngRowEncoder {
public:
    PngRowEncoder() = default;
    PngRowEncoder(const PngRowEncoder&) = delete;
    PngRowEncoder& operator=(const PngRowEncoder&) = delete;

    // Starts a picture of width x height pixels of `format`. Unfiltered rows
    // take the encoder about half the time for a few per cent more bytes.
    ImageError Start(UINT width, UINT height, const WICPixelFormatGUID& format, bool unfiltered);
    // The next `rows` rows, `stride` bytes apart.
    ImageError WriteRows(UINT rows, UINT stride, const void* pixels);
    // The file's bytes, once every row is written.
    ImageError Finish(std::vector<unsigned char>* png);

private:
    // First, so that it outlives the objects below.
    ComApartment m_apartment;
    ComRef<IWICImagingFactory> m_factory;
    ComRef<IStream> m_memory;
    ComRef<IWICBitmapEncoder> m_encoder;
    ComRef<IWICBitmapFrameEncode> m_frame;
};
