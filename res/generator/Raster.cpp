#include "Raster.h"

#include <algorithm>
#include <cmath>

VoronoiHit TileVoronoi(int x, int y, int cells, double jitter, uint32_t seed, double rowShift)
{
    const double scale = static_cast<double>(cells) / kTile;
    VoronoiHit hit = Voronoi((x + 0.5) * scale, (y + 0.5) * scale, cells, cells, jitter, seed, rowShift);
    hit.edge /= scale;
    hit.distance /= scale;
    hit.offsetX /= scale;
    hit.offsetY /= scale;
    return hit;
}

void DrawStroke(Image& img, double x0, double y0, double x1, double y1, double width, Rgb c0, Rgb c1, double opacity)
{
    const double pad = width * 0.5 + 1.0;
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - pad));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + pad));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - pad));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + pad));
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double len2 = std::max(dx * dx + dy * dy, 1e-9);
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            const double cx = px + 0.5 - x0;
            const double cy = py + 0.5 - y0;
            const double t = Clamp01((cx * dx + cy * dy) / len2);
            const double ex = cx - t * dx;
            const double ey = cy - t * dy;
            const double cover = Clamp01(width * 0.5 + 0.5 - std::sqrt(ex * ex + ey * ey));
            if (cover > 0.0) {
                Rgb& p = img.At(px, py);
                p = Mix(p, Mix(c0, c1, t), cover * opacity);
            }
        }
    }
}

void DrawDisc(Image& img, double cx, double cy, double radius, Rgb colour, double opacity)
{
    const int left = static_cast<int>(std::floor(cx - radius - 1.0));
    const int right = static_cast<int>(std::ceil(cx + radius + 1.0));
    const int top = static_cast<int>(std::floor(cy - radius - 1.0));
    const int bottom = static_cast<int>(std::ceil(cy + radius + 1.0));
    for (int py = top; py <= bottom; ++py) {
        for (int px = left; px <= right; ++px) {
            const double ex = px + 0.5 - cx;
            const double ey = py + 0.5 - cy;
            const double cover = Clamp01(radius + 0.5 - std::sqrt(ex * ex + ey * ey));
            if (cover > 0.0) {
                Rgb& p = img.At(px, py);
                p = Mix(p, colour, cover * opacity);
            }
        }
    }
}

void DrawLeaf(Image& img, double cx, double cy, double length, double width, double angle, Rgb colour, Rgb vein,
              double opacity)
{
    const double ca = std::cos(angle);
    const double sa = std::sin(angle);
    const double half = length * 0.5;
    const int reach = static_cast<int>(std::ceil(half + 2.0));
    for (int py = -reach; py <= reach; ++py) {
        for (int px = -reach; px <= reach; ++px) {
            const double ox = px + 0.5 - (cx - std::floor(cx));
            const double oy = py + 0.5 - (cy - std::floor(cy));
            const double along = (ox * ca + oy * sa) / half;
            const double across = -ox * sa + oy * ca;
            const double profile = width * 0.5 * (1.0 - along * along);
            const double cover = Clamp01(profile + 0.5 - std::fabs(across)) * Clamp01((1.0 - std::fabs(along)) * half);
            if (cover <= 0.0) {
                continue;
            }
            Rgb c = colour * (1.0 + 0.12 * across / std::max(width * 0.5, 0.5));
            if (std::fabs(across) < 0.45 && std::fabs(along) < 0.9) {
                c = Mix(c, vein, 0.6);
            }
            Rgb& p = img.At(static_cast<int>(std::floor(cx)) + px, static_cast<int>(std::floor(cy)) + py);
            p = Mix(p, c, cover * opacity);
        }
    }
}

void DrawShadowedStroke(Image& img, double x0, double y0, double x1, double y1, double width, Rgb c0, Rgb c1,
                        const Shadow& shadow)
{
    DrawStroke(img, x0 + shadow.dx, y0 + shadow.dy, x1 + shadow.dx, y1 + shadow.dy, shadow.size, shadow.colour,
               shadow.colour, shadow.opacity);
    DrawStroke(img, x0, y0, x1, y1, width, c0, c1, 1.0);
}

void DrawShadowedDisc(Image& img, double cx, double cy, double radius, Rgb colour, const Shadow& shadow)
{
    DrawDisc(img, cx + shadow.dx, cy + shadow.dy, shadow.size, shadow.colour, shadow.opacity);
    DrawDisc(img, cx, cy, radius, colour, 1.0);
}

void DrawShadowedLeaf(Image& img, double cx, double cy, double length, double width, double angle, Rgb colour, Rgb vein,
                      const Shadow& shadow)
{
    DrawLeaf(img, cx + shadow.dx, cy + shadow.dy, length, shadow.size, angle, shadow.colour, shadow.colour,
             shadow.opacity);
    DrawLeaf(img, cx, cy, length, width, angle, colour, vein, 1.0);
}

void ApplyRelief(Image& img, const HeightMap& height, double amount)
{
    const double lx = -0.5;
    const double ly = -0.55;
    const double lz = 0.67;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double gx = (height.At(x + 1, y) - height.At(x - 1, y)) * 0.5;
            const double gy = (height.At(x, y + 1) - height.At(x, y - 1)) * 0.5;
            const double nl = std::sqrt(gx * gx + gy * gy + 1.0);
            const double lambert = (-gx * lx - gy * ly + lz) / (nl * ll);
            const double flat = lz / ll;
            const double shade = std::clamp(1.0 + amount * (lambert / flat - 1.0), 0.25, 1.7);
            img.At(x, y) = img.At(x, y) * shade;
        }
    }
}

void AddGrain(Image& img, double amount, uint32_t seed)
{
    ForEachPixel(kTile, kTile,
                 [&](int x, int y) { img.At(x, y) = img.At(x, y) * (1.0 + amount * PixelGrain(x, y, seed)); });
}

Image MottledTile(Rgb dark, Rgb light, double contrast, int cells, int octaves, uint32_t seed)
{
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        img.At(x, y) = Mix(dark, light, Clamp01(0.5 + contrast * TileFbm(U(x), U(y), cells, octaves, seed)));
    });
    return img;
}
