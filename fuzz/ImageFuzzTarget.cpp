// libFuzzer target: the readers of picture headers and of DDS files. Any
// bytes give a header or a picture, or are refused; never a crash, a read
// outside the bytes, or a picture larger than the bytes could hold (the run
// limits single allocations, so a short file declaring a huge picture fails).
#include "io/DdsImage.h"
#include "io/ImageHeader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The sanitizers watch its reads; any size it finds is a size.
    ReadImageHeader(data, size);

    BgraImage image;
    image.width = -1;
    if (DecodeDds(data, size, &image) != ImageError::None) {
        if (image.width != -1 || !image.pixels.empty()) {
            std::abort();  // a refused file leaves the picture as it was
        }
        return 0;
    }
    // The leanest format read, DXT1, holds two pixels in a byte after the 128-byte header.
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    if (image.width <= 0 || image.height <= 0 || TooManyPixels(image.width, image.height) || size < 128 ||
        (size - 128) * 2 < pixels || image.pixels.size() != pixels * 4) {
        std::abort();
    }
    return 0;
}
