#include "io/Heightmap.h"

#include "io/MapFileFormat.h"

#include <algorithm>
#include <cmath>

namespace {

struct Tap {
    int source;
    double weight;
};

// For each of `to` samples along one axis, the samples of the `from` long axis
// it is made of and their weights (which add up to 1).
std::vector<std::vector<Tap>> AxisTaps(int from, int to)
{
    std::vector<std::vector<Tap>> taps(to);
    for (int d = 0; d < to; ++d) {
        if (from == to) {
            taps[d].push_back({d, 1.0});
        } else if (from > to) {
            const double begin = static_cast<double>(d) * from / to;
            const double end = static_cast<double>(d + 1) * from / to;
            const int last = std::min(from, static_cast<int>(std::ceil(end)));
            for (int s = static_cast<int>(std::floor(begin)); s < last; ++s) {
                const double overlap = std::min(end, s + 1.0) - std::max(begin, static_cast<double>(s));
                if (overlap > 0.0) {
                    taps[d].push_back({s, overlap / (end - begin)});
                }
            }
        } else {
            const double at = std::clamp((d + 0.5) * from / to - 0.5, 0.0, from - 1.0);
            const int s0 = static_cast<int>(std::floor(at));
            const int s1 = std::min(s0 + 1, from - 1);
            const double t = at - s0;
            taps[d].push_back({s0, 1.0 - t});
            if (t > 0.0) {
                taps[d].push_back({s1, t});
            }
        }
    }
    return taps;
}

// Float elevation models mark a sample without data by NaN or, more often,
// by the lowest float (-3.4028235e38): anything that low is no elevation.
const float kNoValueAtOrBelow = -1e38f;

bool HasValue(float value)
{
    return !std::isnan(value) && value > kNoValueAtOrBelow;
}

// A sample without a value lies at the bottom.
double Level(float value)
{
    return HasValue(value) ? value : 0.0;
}

}  // namespace

int MapSizeForPicture(int width, int height)
{
    const int longer = std::max(width, height);
    int size = 16;
    while (size < longer && IsMapFileSize(size * 2)) {
        size *= 2;
    }
    return size;
}

std::vector<double> HeightsFromLuminance(const LuminanceImage& image, int width, int height)
{
    const std::vector<std::vector<Tap>> across = AxisTaps(image.width, width);
    const std::vector<std::vector<Tap>> down = AxisTaps(image.height, height);
    // Along the rows first, then down the columns.
    std::vector<double> rows(static_cast<std::size_t>(image.height) * width);
    for (int y = 0; y < image.height; ++y) {
        const float* line = &image.values[static_cast<std::size_t>(y) * image.width];
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (const Tap& tap : across[x]) {
                sum += tap.weight * Level(line[tap.source]);
            }
            rows[static_cast<std::size_t>(y) * width + x] = sum;
        }
    }
    std::vector<double> heights(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (const Tap& tap : down[y]) {
                sum += tap.weight * rows[static_cast<std::size_t>(tap.source) * width + x];
            }
            const double value = std::clamp(sum * kHeightmapTop, 0.0, kHeightmapTop);
            heights[static_cast<std::size_t>(y) * width + (width - 1 - x)] = value;
        }
    }
    return heights;
}

LuminanceRange ValueRange(const LuminanceImage& image)
{
    LuminanceRange range;
    bool any = false;
    for (float value : image.values) {
        if (!HasValue(value)) {
            continue;
        }
        range.lowest = any ? std::min(range.lowest, value) : value;
        range.highest = any ? std::max(range.highest, value) : value;
        any = true;
    }
    return range;
}

bool WorthStretching(const LuminanceRange& range)
{
    if (!(range.highest > range.lowest)) {
        return false;
    }
    // In double: the floats' difference may lie beyond the float range.
    return static_cast<double>(range.highest) - range.lowest < 0.25 || range.lowest < 0.0f || range.highest > 1.0f;
}

void StretchLevels(const LuminanceRange& range, LuminanceImage* image)
{
    const double span = static_cast<double>(range.highest) - range.lowest;
    if (!(span > 0.0)) {
        return;
    }
    // In double: a picture spanning more than the float range would stretch
    // its top to infinity in float.
    for (float& value : image->values) {
        if (HasValue(value)) {
            value = static_cast<float>((static_cast<double>(value) - range.lowest) / span);
        }
    }
}

std::vector<unsigned short> HeightmapSamples(const std::vector<double>& heights, int width, int height)
{
    std::vector<unsigned short> samples(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double h = heights[static_cast<std::size_t>(y) * width + (width - 1 - x)];
            const double kept = std::isfinite(h) ? std::clamp(h, 0.0, kHeightmapTop) : 0.0;
            const double level = std::round(kept / kHeightmapTop * 65535.0);
            samples[static_cast<std::size_t>(y) * width + x] = static_cast<unsigned short>(level);
        }
    }
    return samples;
}

ImageError DecodeHeightmap(const unsigned char* bytes, std::size_t size, int width, int height,
                           std::vector<double>* heights)
{
    LuminanceImage image;
    const ImageError error = DecodeLuminance(bytes, size, &image);
    if (error != ImageError::None) {
        return error;
    }
    *heights = HeightsFromLuminance(image, width, height);
    return ImageError::None;
}

ImageError EncodeHeightmap(const std::vector<double>& heights, int width, int height, std::vector<unsigned char>* png)
{
    if (width <= 0 || height <= 0 || heights.size() != static_cast<std::size_t>(width) * height) {
        return ImageError::CannotEncode;
    }
    const std::vector<unsigned short> samples = HeightmapSamples(heights, width, height);
    return EncodeGrey16Png(samples.data(), width, height, png);
}
