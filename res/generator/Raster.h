#pragma once

// Pictures in memory and drawing on tiles. Drawing wraps at the edges, so a
// stroke that leaves a tile on one side comes back on the other and the tile
// stays seamless.

#include "Colour.h"
#include "Noise.h"

#include <cstddef>
#include <vector>

// The side of a map chip, in pixels.
constexpr int kTile = 128;

struct Image {
    Image() = default;
    Image(int width, int height)
        : w(width),
          h(height),
          pixels(static_cast<size_t>(width) * height),
          alpha(static_cast<size_t>(width) * height, 1.0)
    {
    }

    Rgb& At(int x, int y) { return pixels[static_cast<size_t>(WrapIndex(y, h)) * w + WrapIndex(x, w)]; }
    const Rgb& At(int x, int y) const { return pixels[static_cast<size_t>(WrapIndex(y, h)) * w + WrapIndex(x, w)]; }
    double& AlphaAt(int x, int y) { return alpha[static_cast<size_t>(WrapIndex(y, h)) * w + WrapIndex(x, w)]; }
    double AlphaAt(int x, int y) const { return alpha[static_cast<size_t>(WrapIndex(y, h)) * w + WrapIndex(x, w)]; }

    int w = 0;
    int h = 0;
    std::vector<Rgb> pixels;
    std::vector<double> alpha;
};

// Heights of a tile's pixels, in pixels.
struct HeightMap {
    HeightMap() : values(static_cast<size_t>(kTile) * kTile, 0.0) {}
    double& At(int x, int y) { return values[static_cast<size_t>(WrapIndex(y, kTile)) * kTile + WrapIndex(x, kTile)]; }
    double At(int x, int y) const
    {
        return values[static_cast<size_t>(WrapIndex(y, kTile)) * kTile + WrapIndex(x, kTile)];
    }
    std::vector<double> values;
};

template <typename Fn>
void ForEachPixel(int w, int h, Fn fn)
{
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            fn(x, y);
        }
    }
}

// The centre of pixel column (or row) x across a tile, from 0 to 1.
inline double U(int x)
{
    return (x + 0.5) / kTile;
}

// Voronoi over one tile at pixel (x, y), with its distances in pixels.
VoronoiHit TileVoronoi(int x, int y, int cells, double jitter, uint32_t seed, double rowShift = 0.0);

// A segment of the given width, its colour running from c0 at the start to c1 at the end.
void DrawStroke(Image& img, double x0, double y0, double x1, double y1, double width, Rgb c0, Rgb c1, double opacity);
void DrawDisc(Image& img, double cx, double cy, double radius, Rgb colour, double opacity);
// A pointed leaf with a darker midrib, its length along the angle.
void DrawLeaf(Image& img, double cx, double cy, double length, double width, double angle, Rgb colour, Rgb vein,
              double opacity);

// Whatever lies on the ground casts a soft shadow down and to the right, away
// from the light in the upper left; the shadow is drawn first, then the thing.
struct Shadow {
    double dx;
    double dy;
    double size;  // width of a stroke or a leaf, radius of a disc
    double opacity;
    Rgb colour;
};
void DrawShadowedStroke(Image& img, double x0, double y0, double x1, double y1, double width, Rgb c0, Rgb c1,
                        const Shadow& shadow);
void DrawShadowedDisc(Image& img, double cx, double cy, double radius, Rgb colour, const Shadow& shadow);
void DrawShadowedLeaf(Image& img, double cx, double cy, double length, double width, double angle, Rgb colour, Rgb vein,
                      const Shadow& shadow);

// Calls place(i, x, y) for `count` points that rng spreads over a tile, in
// order, so later points are drawn on top of earlier ones.
template <typename Fn>
void Scatter(Rng& rng, int count, Fn place)
{
    for (int i = 0; i < count; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        place(i, x, y);
    }
}

// Shades a tile by the slope of its height field, lit from the upper left like every other tile so that
// neighbouring chips agree.
void ApplyRelief(Image& img, const HeightMap& height, double amount);
void AddGrain(Image& img, double amount, uint32_t seed);

// The colour and the height of the ground at one pixel.
struct GroundSample {
    Rgb colour;
    double height;
};

// A tile whose pixels sample(x, y) paints, shaded by ApplyRelief with `relief`.
template <typename SampleFn>
Image ReliefTile(double relief, SampleFn sample)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const GroundSample ground = sample(x, y);
        img.At(x, y) = ground.colour;
        height.At(x, y) = ground.height;
    });
    ApplyRelief(img, height, relief);
    return img;
}

// A flat tile between two colours, mottled by tile noise: 0.5 + contrast * noise
// of `cells` cells and `octaves` octaves picks the mix.
Image MottledTile(Rgb dark, Rgb light, double contrast, int cells, int octaves, uint32_t seed);

// Blends b over a with a mask from 0 (all a) to 1 (all b).
template <typename MaskFn>
Image Blend(const Image& a, const Image& b, MaskFn mask)
{
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) { out.At(x, y) = Mix(a.At(x, y), b.At(x, y), Clamp01(mask(x, y))); });
    return out;
}
