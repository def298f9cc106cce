#include "io/ImageCodec.h"

#include "io/ComApartment.h"
#include "io/ComRef.h"
#include "io/ImageHeader.h"
#include "io/PngRowEncoder.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool MakeFactory(ComRef<IWICImagingFactory>* factory)
{
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory->out())));
}

// Grey stays exactly the grey it was; the weights need not add up to 1 in float.
float Luminance(unsigned red, unsigned green, unsigned blue, float scale)
{
    if (red == green && green == blue) {
        return red * scale;
    }
    return (0.2126f * red + 0.7152f * green + 0.0722f * blue) * scale;
}

// The first frame of the picture in `bytes`, checked for size: first the size
// its header declares (kept in `header`), before any decoder sees it, then the
// decoder's own.
ImageError OpenFrame(IWICImagingFactory* factory, const unsigned char* bytes, std::size_t size, ImageHeader* header,
                     ComRef<IWICBitmapFrameDecode>* frame, UINT* width, UINT* height)
{
    if (size == 0 || size > 0xFFFFFFFFu) {
        return size == 0 ? ImageError::UnsupportedFormat : ImageError::TooLarge;
    }
    *header = ReadImageHeader(bytes, size);
    if (TooManyPixels(header->width, header->height)) {
        return ImageError::TooLarge;
    }
    ComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size)))) {
        return ImageError::CodecUnavailable;
    }
    ComRef<IWICBitmapDecoder> decoder;
    const HRESULT opened =
        factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out());
    if (opened == WINCODEC_ERR_COMPONENTNOTFOUND) {
        return ImageError::UnsupportedFormat;
    }
    if (opened == WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT) {
        return ImageError::UnsupportedPixelFormat;
    }
    if (FAILED(opened) || FAILED(decoder->GetFrame(0, frame->out())) || FAILED((*frame)->GetSize(width, height))) {
        return ImageError::Malformed;
    }
    if (*width == 0 || *height == 0) {
        return ImageError::Malformed;
    }
    if (TooManyPixels(*width, *height)) {
        return ImageError::TooLarge;
    }
    return ImageError::None;
}

// An image's first frame, opened with the apartment and factory it needs,
// which are let go after it.
struct OpenedImage {
    ComApartment apartment;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapFrameDecode> frame;
    ImageHeader header;
    UINT width = 0;
    UINT height = 0;

    ImageError Open(const unsigned char* bytes, std::size_t size)
    {
        if (!MakeFactory(&factory)) {
            return ImageError::CodecUnavailable;
        }
        return OpenFrame(factory.get(), bytes, size, &header, &frame, &width, &height);
    }
};

// The whole frame converted to 32-bit BGRA.
ImageError CopyBgra(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height,
                    std::vector<unsigned char>* pixels)
{
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out()))) {
        return ImageError::CodecUnavailable;
    }
    // The converter looks only at the pixel format here; a damaged picture fails when its pixels are read.
    if (FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return ImageError::UnsupportedPixelFormat;
    }
    std::vector<unsigned char> read(static_cast<std::size_t>(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(read.size()), read.data()))) {
        return ImageError::Malformed;
    }
    *pixels = std::move(read);
    return ImageError::None;
}

// Writes width x height pixels laid out as `format` to a PNG in memory.
ImageError EncodePng(const void* pixels, UINT width, UINT height, UINT stride, PngPixels format,
                     std::vector<unsigned char>* png)
{
    PngRowEncoder encoder;
    ImageError error = encoder.Start(width, height, format);
    if (error == ImageError::None) {
        error = encoder.WriteRows(height, stride, pixels);
    }
    return error == ImageError::None ? encoder.Finish(png) : error;
}

const float kNoValue = std::numeric_limits<float>::quiet_NaN();

// The channels of the 16-bit formats read as they are, so a 16-bit heightmap
// keeps every step; 0 for the others.
UINT Channels16(const WICPixelFormatGUID& format)
{
    if (IsEqualGUID(format, GUID_WICPixelFormat16bppGray)) {
        return 1;
    }
    if (IsEqualGUID(format, GUID_WICPixelFormat48bppRGB)) {
        return 3;
    }
    if (IsEqualGUID(format, GUID_WICPixelFormat64bppRGBA)) {
        return 4;
    }
    return 0;
}

// The frame's own pixels, `channels` samples of type Sample each, every pixel
// turned into its value by `value`.
template <typename Sample, typename ToValue>
ImageError ReadNative(IWICBitmapFrameDecode* frame, UINT width, UINT height, UINT channels, ToValue value,
                      std::vector<float>* values)
{
    const UINT stride = width * channels * sizeof(Sample);
    std::vector<Sample> samples(static_cast<std::size_t>(width) * height * channels);
    if (FAILED(frame->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(samples.data())))) {
        return ImageError::Malformed;
    }
    for (std::size_t i = 0; i < values->size(); ++i) {
        (*values)[i] = value(&samples[i * channels]);
    }
    return ImageError::None;
}

ImageError Read8(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height,
                 std::vector<float>* values)
{
    std::vector<unsigned char> pixels;
    const ImageError error = CopyBgra(factory, frame, width, height, &pixels);
    if (error != ImageError::None) {
        return error;
    }
    const float scale = 1.0f / 255.0f;
    for (std::size_t i = 0; i < values->size(); ++i) {
        const unsigned char* pixel = &pixels[i * 4];
        (*values)[i] = Luminance(pixel[2], pixel[1], pixel[0], scale);
    }
    return ImageError::None;
}

}  // namespace

ImageError DecodeLuminance(const unsigned char* bytes, std::size_t size, LuminanceImage* image)
{
    OpenedImage opened;
    ImageError error = opened.Open(bytes, size);
    if (error != ImageError::None) {
        return error;
    }
    const UINT width = opened.width;
    const UINT height = opened.height;
    WICPixelFormatGUID format = {};
    if (FAILED(opened.frame->GetPixelFormat(&format))) {
        return ImageError::Malformed;
    }
    // Decoders hand a TIFF's signed samples over as unsigned ones (and some
    // its integers as floats): its own header says what they are, and only
    // the kinds read right here are taken.
    const SampleFormat samples = opened.header.samples;
    const UINT channels = Channels16(format);
    const bool isFloat = IsEqualGUID(format, GUID_WICPixelFormat32bppGrayFloat);
    const bool isSigned = samples == SampleFormat::Signed;
    if ((isSigned && channels != 1) || (samples == SampleFormat::Float && !isFloat) ||
        (isFloat && samples != SampleFormat::Float && samples != SampleFormat::Unknown)) {
        return ImageError::UnsupportedPixelFormat;
    }
    std::vector<float> values(static_cast<std::size_t>(width) * height);
    IWICBitmapFrameDecode* frame = opened.frame.get();
    const float scale = 1.0f / 65535.0f;
    if (isFloat) {
        error = ReadNative<float>(
            frame, width, height, 1, [](const float* sample) { return std::isfinite(*sample) ? *sample : kNoValue; },
            &values);
    } else if (isSigned) {
        error = ReadNative<unsigned short>(
            frame, width, height, 1,
            [scale](const unsigned short* sample) {
                const int value = static_cast<short>(*sample);
                return value == -32768 ? kNoValue : (value + 32768) * scale;
            },
            &values);
    } else if (channels > 0) {
        error = ReadNative<unsigned short>(
            frame, width, height, channels,
            [scale, channels](const unsigned short* pixel) {
                return channels == 1 ? pixel[0] * scale : Luminance(pixel[0], pixel[1], pixel[2], scale);
            },
            &values);
    } else {
        error = Read8(opened.factory.get(), frame, width, height, &values);
    }
    if (error != ImageError::None) {
        return error;
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->values = std::move(values);
    return ImageError::None;
}

ImageError DecodeBgra(const unsigned char* bytes, std::size_t size, BgraImage* image)
{
    OpenedImage opened;
    ImageError error = opened.Open(bytes, size);
    if (error != ImageError::None) {
        return error;
    }
    const UINT width = opened.width;
    const UINT height = opened.height;
    std::vector<unsigned char> pixels;
    error = CopyBgra(opened.factory.get(), opened.frame.get(), width, height, &pixels);
    if (error != ImageError::None) {
        return error;
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->pixels = std::move(pixels);
    return ImageError::None;
}

ImageError EncodeGrey16Png(const unsigned short* values, int width, int height, std::vector<unsigned char>* png)
{
    if (width <= 0 || height <= 0) {
        return ImageError::CannotEncode;
    }
    return EncodePng(values, static_cast<UINT>(width), static_cast<UINT>(height), static_cast<UINT>(width) * 2,
                     PngPixels::Grey16, png);
}

ImageError EncodeBgraPng(const BgraImage& image, std::vector<unsigned char>* png)
{
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != count * 4) {
        return ImageError::CannotEncode;
    }
    bool opaque = true;
    for (std::size_t i = 0; i < count && opaque; ++i) {
        opaque = image.pixels[i * 4 + 3] == 255;
    }
    if (!opaque) {
        return EncodePng(image.pixels.data(), image.width, image.height, image.width * 4, PngPixels::Bgra32, png);
    }
    // Rows of 24-bit pixels are padded to whole 32-bit words.
    const UINT stride = (static_cast<UINT>(image.width) * 3 + 3) & ~3u;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(stride) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* from = &image.pixels[static_cast<std::size_t>(y) * image.width * 4];
        unsigned char* to = &rgb[static_cast<std::size_t>(y) * stride];
        for (int x = 0; x < image.width; ++x) {
            std::memcpy(to + x * 3, from + x * 4, 3);
        }
    }
    return EncodePng(rgb.data(), image.width, image.height, stride, PngPixels::Bgr24, png);
}
