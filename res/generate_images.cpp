// Draws the program's built-in pictures (the map-chip atlas, the sky panorama and the small icon) and the sample
// textures that live in data/. Everything comes from integer hashes and a small generator of our own, so every run
// writes the same bytes and the repository needs to carry no large binaries.
//
//   generate_images OUTDIR           writes OUTDIR/mapchip.bmp, OUTDIR/background.bmp, OUTDIR/smallicon.ico
//   generate_images --data DATADIR   writes DATADIR/effect.dds, DATADIR/planetexture.dds, DATADIR/billboard.dds

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTile = 128;
constexpr int kAtlasColumns = 8;
constexpr int kAtlasRows = 4;

// Colour arithmetic. Colours are display values from 0 to 1; they are clamped only when written out.

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator-(Rgb a, Rgb b)
{
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
Rgb operator*(Rgb a, double s)
{
    return {a.r * s, a.g * s, a.b * s};
}
Rgb operator*(Rgb a, Rgb b)
{
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

Rgb Mix(Rgb a, Rgb b, double t)
{
    return a + (b - a) * t;
}

// 0xRRGGBB, the way colours are picked in a paint program.
Rgb Hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

double Clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

double Lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

uint8_t ToByte(double v)
{
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0));
}

// Hashing and random numbers. Library distributions differ between standard libraries, so none are used.

uint32_t Scramble(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

uint32_t HashCell(int x, int y, uint32_t seed)
{
    return Scramble(static_cast<uint32_t>(x) * 0x8da6b343U ^ static_cast<uint32_t>(y) * 0xd8163841U ^
                    seed * 0xcb1ab31fU);
}

double UnitFromHash(uint32_t h)
{
    return (h >> 8) * (1.0 / 16777216.0);
}

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}

    uint64_t Next()
    {
        m_state += 0x9E3779B97F4A7C15ULL;
        uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t m_state;
};

// Noise. Lattices wrap after a whole number of cells, so anything built from them repeats without a seam: a tile
// across its 128 pixels, the panorama around the horizon.

int WrapIndex(int i, int period)
{
    if ((period & (period - 1)) == 0) {
        return i & (period - 1);
    }
    const int m = i % period;
    return m < 0 ? m + period : m;
}

const double kGradX[16] = {1.0,  0.9238795,  0.7071068,  0.3826834,  0.0, -0.3826834, -0.7071068, -0.9238795,
                           -1.0, -0.9238795, -0.7071068, -0.3826834, 0.0, 0.3826834,  0.7071068,  0.9238795};
const double kGradY[16] = {0.0, 0.3826834,  0.7071068,  0.9238795,  1.0,  0.9238795,  0.7071068,  0.3826834,
                           0.0, -0.3826834, -0.7071068, -0.9238795, -1.0, -0.9238795, -0.7071068, -0.3826834};

double Fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

// Gradient noise in about -1..1 on a lattice of periodX x periodY cells.
double Noise(double x, double y, int periodX, int periodY, uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double dx = x - fx;
    const double dy = y - fy;
    const int x0 = WrapIndex(ix, periodX);
    const int x1 = WrapIndex(ix + 1, periodX);
    const int y0 = WrapIndex(iy, periodY);
    const int y1 = WrapIndex(iy + 1, periodY);
    auto corner = [seed](int cx, int cy, double ox, double oy) {
        const uint32_t h = HashCell(cx, cy, seed) & 15U;
        return kGradX[h] * ox + kGradY[h] * oy;
    };
    const double n00 = corner(x0, y0, dx, dy);
    const double n10 = corner(x1, y0, dx - 1.0, dy);
    const double n01 = corner(x0, y1, dx, dy - 1.0);
    const double n11 = corner(x1, y1, dx - 1.0, dy - 1.0);
    const double u = Fade(dx);
    const double v = Fade(dy);
    return Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v) * 1.4;
}

// Octaves of noise over one tile; u and v run 0..1 across the tile and the result repeats with period 1.
double TileFbm(double u, double v, int cells, int octaves, uint32_t seed, double gain = 0.5)
{
    double sum = 0.0;
    double amplitude = 1.0;
    double norm = 0.0;
    int c = cells;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * Noise(u * c, v * c, c, c, seed + static_cast<uint32_t>(o) * 1013U);
        norm += amplitude;
        amplitude *= gain;
        c *= 2;
    }
    return sum / norm * 1.6;
}

// Octaves over an unbounded plane, dropping the octaves finer than the pixel footprint so that far
// clouds and fields don't turn into grain.
double PlaneFbm(double x, double y, int octaves, double footprint, uint32_t seed)
{
    constexpr int kBig = 1 << 20;
    double sum = 0.0;
    double amplitude = 1.0;
    double norm = 0.0;
    double frequency = 1.0;
    for (int o = 0; o < octaves; ++o) {
        const double weight = Clamp01(1.5 - frequency * footprint * 2.5);
        if (weight <= 0.0) {
            norm += amplitude;
        } else {
            sum += amplitude * weight *
                   Noise(x * frequency + 517.0, y * frequency + 311.0, kBig, kBig,
                         seed + static_cast<uint32_t>(o) * 7919U);
            norm += amplitude;
        }
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    return sum / norm * 1.6;
}

struct VoronoiHit {
    double edge = 0.0;      // distance to the nearest cell border, in cells
    double distance = 0.0;  // distance to the own feature point, in cells
    uint32_t id = 0;        // hash of the cell, the same for every pixel of one stone or plate
    double offsetX = 0.0;   // pixel position relative to the own feature point, in cells
    double offsetY = 0.0;
};

// Cellular noise with one jittered feature point per lattice cell; rowShift moves odd rows by half a cell,
// which turns squares into near-hexagons.
VoronoiHit Voronoi(double x, double y, int periodX, int periodY, double jitter, uint32_t seed, double rowShift = 0.0)
{
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    auto feature = [&](int cx, int cy, double& px, double& py) {
        const uint32_t h = HashCell(WrapIndex(cx, periodX), WrapIndex(cy, periodY), seed);
        const double shift = (WrapIndex(cy, 2) == 1) ? rowShift : 0.0;
        px = cx + 0.5 + shift + jitter * (UnitFromHash(h) - 0.5);
        py = cy + 0.5 + jitter * (UnitFromHash(Scramble(h)) - 0.5);
        return h;
    };
    VoronoiHit hit;
    double best = 1e30;
    double nearX = 0.0;
    double nearY = 0.0;
    int nearCellX = ix;
    int nearCellY = iy;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -2; dx <= 1; ++dx) {
            double px = 0.0;
            double py = 0.0;
            const uint32_t h = feature(ix + dx, iy + dy, px, py);
            const double d2 = (px - x) * (px - x) + (py - y) * (py - y);
            if (d2 < best) {
                best = d2;
                nearX = px;
                nearY = py;
                nearCellX = ix + dx;
                nearCellY = iy + dy;
                hit.id = h;
            }
        }
    }
    hit.distance = std::sqrt(best);
    hit.offsetX = x - nearX;
    hit.offsetY = y - nearY;
    double edge = 1e30;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (dx == 0 && dy == 0) {
                continue;
            }
            double px = 0.0;
            double py = 0.0;
            feature(nearCellX + dx, nearCellY + dy, px, py);
            const double ex = px - nearX;
            const double ey = py - nearY;
            const double len = std::sqrt(ex * ex + ey * ey);
            if (len < 1e-9) {
                continue;
            }
            const double mx = (px + nearX) * 0.5 - x;
            const double my = (py + nearY) * 0.5 - y;
            edge = std::min(edge, (mx * ex + my * ey) / len);
        }
    }
    hit.edge = edge;
    return hit;
}

// Voronoi over one tile at pixel (x, y), with its distances in pixels.
VoronoiHit TileVoronoi(int x, int y, int cells, double jitter, uint32_t seed, double rowShift = 0.0)
{
    const double scale = static_cast<double>(cells) / kTile;
    VoronoiHit hit = Voronoi((x + 0.5) * scale, (y + 0.5) * scale, cells, cells, jitter, seed, rowShift);
    hit.edge /= scale;
    hit.distance /= scale;
    hit.offsetX /= scale;
    hit.offsetY /= scale;
    return hit;
}

// Pictures in memory and drawing on tiles. Drawing wraps at the edges, so a stroke that leaves a tile on one side
// comes back on the other and the tile stays seamless.

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

// A segment of the given width, its colour running from c0 at the start to c1 at the end.
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

// A pointed leaf with a darker midrib, its length along the angle.
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

// Shades a tile by the slope of its height field, lit from the upper left like every other tile so that
// neighbouring chips agree. Heights are in pixels.
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

double PixelGrain(int x, int y, uint32_t seed)
{
    return UnitFromHash(HashCell(x, y, seed)) - 0.5;
}

void AddGrain(Image& img, double amount, uint32_t seed)
{
    ForEachPixel(kTile, kTile,
                 [&](int x, int y) { img.At(x, y) = img.At(x, y) * (1.0 + amount * PixelGrain(x, y, seed)); });
}

// Blends b over a with a mask from 0 (all a) to 1 (all b).
template <typename MaskFn>
Image Blend(const Image& a, const Image& b, MaskFn mask)
{
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) { out.At(x, y) = Mix(a.At(x, y), b.At(x, y), Clamp01(mask(x, y))); });
    return out;
}

double U(int x)
{
    return (x + 0.5) / kTile;
}

// Ground materials, one function per kind of ground.

struct GrassStyle {
    Rgb ground;
    Rgb dark;
    Rgb light;
    Rgb tint;
    double tintAmount;
    int blades;
    double minLength;
    double maxLength;
    double width;
};

Image DrawGrass(const GrassStyle& s, uint32_t seed)
{
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double n = TileFbm(U(x), U(y), 4, 4, seed);
        img.At(x, y) = Mix(s.ground, s.dark, 0.55 + 0.35 * n);
    });
    Rng rng(seed);
    for (int i = 0; i < s.blades; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        // Seen from above, blades lie every way, though most along one axis, like grass the wind has combed.
        const double angle = -kPi * 0.5 + rng.Range(-1.1, 1.1) + (rng.Below(3) == 0 ? kPi : 0.0);
        const double length = rng.Range(s.minLength, s.maxLength);
        const double patch = 0.5 + 0.5 * TileFbm(x / kTile, y / kTile, 3, 3, seed ^ 0x51EDU);
        Rgb c = Mix(s.dark, s.light, rng.Uniform());
        c = Mix(c, s.tint, Clamp01(patch * patch * s.tintAmount * 1.6) * rng.Uniform());
        // Later blades lie on top and catch more light.
        const double depth = 0.72 + 0.4 * static_cast<double>(i) / s.blades;
        c = c * depth;
        const double ex = x + std::cos(angle) * length;
        const double ey = y + std::sin(angle) * length;
        DrawStroke(img, x + 0.7, y + 0.9, ex + 0.7, ey + 0.9, s.width + 0.5, Hex(0x000000), Hex(0x000000), 0.18);
        DrawStroke(img, x, y, ex, ey, s.width, c * 0.8, c * 1.12, 1.0);
    }
    return img;
}

GrassStyle MeadowGrass()
{
    return {Hex(0x2c4a16), Hex(0x3f7a22), Hex(0x8cc04a), Hex(0xa9b84a), 0.35, 5200, 4.0, 9.0, 1.1};
}

struct SoilStyle {
    Rgb dark;
    Rgb light;
    Rgb stone;
    int pebbles;
    double grain;
    double relief;
};

Image DrawSoil(const SoilStyle& s, uint32_t seed)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double broad = TileFbm(U(x), U(y), 3, 4, seed);
        const double fine = TileFbm(U(x), U(y), 16, 3, seed + 11U);
        const double clods = 1.0 - Clamp01(TileVoronoi(x, y, 20, 0.9, seed + 5U).edge / 2.5);
        img.At(x, y) = Mix(s.dark, s.light, Clamp01(0.5 + 0.45 * broad + 0.25 * fine - 0.15 * clods));
        height.At(x, y) = 3.0 * broad + 1.4 * fine - 0.8 * clods;
    });
    ApplyRelief(img, height, s.relief);
    AddGrain(img, s.grain, seed + 3U);
    Rng rng(seed + 99U);
    for (int i = 0; i < s.pebbles; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double r = rng.Range(0.6, 2.2);
        const Rgb c = s.stone * rng.Range(0.75, 1.2);
        DrawDisc(img, x + 0.6, y + 0.7, r, Hex(0x000000), 0.35);
        DrawDisc(img, x, y, r, c, 1.0);
        DrawDisc(img, x - r * 0.3, y - r * 0.3, r * 0.45, c * 1.15, 0.5);
    }
    return img;
}

SoilStyle DirtStyle()
{
    return {Hex(0x4a3322), Hex(0x8a6444), Hex(0x6e6256), 70, 0.18, 0.8};
}
SoilStyle PathStyle()
{
    return {Hex(0x8a6c4a), Hex(0xc8a878), Hex(0x8a8074), 110, 0.14, 0.6};
}

Image DrawSand(uint32_t seed)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double warp = TileFbm(U(x), U(y), 2, 3, seed);
        const double ripple = std::sin(2.0 * kPi * (7.0 * U(y) + 1.0 * U(x) + 0.45 * warp));
        const double tone = TileFbm(U(x), U(y), 4, 4, seed + 7U);
        img.At(x, y) = Mix(Hex(0xc9ad7c), Hex(0xe8d6a8), Clamp01(0.55 + 0.35 * tone + 0.08 * ripple));
        height.At(x, y) = 1.6 * ripple + 1.0 * tone;
    });
    ApplyRelief(img, height, 0.55);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double g = PixelGrain(x, y, seed + 1U);
        Rgb& p = img.At(x, y);
        p = p * (1.0 + 0.16 * g);
        if (g > 0.485) {
            p = Mix(p, Hex(0x7a6a58), 0.6);  // a dark grain now and then
        }
    });
    return img;
}

Image DrawSnow(uint32_t seed)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        height.At(x, y) = 4.0 * TileFbm(U(x), U(y), 2, 5, seed) + 0.4 * TileFbm(U(x), U(y), 16, 2, seed + 3U);
        img.At(x, y) = Hex(0xf2f5fa);
    });
    ApplyRelief(img, height, 0.7);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        Rgb& p = img.At(x, y);
        // Snow in shade turns blue rather than grey.
        const double lum = (p.r + p.g + p.b) / 3.0;
        if (lum < 0.95) {
            p = Mix(Hex(0xa9bdd9), p, Clamp01((lum - 0.55) / 0.4));
        }
        p = p * (1.0 + 0.04 * PixelGrain(x, y, seed + 8U));
        if (PixelGrain(x, y, seed + 9U) > 0.494) {
            p = Hex(0xffffff);
        }
    });
    return img;
}

// Waves of whole wave numbers, so the surface repeats with the tile.
double WaveHeight(double u, double v, uint32_t seed)
{
    const double w1 = std::sin(2.0 * kPi * (3.0 * u + 5.0 * v) + 1.3);
    const double w2 = std::sin(2.0 * kPi * (-4.0 * u + 3.0 * v) + 0.4);
    const double w3 = std::sin(2.0 * kPi * (7.0 * u - 2.0 * v) + 2.2);
    return 0.14 * w1 + 0.12 * w2 + 0.08 * w3 + 1.3 * TileFbm(u, v, 4, 4, seed) + 0.6 * TileFbm(u, v, 8, 3, seed + 1U);
}

struct WaterLook {
    Rgb deep;
    Rgb sky;
    double waves;
    double sparkle;
};

// Water seen from above: the colour of the depth, the sky mirrored where the waves tilt, and glints of the sun.
Image DrawWaterSurface(const WaterLook& look, uint32_t seed)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) { height.At(x, y) = look.waves * WaveHeight(U(x), U(y), seed); });
    const double lx = -0.42;
    const double ly = -0.55;
    const double lz = 0.72;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double gx = (height.At(x + 1, y) - height.At(x - 1, y)) * 0.5;
        const double gy = (height.At(x, y + 1) - height.At(x, y - 1)) * 0.5;
        const double nl = std::sqrt(gx * gx + gy * gy + 1.0);
        const double nx = -gx / nl;
        const double ny = -gy / nl;
        const double nz = 1.0 / nl;
        // Mirror the view (straight down) about the normal and compare with the light.
        const double rx = 2.0 * nz * nx;
        const double ry = 2.0 * nz * ny;
        const double rz = 2.0 * nz * nz - 1.0;
        const double spec = std::pow(std::max(0.0, rx * lx + ry * ly + rz * lz), 120.0);
        const double tilt = Clamp01(0.25 + 1.8 * (nx * lx + ny * ly) + 0.6 * (1.0 - nz));
        Rgb c = Mix(look.deep, look.sky, tilt);
        c = c + Hex(0xffffff) * (spec * look.sparkle);
        img.At(x, y) = c;
    });
    return img;
}

Image DrawDeepWater(uint32_t seed)
{
    return DrawWaterSurface({Hex(0x123e6e), Hex(0x6a9cc4), 2.0, 0.8}, seed);
}

Image DrawShallowWater(const Image& sand, uint32_t seed)
{
    const Image surface = DrawWaterSurface({Hex(0x1f7f86), Hex(0x7cc4c6), 0.6, 0.6}, seed);
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        // Light focused by the ripples draws a bright net on the bottom.
        const double wx = 0.5 * TileFbm(U(x), U(y), 3, 2, seed + 5U);
        const double wy = 0.5 * TileFbm(U(x), U(y), 3, 2, seed + 15U);
        const VoronoiHit cell = Voronoi(U(x) * 6.0 + wx, U(y) * 6.0 + wy, 6, 6, 0.9, seed + 6U);
        const double caustic = std::pow(1.0 - Clamp01(cell.edge * 10.0), 3.0) *
                               (0.5 + 0.5 * SmoothStep(-0.3, 0.3, TileFbm(U(x), U(y), 4, 2, seed + 25U)));
        const Rgb bottom = sand.At(x, y) * Rgb{0.55, 0.78, 0.74} + Hex(0xd8f0e8) * (0.25 * caustic);
        img.At(x, y) = Mix(bottom, surface.At(x, y), 0.5);
    });
    return img;
}

// The 32 chips. Row 0: grasses and plants; row 1: soils; row 2: stone, built ground and crops;
// row 3: paths, water, snow, ice and lava.

Image ChipGrass()
{
    return DrawGrass(MeadowGrass(), 101U);
}

Image ChipLushGrass()
{
    return DrawGrass({Hex(0x10260c), Hex(0x1f5216), Hex(0x4f9a2c), Hex(0x2f7a3a), 0.3, 6200, 5.0, 11.0, 1.2}, 102U);
}

Image ChipDryGrass()
{
    return DrawGrass({Hex(0x5a4a28), Hex(0x8a7a40), Hex(0xd6c27a), Hex(0x9a9a48), 0.5, 5200, 5.0, 10.0, 1.0}, 103U);
}

Image ChipFlowerMeadow()
{
    Image img = DrawGrass({Hex(0x2e4c18), Hex(0x4a8428), Hex(0x9cc858), Hex(0xb8c050), 0.3, 4600, 4.0, 8.0, 1.1}, 104U);
    Rng rng(1104U);
    const Rgb petals[4] = {Hex(0xfbfbf4), Hex(0xf6d23a), Hex(0xd86aa8), Hex(0x9a6ad0)};
    for (int i = 0; i < 520; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        // Flowers grow in drifts, one kind mostly in each.
        const double drift = TileFbm(x / kTile, y / kTile, 3, 3, 2104U);
        if (rng.Uniform() > 0.3 + SmoothStep(-0.2, 0.4, drift) * 0.7) {
            continue;
        }
        const uint32_t driftKind = HashCell(static_cast<int>(x / 32.0), static_cast<int>(y / 32.0), 3104U);
        const int kind = (rng.Below(3) == 0) ? rng.Below(4) : static_cast<int>(UnitFromHash(driftKind) * 4.0);
        const Rgb c = petals[kind] * rng.Range(0.9, 1.05);
        const double r = rng.Range(1.1, 1.6);
        DrawDisc(img, x + 1.0, y + 1.2, r * 2.0, Hex(0x0a1a05), 0.35);
        const double turn = rng.Range(0.0, kPi);
        for (int k = 0; k < 5; ++k) {
            const double a = turn + k * 2.0 * kPi / 5.0;
            DrawDisc(img, x + std::cos(a) * r * 1.2, y + std::sin(a) * r * 1.2, r * 0.75, c, 1.0);
        }
        DrawDisc(img, x, y, r * 0.6, kind == 1 ? Hex(0xc88a10) : Hex(0xf0c020), 1.0);
    }
    return img;
}

Image ChipMoss()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double cushion = TileFbm(U(x), U(y), 6, 3, 105U);
        const VoronoiHit bump = TileVoronoi(x, y, 24, 0.9, 205U);
        const double dome = Clamp01(bump.edge / 3.0);
        const double h = 0.55 + 0.45 * cushion + 0.25 * dome;
        img.At(x, y) = Mix(Hex(0x31460e), Hex(0x9fb43a), Clamp01(h + 0.12 * TileFbm(U(x), U(y), 32, 2, 305U)));
        height.At(x, y) = 6.0 * cushion + 1.6 * dome;
    });
    ApplyRelief(img, height, 1.0);
    AddGrain(img, 0.3, 405U);
    return img;
}

Image ChipHeather()
{
    Image img = DrawGrass({Hex(0x2a2418), Hex(0x3e4a2a), Hex(0x6c7a48), Hex(0x5a4a3a), 0.4, 3000, 3.0, 6.0, 1.0}, 106U);
    Rng rng(1106U);
    const Rgb blossoms[3] = {Hex(0x9a4c8c), Hex(0xc27ab8), Hex(0x7a3a78)};
    for (int i = 0; i < 5200; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double density = 0.5 + 0.5 * TileFbm(x / kTile, y / kTile, 4, 3, 2106U);
        if (rng.Uniform() > density * 1.3) {
            continue;
        }
        const Rgb c = blossoms[rng.Below(3)] * rng.Range(0.8, 1.15);
        DrawDisc(img, x + 0.5, y + 0.6, 0.9, Hex(0x100a10), 0.3);
        DrawDisc(img, x, y, rng.Range(0.55, 1.0), c, 1.0);
    }
    return img;
}

Image ChipSwamp()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double n = TileFbm(U(x), U(y), 3, 5, 107U);
        img.At(x, y) = Mix(Hex(0x2e2a1a), Hex(0x5a5030), Clamp01(0.5 + 0.6 * n));
        height.At(x, y) = 3.0 * n;
    });
    ApplyRelief(img, height, 0.7);
    Rng rng(1107U);
    for (int i = 0; i < 2600; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(4.0, 10.0);
        const Rgb c = Mix(Hex(0x4a5220), Hex(0x8a8a3a), rng.Uniform());
        DrawStroke(img, x, y, x + std::cos(angle) * len, y + std::sin(angle) * len, 1.0, c * 0.8, c, 1.0);
    }
    // Pools of still, dark water with floating weed.
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double n = TileFbm(U(x), U(y), 3, 5, 107U) + 0.15 * TileFbm(U(x), U(y), 12, 2, 507U);
        const double pool = SmoothStep(-0.05, -0.18, n);
        Rgb water = Mix(Hex(0x1c2620), Hex(0x4a5a58), Clamp01(0.4 + 0.5 * TileFbm(U(x), U(y), 2, 2, 607U)));
        const double weed = SmoothStep(0.25, 0.45, TileFbm(U(x), U(y), 16, 2, 707U));
        water = Mix(water, Hex(0x6a8a2a), weed * 0.85);
        out.At(x, y) = Mix(img.At(x, y), water, pool);
    });
    return out;
}

Image ChipSnowyGrass(const Image& grass, const Image& snow)
{
    return Blend(grass, snow,
                 [](int x, int y) { return SmoothStep(-0.12, 0.08, TileFbm(U(x), U(y), 3, 5, 108U) + 0.15); });
}

Image ChipDirt()
{
    return DrawSoil(DirtStyle(), 201U);
}

Image ChipMud()
{
    Image img = DrawSoil({Hex(0x2a1e14), Hex(0x5c4430), Hex(0x4a4036), 0, 0.1, 0.9}, 202U);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double n = TileFbm(U(x), U(y), 4, 4, 302U);
        const double puddle = SmoothStep(0.2, 0.27, n);
        const double wet = SmoothStep(-0.2, 0.25, n);
        const double rim = std::exp(-std::pow((n - 0.19) / 0.04, 2.0));
        Rgb& p = img.At(x, y);
        p = p * (1.0 - 0.25 * wet - 0.25 * rim);  // wet ground turns darker, most of all at the water's edge
        // Muddy water: brown, with a dull reflection of the sky that brightens away from the near bank.
        const double skyLight = Clamp01(0.2 + 0.9 * TileFbm(U(x), U(y), 2, 3, 402U) + 2.0 * (n - 0.25));
        const Rgb water = Mix(Hex(0x2a2016), Hex(0x5e5a50), skyLight);
        p = Mix(p, water, puddle * 0.92);
        const double sheen = SmoothStep(0.55, 0.75, TileFbm(U(x), U(y), 16, 2, 502U)) * wet;
        p = p + Hex(0x706a60) * (sheen * 0.5);
    });
    return img;
}

Image ChipTilledField()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double warp = TileFbm(U(x), U(y), 2, 2, 203U);
        const double furrow = std::cos(2.0 * kPi * (8.0 * U(y) + 0.12 * warp));
        const double clods = TileFbm(U(x), U(y), 16, 3, 303U);
        const double h = 0.5 + 0.5 * furrow;
        img.At(x, y) = Mix(Hex(0x503a2a), Hex(0xa0805e), Clamp01(0.3 + 0.5 * h + 0.35 * clods));
        height.At(x, y) = 3.0 * furrow + 2.0 * clods;
    });
    ApplyRelief(img, height, 0.8);
    AddGrain(img, 0.2, 403U);
    return img;
}

Image ChipForestFloor()
{
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        img.At(x, y) = Mix(Hex(0x1e140c), Hex(0x4a3420), Clamp01(0.5 + 0.6 * TileFbm(U(x), U(y), 4, 4, 204U)));
    });
    Rng rng(1204U);
    const Rgb needles[4] = {Hex(0x8a5a2c), Hex(0x6a4428), Hex(0xa07a4a), Hex(0x4a3420)};
    for (int i = 0; i < 3600; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(4.0, 9.0);
        const Rgb c = needles[rng.Below(4)] * (0.7 + 0.5 * i / 3600.0);
        const double ex = x + std::cos(angle) * len;
        const double ey = y + std::sin(angle) * len;
        DrawStroke(img, x + 0.6, y + 0.7, ex + 0.6, ey + 0.7, 1.0, Hex(0x000000), Hex(0x000000), 0.2);
        DrawStroke(img, x, y, ex, ey, 0.7, c, c * 1.1, 1.0);
    }
    for (int i = 0; i < 9; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(14.0, 28.0);
        const double ex = x + std::cos(angle) * len;
        const double ey = y + std::sin(angle) * len;
        DrawStroke(img, x + 1.0, y + 1.2, ex + 1.0, ey + 1.2, 2.6, Hex(0x000000), Hex(0x000000), 0.3);
        DrawStroke(img, x, y, ex, ey, 1.8, Hex(0x4a3222), Hex(0x6a4a30), 1.0);
    }
    // Green moss creeping over the litter.
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double m = SmoothStep(0.1, 0.5, TileFbm(U(x), U(y), 3, 4, 304U) + 0.2 * TileFbm(U(x), U(y), 16, 2, 504U));
        const Rgb moss = Mix(Hex(0x2e4a14), Hex(0x6a8a2a), Clamp01(0.5 + TileFbm(U(x), U(y), 24, 2, 404U)));
        img.At(x, y) = Mix(img.At(x, y), moss, m * 0.85);
    });
    return img;
}

Image ChipAutumnLeaves()
{
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        img.At(x, y) = Mix(Hex(0x22160c), Hex(0x4a3018), Clamp01(0.5 + 0.5 * TileFbm(U(x), U(y), 4, 3, 205U)));
    });
    Rng rng(1205U);
    const Rgb colours[6] = {Hex(0xd0601a), Hex(0xe8a020), Hex(0xb83c1a), Hex(0xf0c840), Hex(0xe8b030), Hex(0xc88a2a)};
    for (int i = 0; i < 620; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(7.0, 12.0);
        const Rgb c = colours[rng.Below(6)] * (0.65 + 0.45 * i / 620.0);
        DrawLeaf(img, x + 1.0, y + 1.2, len, len * 0.55, angle, Hex(0x0a0604), Hex(0x0a0604), 0.35);
        DrawLeaf(img, x, y, len, len * 0.55, angle, c, c * 0.7, 1.0);
    }
    return img;
}

Image ChipRedClay()
{
    Image img = DrawSoil({Hex(0x7a3620), Hex(0xd07a4a), Hex(0xa07a60), 40, 0.14, 0.7}, 206U);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const VoronoiHit crack = TileVoronoi(x, y, 4, 0.95, 306U);
        const double line = 1.0 - SmoothStep(0.3, 1.1, crack.edge);
        const double gate = SmoothStep(-0.1, 0.2, TileFbm(U(x), U(y), 4, 2, 406U));
        img.At(x, y) = img.At(x, y) * (1.0 - 0.45 * line * gate);
    });
    return img;
}

Image ChipCrackedEarth()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const VoronoiHit plate = TileVoronoi(x, y, 6, 0.95, 207U);
        const double tone = 0.85 + 0.25 * UnitFromHash(plate.id);
        const double mottle = TileFbm(U(x), U(y), 8, 3, 307U);
        Rgb c = Mix(Hex(0xa88458), Hex(0xd8b888), Clamp01(0.5 + 0.35 * mottle)) * tone;
        const double crack = 1.0 - SmoothStep(0.6, 1.6, plate.edge);
        c = Mix(c, Hex(0x3a2a1a), crack);
        img.At(x, y) = c;
        // The plates curl up at their rims as they dry.
        height.At(x, y) = -2.0 * crack + 1.6 * (1.0 - SmoothStep(1.0, 7.0, plate.edge)) + 0.8 * mottle;
    });
    ApplyRelief(img, height, 0.9);
    AddGrain(img, 0.12, 407U);
    return img;
}

struct StoneStyle {
    int cells;
    double jitter;
    double rowShift;
    double gap;        // half width of the joints, pixels
    double bevel;      // how far the rounding reaches in, pixels
    double roundness;  // 0: flat top with a bevelled rim; above 0: a dome, flatter on top the larger it is
    double domeHeight;
    Rgb joint;
    Rgb stones[4];
    double grain;
};

// Stones laid in a Voronoi pattern: cobbles, gravel, flagstones, basalt columns.
Image DrawStones(const StoneStyle& s, uint32_t seed)
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const VoronoiHit cell = TileVoronoi(x, y, s.cells, s.jitter, seed, s.rowShift);
        const double inside = SmoothStep(s.gap - 0.6, s.gap + 0.6, cell.edge);
        double round = std::sqrt(SmoothStep(s.gap, s.gap + s.bevel, cell.edge));
        if (s.roundness > 0.0) {
            // 0 at the stone's centre, 1 at its rim: a dome over this has no crease along the middle.
            const double rim = cell.distance / std::max(cell.distance + cell.edge - s.gap, 1e-6);
            round = std::sqrt(std::max(0.0, 1.0 - std::pow(Clamp01(rim), s.roundness)));
        }
        const uint32_t id = cell.id;
        const Rgb base = Mix(s.stones[id & 3U], s.stones[(id >> 2) & 3U], UnitFromHash(Scramble(id)) * 0.5) *
                         (0.85 + 0.3 * UnitFromHash(Scramble(id + 7U)));
        const double mottle = TileFbm(U(x), U(y), 16, 3, seed + 17U);
        const Rgb stone = base * (1.0 + 0.12 * mottle);
        const Rgb joint = s.joint * (1.0 + 0.25 * TileFbm(U(x), U(y), 16, 2, seed + 23U));
        img.At(x, y) = Mix(joint, stone, inside);
        height.At(x, y) = s.domeHeight * round + 0.6 * mottle;
    });
    ApplyRelief(img, height, 1.0);
    AddGrain(img, s.grain, seed + 31U);
    return img;
}

Image ChipGravel()
{
    return DrawStones({16,
                       0.95,
                       0.0,
                       0.5,
                       3.0,
                       2.0,
                       2.6,
                       Hex(0x3a3026),
                       {Hex(0xb8ac96), Hex(0xccc0a8), Hex(0x9a8e7c), Hex(0xb09a7c)},
                       0.2},
                      301U);
}

Image ChipRock()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double broad = TileFbm(U(x), U(y), 2, 6, 302U, 0.55);
        const double strata = std::sin(2.0 * kPi * (3.0 * U(y) + 1.0 * U(x) + 0.6 * broad));
        const VoronoiHit crack = TileVoronoi(x, y, 3, 0.9, 402U);
        const double line = 1.0 - SmoothStep(0.4, 1.4, crack.edge + 1.5 * TileFbm(U(x), U(y), 16, 2, 502U));
        Rgb c = Mix(Hex(0x5e5c5a), Hex(0xa4a09a), Clamp01(0.5 + 0.45 * broad + 0.08 * strata));
        const double lichen = SmoothStep(0.42, 0.55, TileFbm(U(x), U(y), 8, 3, 602U));
        c = Mix(c, Hex(0xa8a050), lichen * 0.6);
        c = Mix(c, Hex(0x24221f), line * 0.85);
        img.At(x, y) = c;
        height.At(x, y) = 7.0 * broad + 0.8 * strata - 2.0 * line;
    });
    ApplyRelief(img, height, 1.1);
    AddGrain(img, 0.14, 702U);
    return img;
}

Image ChipBasalt()
{
    return DrawStones({6,
                       0.25,
                       0.5,
                       1.0,
                       4.0,
                       0.0,
                       2.2,
                       Hex(0x0e0e10),
                       {Hex(0x3a3c42), Hex(0x4a4a4e), Hex(0x34363c), Hex(0x505058)},
                       0.18},
                      303U);
}

Image ChipCobblestone()
{
    return DrawStones({8,
                       0.8,
                       0.0,
                       1.2,
                       5.0,
                       3.0,
                       4.0,
                       Hex(0x3e3a30),
                       {Hex(0x7c828e), Hex(0x6a7280), Hex(0x8a8c92), Hex(0x5c6270)},
                       0.12},
                      304U);
}

Image ChipFlagstones()
{
    Image stones = DrawStones({4,
                               0.9,
                               0.0,
                               1.8,
                               2.5,
                               0.0,
                               1.4,
                               Hex(0x4a6a28),
                               {Hex(0xc4b8a0), Hex(0xb0a894), Hex(0xd0c2a6), Hex(0xa49c8c)},
                               0.1},
                              305U);
    // Stains and worn patches so the big slabs don't look printed.
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        stones.At(x, y) = stones.At(x, y) * (1.0 + 0.08 * TileFbm(U(x), U(y), 4, 4, 405U));
    });
    return stones;
}

Image ChipBricks()
{
    Image img(kTile, kTile);
    HeightMap height;
    constexpr int kBrickW = 32;
    constexpr int kBrickH = 16;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const int row = y / kBrickH;
        const int shifted = x + (row % 2) * (kBrickW / 2);
        const int column = (shifted / kBrickW) % (kTile / kBrickW);
        const double lx = (shifted % kBrickW) + 0.5;
        const double ly = (y % kBrickH) + 0.5;
        const double edge = std::min(std::min(lx, kBrickW - lx), std::min(ly, kBrickH - ly));
        const uint32_t id = HashCell(column, row, 306U);
        const Rgb brick =
            Mix(Hex(0x8a3a24), Hex(0xb86a44), UnitFromHash(id)) * (0.9 + 0.2 * UnitFromHash(Scramble(id)));
        const double mottle = TileFbm(U(x), U(y), 16, 3, 406U);
        const double inside = SmoothStep(0.8, 1.8, edge);
        img.At(x, y) = Mix(Hex(0x8a8070) * (1.0 + 0.2 * mottle), brick * (1.0 + 0.12 * mottle), inside);
        height.At(x, y) = 2.0 * std::sqrt(SmoothStep(1.0, 3.5, edge)) + 0.5 * mottle;
    });
    ApplyRelief(img, height, 1.0);
    AddGrain(img, 0.16, 506U);
    return img;
}

Image ChipPlanks()
{
    Image img(kTile, kTile);
    HeightMap height;
    constexpr int kPlankW = 32;
    double joints[kTile / kPlankW];
    Rng rng(1307U);
    for (double& j : joints) {
        j = rng.Range(8.0, 120.0);
    }
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const int plank = x / kPlankW;
        const double lx = (x % kPlankW) + 0.5;
        const uint32_t id = HashCell(plank, 0, 307U);
        // Grain runs along the plank; the noise only bends it, and repeats down the tile.
        const double bend = TileFbm(U(x) * 0.25 + plank * 0.25, U(y), 1, 3, 407U + plank);
        const double grain = std::sin(2.0 * kPi * (lx / 3.2 + 0.8 * bend));
        const double fine = Noise(U(x) * 96.0, U(y) * 4.0, 96, 4, 507U);
        Rgb c = Mix(Hex(0x7a5230), Hex(0xb07e4e), UnitFromHash(id)) * (1.0 + 0.07 * grain + 0.1 * fine);
        const double side = std::min(lx, kPlankW - lx);
        const double dj = std::fabs(y + 0.5 - joints[plank]);
        const double edge = std::min(side, std::min(dj, kTile - dj));
        const double gap = 1.0 - SmoothStep(0.6, 1.5, edge);
        c = Mix(c, Hex(0x1e140c), gap);
        img.At(x, y) = c;
        height.At(x, y) = 1.5 * std::sqrt(SmoothStep(0.8, 3.0, edge)) + 0.3 * grain;
    });
    ApplyRelief(img, height, 0.9);
    for (int plank = 0; plank < kTile / kPlankW; ++plank) {
        for (int side = -1; side <= 1; side += 2) {
            const double nx = plank * kPlankW + kPlankW * 0.5 + side * 9.0;
            for (int end = -1; end <= 1; end += 2) {
                const double ny = joints[plank] + end * 3.5;
                DrawDisc(img, nx, ny, 1.2, Hex(0x2a2a2c), 1.0);
                DrawDisc(img, nx - 0.4, ny - 0.4, 0.5, Hex(0x8a8a90), 0.8);
            }
        }
    }
    AddGrain(img, 0.08, 607U);
    return img;
}

Image ChipWheat()
{
    Image img(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        img.At(x, y) = Mix(Hex(0x4a3818), Hex(0x7a6028), Clamp01(0.5 + 0.5 * TileFbm(U(x), U(y), 4, 3, 308U)));
    });
    Rng rng(1308U);
    for (int i = 0; i < 2300; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        // The wind lays the ears over in one direction.
        const double angle = 0.45 + rng.Range(-0.5, 0.5);
        const double len = rng.Range(5.0, 8.0);
        const Rgb c = Mix(Hex(0xc89a48), Hex(0xf0d890), rng.Uniform()) * (0.75 + 0.35 * i / 2300.0);
        DrawLeaf(img, x + 1.0, y + 1.0, len, 2.8, angle, Hex(0x1a1206), Hex(0x1a1206), 0.3);
        DrawLeaf(img, x, y, len, 2.6, angle, c, c * 0.8, 1.0);
        const double ex = x - std::cos(angle) * len * 0.5;
        const double ey = y - std::sin(angle) * len * 0.5;
        DrawStroke(img, ex, ey, ex - std::cos(angle) * 3.0, ey - std::sin(angle) * 3.0, 0.6, c * 0.8, c * 0.8, 0.8);
    }
    return img;
}

// A path of trodden earth between grass; distance gives how far a pixel lies from the path's middle line.
template <typename DistanceFn>
Image DrawPath(const Image& grass, const Image& path, DistanceFn distance)
{
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double ragged = 5.0 * TileFbm(U(x), U(y), 8, 3, 409U);
        const double d = distance(x + 0.5, y + 0.5) + ragged;  // the edge lies where d is about 19
        const double onPath = 1.0 - SmoothStep(17.0, 21.0, d);
        const double worn = 1.0 - SmoothStep(18.0, 28.0, d);
        const Rgb edgeGrass = grass.At(x, y) * Rgb{1.0 - 0.15 * worn, 1.0 - 0.1 * worn, 1.0 - 0.25 * worn};
        out.At(x, y) = Mix(edgeGrass, path.At(x, y), onPath);
    });
    return out;
}

Image ChipPathStraight(const Image& grass, const Image& path)
{
    // It meanders a little and is trodden wider half-way, where people step aside for each other; at the tile's
    // top and bottom edges it runs straight down the middle with the common width.
    return DrawPath(grass, path, [](double x, double y) {
        const double meander = 5.0 * std::sin(2.0 * kPi * y / kTile);
        const double widening = 9.0 * std::pow(std::sin(kPi * y / kTile), 2.0);
        return std::fabs(x - kTile * 0.5 - meander) - widening;
    });
}

// Enters at the middle of the top edge and leaves at the middle of the right edge, meeting the straight path
// (turned as needed) on both.
Image ChipPathCurve(const Image& grass, const Image& path)
{
    return DrawPath(grass, path, [](double x, double y) {
        const double dx = x - kTile;
        return std::fabs(std::sqrt(dx * dx + y * y) - kTile * 0.5);
    });
}

// Sand above, shallow water below, with a wet band and foam along the line where they meet.
Image ChipShore(const Image& sand, const Image& water)
{
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double line = kTile * 0.5 + 7.0 * std::sin(2.0 * kPi * U(x) + 0.7) + 6.0 * TileFbm(U(x), 0.3, 3, 3, 310U);
        const double d = y + 0.5 - line;
        const double inWater = SmoothStep(-1.0, 1.5, d);
        const double wetSand = SmoothStep(-16.0, 0.0, d);
        Rgb c = sand.At(x, y) * (1.0 - 0.3 * wetSand);
        c = Mix(c, water.At(x, y), inWater);
        const double foamNoise = TileFbm(U(x), U(y), 16, 2, 410U);
        const double foam = std::exp(-std::pow((d - 2.0) / 2.5, 2.0)) * SmoothStep(-0.3, 0.3, foamNoise + 0.2);
        const double spray = std::exp(-std::pow((d - 9.0) / 3.0, 2.0)) * SmoothStep(0.25, 0.5, foamNoise);
        c = Mix(c, Hex(0xf4f8f6), Clamp01(foam * 0.95 + spray * 0.7));
        out.At(x, y) = c;
    });
    return out;
}

Image ChipIce()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double n = TileFbm(U(x), U(y), 3, 4, 311U);
        Rgb c = Mix(Hex(0x7ab4d2), Hex(0xcfe8f4), Clamp01(0.5 + 0.6 * n));
        const VoronoiHit big = TileVoronoi(x, y, 4, 0.95, 411U);
        const VoronoiHit small = TileVoronoi(x, y, 10, 0.95, 511U);
        const double crack = 1.0 - SmoothStep(0.1, 0.7, big.edge);
        const double fine =
            (1.0 - SmoothStep(0.1, 0.6, small.edge)) * SmoothStep(0.0, 0.3, TileFbm(U(x), U(y), 4, 2, 611U));
        const double frost = (1.0 - SmoothStep(0.0, 5.0, big.edge)) * 0.35;
        const double strength = 0.45 + 0.55 * SmoothStep(-0.3, 0.3, TileFbm(U(x), U(y), 6, 2, 711U));
        c = Mix(c, Hex(0xf2fbff), Clamp01(crack * 0.9 * strength + fine * 0.6 + frost));
        c = Mix(c, Hex(0x4a7ca0), 0.25 * (1.0 - SmoothStep(0.9, 2.2, big.edge)) * (1.0 - crack));
        img.At(x, y) = c;
        height.At(x, y) = 1.2 * n;
    });
    ApplyRelief(img, height, 0.6);
    Rng rng(1311U);
    for (int i = 0; i < 50; ++i) {
        const double x = rng.Range(0.0, kTile);
        const double y = rng.Range(0.0, kTile);
        DrawDisc(img, x, y, rng.Range(0.5, 1.5), Hex(0xffffff), 0.45);
    }
    return img;
}

Image ChipLava()
{
    Image img(kTile, kTile);
    HeightMap height;
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double wx = 6.0 * TileFbm(U(x), U(y), 3, 2, 312U);
        const double wy = 6.0 * TileFbm(U(x), U(y), 3, 2, 412U);
        const double scale = 5.0 / kTile;
        const VoronoiHit plate = Voronoi((x + 0.5 + wx) * scale, (y + 0.5 + wy) * scale, 5, 5, 0.95, 512U);
        const double edgePx = plate.edge / scale;
        const double rough = TileFbm(U(x), U(y), 16, 3, 612U);
        const double molten = SmoothStep(0.15, 0.6, TileFbm(U(x), U(y), 4, 3, 712U));
        const double heat = Clamp01(std::max(std::exp(-edgePx / 2.2), molten * 0.85) + 0.08 * rough);
        const Rgb crust = Mix(Hex(0x1a1614), Hex(0x4a3c36), Clamp01(0.5 + 0.6 * rough));
        Rgb glow;
        if (heat < 0.35) {
            glow = Mix(crust, Hex(0x8a1404), heat / 0.35);
        } else if (heat < 0.7) {
            glow = Mix(Hex(0x8a1404), Hex(0xf06010), (heat - 0.35) / 0.35);
        } else {
            glow = Mix(Hex(0xf06010), Hex(0xffe07a), (heat - 0.7) / 0.3);
        }
        img.At(x, y) = glow;
        height.At(x, y) = (1.0 - heat) * (2.5 + 1.5 * rough);
    });
    // Only the crust takes the light; the glow is its own.
    Image lit = img;
    ApplyRelief(lit, height, 1.0);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const Rgb& p = img.At(x, y);
        const double glowing = Clamp01((p.r - 0.3) * 2.0);
        img.At(x, y) = Mix(lit.At(x, y), p, glowing);
    });
    return img;
}

std::vector<Image> DrawAtlasChips()
{
    const Image grass = ChipGrass();
    const Image sand = DrawSand(215U);
    const Image snow = DrawSnow(229U);
    const Image pathGround = DrawSoil(PathStyle(), 223U);
    const Image shallow = DrawShallowWater(sand, 227U);

    std::vector<Image> chips;
    chips.reserve(kAtlasColumns * kAtlasRows);
    // Row 0
    chips.push_back(grass);                        //  0 meadow grass, the ground of a new map
    chips.push_back(ChipLushGrass());              //  1 lush dark grass
    chips.push_back(ChipDryGrass());               //  2 dry grass
    chips.push_back(ChipFlowerMeadow());           //  3 flower meadow
    chips.push_back(ChipMoss());                   //  4 moss
    chips.push_back(ChipHeather());                //  5 heather
    chips.push_back(ChipSwamp());                  //  6 swamp
    chips.push_back(ChipSnowyGrass(grass, snow));  //  7 grass under melting snow
    // Row 1
    chips.push_back(ChipDirt());          //  8 dirt
    chips.push_back(ChipMud());           //  9 mud with puddles
    chips.push_back(ChipTilledField());   // 10 ploughed field
    chips.push_back(ChipForestFloor());   // 11 forest floor
    chips.push_back(ChipAutumnLeaves());  // 12 fallen leaves
    chips.push_back(ChipRedClay());       // 13 red clay
    chips.push_back(ChipCrackedEarth());  // 14 dried, cracked earth
    chips.push_back(sand);                // 15 sand
    // Row 2
    chips.push_back(ChipGravel());       // 16 gravel
    chips.push_back(ChipRock());         // 17 rock
    chips.push_back(ChipBasalt());       // 18 basalt columns
    chips.push_back(ChipCobblestone());  // 19 cobblestones
    chips.push_back(ChipFlagstones());   // 20 flagstones
    chips.push_back(ChipBricks());       // 21 brick paving
    chips.push_back(ChipPlanks());       // 22 wooden planks
    chips.push_back(ChipWheat());        // 23 wheat field
    // Row 3
    chips.push_back(ChipPathStraight(grass, pathGround));  // 24 path through grass, straight
    chips.push_back(ChipPathCurve(grass, pathGround));     // 25 path through grass, bend
    chips.push_back(ChipShore(sand, shallow));             // 26 shore, sand meeting water
    chips.push_back(shallow);                              // 27 shallow water
    chips.push_back(DrawDeepWater(228U));                  // 28 deep water
    chips.push_back(snow);                                 // 29 snow
    chips.push_back(ChipIce());                            // 30 ice
    chips.push_back(ChipLava());                           // 31 lava
    return chips;
}

Image DrawAtlas()
{
    const std::vector<Image> chips = DrawAtlasChips();
    Image atlas(kTile * kAtlasColumns, kTile * kAtlasRows);
    for (size_t k = 0; k < chips.size(); ++k) {
        const int left = static_cast<int>(k % kAtlasColumns) * kTile;
        const int top = static_cast<int>(k / kAtlasColumns) * kTile;
        ForEachPixel(kTile, kTile, [&](int x, int y) { atlas.At(left + x, top + y) = chips[k].At(x, y); });
    }
    return atlas;
}

// Sky panorama. The image wraps once around the viewer, but its rows are not spread evenly over the sky: the sky
// sphere's rings down to 144 degrees from the zenith take v = polar angle / 360 degrees, which puts the true horizon
// a quarter of the way down, and the last 36 degrees to the bottom pole stretch over the lower 60 percent of the
// image. Each row is painted for the direction it lands on.
//
// The preview looks down on the terrain from well above it, and the terrain ends in white fog at the far plane,
// some 15 to 20 degrees below the true horizon. So the painted horizon is lowered to 104 degrees: the start view
// sees sky and far mountains above it, and below it a white haze that the fogged edge of the terrain melts into,
// thinning to pale ground further down. The land is a height field around the eye, drawn column by column from near
// to far, and the clouds lie on a plane above the eye. Both are functions of the viewing direction, so the picture
// joins itself at its left and right edges and stays undistorted toward the poles.

constexpr int kPanoramaWidth = 3072;
constexpr int kPanoramaHeight = 1536;
// Where the sphere's rows change their spacing, and the polar angle there.
constexpr double kSphereBendV = 0.4;
constexpr double kSphereBendPolar = 0.8 * kPi;
constexpr double kPaintedHorizon = 104.0 * kPi / 180.0;
// Radians per pixel: across, down the rows above the sphere's bend, and down the rows below it.
constexpr double kPanoramaColumn = 2.0 * kPi / kPanoramaWidth;
constexpr double kCoarseRow = 2.0 * kPi / kPanoramaHeight;
constexpr double kFineRow = (kPi - kSphereBendPolar) / ((1.0 - kSphereBendV) * kPanoramaHeight);

const Rgb kZenith = Hex(0x1f4e9e);
const Rgb kHorizonSky = Hex(0xc4d6e6);
// Distant land fades toward this blue-grey; the mist below the horizon is nearly the white of the terrain's fog.
const Rgb kFarHaze = Hex(0xa9b9cc);
const Rgb kMist = Hex(0xfdfeff);

// The polar angle, from the top pole, that the sky sphere gives the image row at v.
double PolarAngleAtV(double v)
{
    if (v <= kSphereBendV) {
        return v * 2.0 * kPi;
    }
    return kSphereBendPolar + (v - kSphereBendV) / (1.0 - kSphereBendV) * (kPi - kSphereBendPolar);
}

// Elevation in the painted scene of a polar angle: true to scale at the painted horizon, so the mountains keep their
// shape, and gently squeezed above it and stretched below it so that the zenith and the nadir stay in place.
double PaintedElevation(double polar)
{
    if (polar <= kPaintedHorizon) {
        const double t = kPaintedHorizon - polar;
        const double squeeze = (kPaintedHorizon - kPi * 0.5) / (kPaintedHorizon * kPaintedHorizon);
        return t - squeeze * t * t;
    }
    const double s = polar - kPaintedHorizon;
    const double below = kPi - kPaintedHorizon;
    const double stretch = (kPi * 0.5 - below) / (below * below);
    return -(s + stretch * s * s);
}

// Painted elevation of each row boundary, from the top edge (the zenith) down to the bottom edge (the nadir).
std::vector<double> RowBoundaryElevations()
{
    std::vector<double> edges(kPanoramaHeight + 1);
    for (int j = 0; j <= kPanoramaHeight; ++j) {
        edges[static_cast<size_t>(j)] = PaintedElevation(PolarAngleAtV(static_cast<double>(j) / kPanoramaHeight));
    }
    return edges;
}

// Position down the image, in rows from the top edge, of a painted elevation.
double RowAtElevation(const std::vector<double>& edges, double elevation)
{
    if (elevation >= edges.front()) {
        return 0.0;
    }
    if (elevation <= edges.back()) {
        return kPanoramaHeight;
    }
    const auto below = std::lower_bound(edges.begin(), edges.end(), elevation, std::greater<double>());
    const size_t j = static_cast<size_t>(below - edges.begin()) - 1;
    return j + (edges[j] - elevation) / (edges[j] - edges[j + 1]);
}

struct Direction {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// The sky sphere turns its first meridian from -x toward +z as u grows.
Direction ViewDirection(double azimuth, double elevation)
{
    return {-std::cos(elevation) * std::cos(azimuth), std::sin(elevation), std::cos(elevation) * std::sin(azimuth)};
}

Direction SunDirection()
{
    const double azimuth = 0.9;
    const double elevation = 38.0 * kPi / 180.0;
    return {std::cos(elevation) * std::cos(azimuth), std::sin(elevation), std::cos(elevation) * std::sin(azimuth)};
}

// Sharp-crested octaves for mountain ranges; octaves finer than the footprint are replaced by their mean.
double RidgedFbm(double x, double y, int octaves, double footprint, uint32_t seed)
{
    constexpr int kBig = 1 << 20;
    constexpr double kMean = 0.45;
    double sum = 0.0;
    double amplitude = 1.0;
    // A gain below one half keeps the crests from breaking up into needles.
    double norm = 0.0;
    double frequency = 1.0;
    for (int o = 0; o < octaves; ++o) {
        const double weight = Clamp01(1.5 - frequency * footprint * 2.5);
        double value = kMean;
        if (weight > 0.0) {
            const double n = 1.0 - std::fabs(Noise(x * frequency + 91.0, y * frequency + 37.0, kBig, kBig,
                                                   seed + static_cast<uint32_t>(o) * 7919U));
            value = Lerp(kMean, n * n, weight);
        }
        sum += amplitude * value;
        norm += amplitude;
        amplitude *= 0.42;
        frequency *= 2.0;
    }
    return sum / norm;
}

constexpr double kMountainHeight = 260.0;

// Height of the land in units of about two metres, the eye at 0 and the plain one unit below it: a plain with
// fields near the eye, low hills a few hundred units out and mountain ranges a few thousand units away, low
// enough to leave the start view some sky above them.
double LandHeight(double x, double z, double footprint)
{
    const double r = std::sqrt(x * x + z * z);
    double h = -1.0;
    if (r > 120.0) {
        h += SmoothStep(120.0, 500.0, r) * 5.0 *
             Clamp01(0.35 + 0.8 * PlaneFbm(x * 0.004, z * 0.004, 6, footprint * 0.004, 851U));
    }
    if (r > 900.0) {
        const double range =
            SmoothStep(900.0, 2500.0, r) * Clamp01(0.6 + 1.0 * PlaneFbm(x * 0.0003, z * 0.0003, 2, 0.0, 852U));
        if (range > 0.0) {
            const double ridged = RidgedFbm(x * 0.0009, z * 0.0009, 8, footprint * 0.0009, 853U);
            h += range * kMountainHeight * ridged * ridged;
        }
    }
    return h;
}

Rgb LandColour(double x, double z, double h, const Direction& normal, double footprint, const Direction& sun)
{
    const double above = h + 1.0;
    const double steep = 1.0 - normal.y;
    // The eye stands in a meadow; fields with hedges and furrows begin a little way off, and woods spread
    // over the hills.
    const double farOut = SmoothStep(25.0, 60.0, std::sqrt(x * x + z * z));
    Rgb c;
    if (farOut < 1.0) {
        const double patches = PlaneFbm(x * 0.06, z * 0.06, 3, footprint * 0.06, 846U);
        const double clumps = PlaneFbm(x * 0.7, z * 0.7, 5, footprint * 0.7, 847U);
        c = Mix(Hex(0x3e6e22), Hex(0x74a040), Clamp01(0.5 + 0.45 * patches + 0.3 * clumps));
        c = Mix(c, Hex(0x9a9a52), SmoothStep(0.25, 0.6, patches) * 0.4);
    }
    if (farOut > 0.0) {
        const double fieldScale = 1.0 / 22.0;
        const VoronoiHit field =
            Voronoi(x * fieldScale + 4096.0, z * fieldScale + 4096.0, 1 << 16, 1 << 16, 0.85, 841U);
        const Rgb palette[6] = {Hex(0x5a8a30), Hex(0x7a9a3c), Hex(0xa8a458),
                                Hex(0x4a7a2a), Hex(0xb89a5a), Hex(0x6a8a34)};
        Rgb crop = palette[field.id % 6U] * (1.0 + 0.1 * PlaneFbm(x * 0.1, z * 0.1, 3, footprint * 0.1, 842U));
        const double rowAngle = UnitFromHash(Scramble(field.id)) * kPi;
        const double rows = std::sin((x * std::cos(rowAngle) + z * std::sin(rowAngle)) * 2.0);
        crop = crop * (1.0 + 0.07 * rows * Clamp01(1.0 - footprint * 1.5));
        const double hedge = (1.0 - SmoothStep(0.012, 0.03, field.edge)) * Clamp01(1.2 - footprint * fieldScale * 25.0);
        crop = Mix(crop, Hex(0x2e4a22), hedge * 0.85);
        const double woods = SmoothStep(
            0.12, 0.3,
            PlaneFbm(x * 0.005, z * 0.005, 5, footprint * 0.005, 843U) + 0.35 * SmoothStep(3.0, 10.0, above));
        const Rgb forest = Hex(0x2c4a24) * (0.8 + 0.35 * PlaneFbm(x * 0.15, z * 0.15, 3, footprint * 0.15, 844U));
        crop = Mix(crop, forest, woods);
        c = Mix(c, crop, farOut);
    }
    // Bare rock where it is steep or high, snow on the tops; low and gentle ground has neither.
    const double rockLine = kMountainHeight * 0.25;
    if (steep > 0.35 || above > rockLine * 0.4) {
        const double rockNoise = PlaneFbm(x * 0.01, z * 0.01, 4, footprint * 0.01, 845U);
        const Rgb rock = Mix(Hex(0x56504a), Hex(0x8a847a), Clamp01(0.5 + 0.5 * rockNoise));
        c = Mix(c, rock,
                Clamp01(SmoothStep(0.35, 0.55, steep) +
                        SmoothStep(rockLine * 0.4, rockLine, above + rockLine * 0.3 * rockNoise)));
        const double snowLine = kMountainHeight * 0.45;
        const double snow = SmoothStep(snowLine, snowLine * 1.15, above + snowLine * 0.2 * rockNoise) *
                            (1.0 - SmoothStep(0.5, 0.7, steep));
        c = Mix(c, Hex(0xe6ebf2), snow * 0.7);
    }
    const double lambert = std::max(0.0, normal.x * sun.x + normal.y * sun.y + normal.z * sun.z);
    return c * (0.45 + 0.55 * lambert / sun.y);
}

// Air between the eye and a point of land at distance r, seen at the painted elevation: distant land turns
// blue-grey, mist lies on the low ground and fills everything just below the horizon, and the ground close below
// the eye shows through it pale.
Rgb HazeLand(Rgb c, double r, double above, double elevation)
{
    c = Mix(c, kFarHaze, 1.0 - std::exp(-r / 2400.0));
    const double lowMist = 0.7 * std::exp(-std::max(above, 0.0) / 40.0) * (1.0 - std::exp(-r / 200.0));
    const double depression = -elevation * 180.0 / kPi;
    const double underHorizon = SmoothStep(0.1, 1.2, depression) * (1.0 - 0.6 * SmoothStep(14.0, 45.0, depression));
    return Mix(c, kMist, std::max(lowMist, underHorizon));
}

// Clouds on a plane one unit above the eye.
Rgb AddClouds(Rgb c, const Direction& d, const Direction& sun)
{
    if (d.y < 0.02) {
        return c;
    }
    const double px = d.x / d.y;
    const double pz = d.z / d.y;
    const double distance = std::sqrt(px * px + pz * pz);
    const double footprint = std::max(kCoarseRow / (d.y * d.y), kPanoramaColumn * distance) * 0.55;
    const double scale = 0.55;
    const double qx = px * scale;
    const double qz = pz * scale;
    const double coverage = 0.18 * PlaneFbm(qx * 0.2, qz * 0.2, 2, footprint * 0.2, 901U);
    const double density = PlaneFbm(qx, qz, 7, footprint * scale, 902U) + coverage;
    const double cloud = SmoothStep(0.02, 0.5, density);
    if (cloud <= 0.0) {
        return c;
    }
    // A cloud is darker where more of it lies between this point and the sun.
    const double sunLength = std::sqrt(sun.x * sun.x + sun.z * sun.z);
    const double toward =
        PlaneFbm(qx + sun.x / sunLength * 0.06, qz + sun.z / sunLength * 0.06, 5, footprint * scale, 902U) + coverage;
    const double light = Clamp01(0.75 + (density - toward) * 3.5 * cloud - 0.3 * SmoothStep(0.35, 0.9, density));
    Rgb cloudColour = Mix(Hex(0x9ca6b8), Hex(0xfcfcfc), light);
    // Far clouds sink into the haze over the horizon.
    cloudColour = Mix(cloudColour, kHorizonSky, (1.0 - std::exp(-distance / 9.0)) * 0.85);
    return Mix(c, cloudColour, cloud * std::exp(-distance / 28.0) * 0.95);
}

Rgb SkyColour(const Direction& d, const Direction& sun)
{
    if (d.y <= 0.0) {
        return kHorizonSky;
    }
    const double elevation = std::asin(std::min(d.y, 1.0));
    Rgb c = Mix(kHorizonSky, kZenith, std::pow(Clamp01(elevation / (kPi * 0.5)), 0.45));
    c = AddClouds(c, d, sun);
    const double toSun = std::max(0.0, d.x * sun.x + d.y * sun.y + d.z * sun.z);
    c = c + Hex(0xfff2d0) * (std::pow(toSun, 10.0) * 0.22 + std::pow(toSun, 400.0) * 0.6);
    return Mix(c, Hex(0xfffdf4), SmoothStep(0.99985, 0.99992, toSun));
}

void DrawPanorama(std::vector<uint8_t>& bmpPixels, size_t rowBytes)
{
    const Direction sun = SunDirection();
    const std::vector<double> edges = RowBoundaryElevations();
    std::vector<Rgb> column(kPanoramaHeight);
    for (int x = 0; x < kPanoramaWidth; ++x) {
        const double azimuth = kPanoramaColumn * (x + 0.5);
        const Direction across = ViewDirection(azimuth, 0.0);
        // March outward; each sample that rises above everything nearer paints the rows it newly covers. Row j
        // covers [j, j + 1) in rows from the top; the row the silhouette cuts is kept apart with its coverage, to
        // be blended with what lies behind it.
        int covered = kPanoramaHeight;
        int partialRow = -1;
        Rgb partialColour;
        double partialCover = 0.0;
        double step = 0.0;
        for (double r = 0.01; r < 14000.0 && covered > 0; r += step) {
            // Fine enough near the eye that the ground moves less than a row per step, and a small fraction
            // of the distance further out, where the mountains' outlines need it.
            step = std::min(0.9 * kFineRow * (r * r + 1.0), r * 0.01 + 0.002);
            // Detail finer than a pixel across or than a step along the ray would only sparkle.
            const double footprint = std::max(r * kCoarseRow, step * 0.5);
            const double px = r * across.x;
            const double pz = r * across.z;
            const double h = LandHeight(px, pz, footprint);
            const double elevation = std::atan2(h, r);
            const double rowF = RowAtElevation(edges, elevation);
            if (rowF >= covered) {
                continue;
            }
            const double eps = std::max(0.05, footprint * 2.0);
            const double hx = (LandHeight(px + eps, pz, footprint) - h) / eps;
            const double hz = (LandHeight(px, pz + eps, footprint) - h) / eps;
            const double nl = std::sqrt(hx * hx + 1.0 + hz * hz);
            const Direction normal{-hx / nl, 1.0 / nl, -hz / nl};
            const Rgb c = HazeLand(LandColour(px, pz, h, normal, footprint, sun), r, h + 1.0, elevation);
            const int top = std::max(static_cast<int>(std::ceil(rowF)), 0);
            for (int j = top; j < covered; ++j) {
                column[static_cast<size_t>(j)] = (j == partialRow) ? Mix(c, partialColour, partialCover) : c;
            }
            if (top < covered) {
                partialRow = -1;
                covered = top;
            }
            const double fraction = top - rowF;
            if (fraction > 1e-6 && top > 0) {
                if (partialRow == top - 1) {
                    if (fraction > partialCover) {
                        partialColour =
                            (partialColour * partialCover + c * (fraction - partialCover)) * (1.0 / fraction);
                        partialCover = fraction;
                    }
                } else {
                    partialRow = top - 1;
                    partialColour = c;
                    partialCover = fraction;
                }
            }
        }
        for (int j = 0; j < covered; ++j) {
            const double v = (j + 0.5) / kPanoramaHeight;
            const Direction d = ViewDirection(azimuth, PaintedElevation(PolarAngleAtV(v)));
            const Rgb sky = SkyColour(d, sun);
            column[static_cast<size_t>(j)] = (j == partialRow) ? Mix(sky, partialColour, partialCover) : sky;
        }
        for (int j = 0; j < kPanoramaHeight; ++j) {
            uint8_t* p = bmpPixels.data() + rowBytes * static_cast<size_t>(kPanoramaHeight - 1 - j) + x * 3;
            const Rgb& c = column[static_cast<size_t>(j)];
            p[0] = ToByte(c.b);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.r);
        }
    }
}

// Icon: a green hill under a blue sky with the sun, on a rounded square.

Rgb IconScene(double u, double v)
{
    Rgb c = Mix(Hex(0x3a86e0), Hex(0xb8dcf8), Clamp01(v / 0.7));
    const double sunD = std::sqrt((u - 0.72) * (u - 0.72) + (v - 0.27) * (v - 0.27));
    if (sunD < 0.13) {
        c = Hex(0xffd83a);
    } else if (sunD < 0.2) {
        c = Mix(c, Hex(0xfff0a0), 0.45 * (1.0 - (sunD - 0.13) / 0.07));
    }
    const double backHill = 0.62 - 0.16 * std::exp(-std::pow((u - 0.85) / 0.3, 2.0));
    if (v > backHill) {
        c = Hex(0x2e8a3a);
    }
    const double hill = 0.7 - 0.3 * std::exp(-std::pow((u - 0.3) / 0.32, 2.0));
    if (v > hill) {
        // Lit from the upper right, darker toward the foot.
        const double slope = -0.3 * std::exp(-std::pow((u - 0.3) / 0.32, 2.0)) * -2.0 * (u - 0.3) / (0.32 * 0.32);
        c = Mix(Hex(0x5cc83c), Hex(0x2a7a24), Clamp01((v - hill) * 2.2 + 0.25 - 0.12 * slope));
        if (v < hill + 0.05) {
            c = Mix(c, Hex(0x1c5a1a), 0.55);
        }
    }
    return c;
}

Image DrawIcon(int size)
{
    Image img(size, size);
    constexpr int kSamples = 6;
    const double corner = 0.2;
    ForEachPixel(size, size, [&](int x, int y) {
        Rgb sum;
        double cover = 0.0;
        for (int sy = 0; sy < kSamples; ++sy) {
            for (int sx = 0; sx < kSamples; ++sx) {
                const double u = (x + (sx + 0.5) / kSamples) / size;
                const double v = (y + (sy + 0.5) / kSamples) / size;
                const double qx = std::max(std::fabs(u - 0.5) - (0.5 - corner), 0.0);
                const double qy = std::max(std::fabs(v - 0.5) - (0.5 - corner), 0.0);
                const double d = std::sqrt(qx * qx + qy * qy);
                if (d > corner) {
                    continue;
                }
                Rgb c = IconScene(u, v);
                if (d > corner - 1.2 / size || std::fabs(u - 0.5) > 0.5 - 1.0 / size ||
                    std::fabs(v - 0.5) > 0.5 - 1.0 / size) {
                    c = Hex(0x1a3a5a);  // a dark rim keeps the shape on light and dark backgrounds
                }
                sum = sum + c;
                cover += 1.0;
            }
        }
        img.At(x, y) = cover > 0.0 ? sum * (1.0 / cover) : Hex(0x000000);
        img.AlphaAt(x, y) = cover / (kSamples * kSamples);
    });
    return img;
}

// Data textures.

constexpr int kDataSize = 128;

// The glowing grid on the walls of the map's border box and the cursor; the image's bottom edge is the foot of a
// wall, where the glow is brightest and most opaque.
Image DrawEffect()
{
    Image img(kDataSize, kDataSize);
    ForEachPixel(kDataSize, kDataSize, [&](int x, int y) {
        const double v = (y + 0.5) / kDataSize;
        const double gx = std::fabs(std::fmod(x + 0.5, 16.0) - 8.0);
        const double gy = std::fabs(std::fmod(y + 0.5, 16.0) - 8.0);
        const double line = std::max(SmoothStep(6.0, 7.6, gx), SmoothStep(6.0, 7.6, gy));
        const double halo = std::max(SmoothStep(3.0, 8.0, gx), SmoothStep(3.0, 8.0, gy));
        const double shimmer = 0.05 * Noise((x + 0.5) / 16.0, v * 4.0, kDataSize / 16, 4, 951U);
        Rgb c = Mix(Hex(0x2a7ad8), Hex(0x6ad8ff), v);
        c = Mix(c, Hex(0xe8fcff), line * 0.85);
        img.At(x, y) = c + Hex(0x204060) * (halo * 0.3);
        img.AlphaAt(x, y) = std::clamp(0.3 + 0.3 * v + 0.1 * line + 0.05 * halo + shimmer, 0.25, 0.75);
    });
    return img;
}

Image DrawPlaneWater()
{
    Image img = DrawWaterSurface({Hex(0x1a5a7a), Hex(0x6ab8b4), 0.8, 0.8}, 961U);
    ForEachPixel(kDataSize, kDataSize, [&](int x, int y) {
        const Rgb& p = img.At(x, y);
        const double bright = Clamp01(((p.r + p.g + p.b) / 3.0 - 0.3) * 2.5);
        img.AlphaAt(x, y) = 0.55 + 0.2 * bright;  // glints and crests are more opaque
    });
    return img;
}

// A broad-leaved tree on a clear background. Clear pixels carry the crown's dark green, so filtering at the
// silhouette blends toward green rather than black.
Image DrawTree()
{
    Image img(kDataSize, kDataSize);
    const Rgb clearColour = Hex(0x2a4a1e);
    ForEachPixel(kDataSize, kDataSize, [&](int x, int y) {
        img.At(x, y) = clearColour;
        img.AlphaAt(x, y) = 0.0;
    });
    // Trunk and the two main limbs.
    const double trunkTop = 70.0;
    ForEachPixel(kDataSize, kDataSize, [&](int x, int y) {
        const double py = y + 0.5;
        if (py < trunkTop - 6.0 || py > 124.0) {
            return;
        }
        const double t = (py - trunkTop) / (124.0 - trunkTop);
        const double flare = 1.0 + 0.6 * std::pow(Clamp01((t - 0.8) / 0.2), 2.0);
        const double half = (3.8 + 2.4 * t) * flare;
        const double off = x + 0.5 - 64.0;
        const double cover = Clamp01(half + 0.5 - std::fabs(off)) * Clamp01(124.5 - py);
        if (cover <= 0.0) {
            return;
        }
        const double bark = Noise(off * 0.8, py * 0.12, 1 << 10, 1 << 10, 971U);
        const double round = off / half;
        Rgb c = Mix(Hex(0x5a3c24), Hex(0x3a2616), Clamp01(0.5 + 0.5 * round)) * (0.85 + 0.2 * bark);
        img.At(x, y) = c;
        img.AlphaAt(x, y) = cover;
    });
    auto limb = [&](double x0, double y0, double x1, double y1, double width) {
        const int left = static_cast<int>(std::floor(std::min(x0, x1) - width));
        const int right = static_cast<int>(std::ceil(std::max(x0, x1) + width));
        const int top = static_cast<int>(std::floor(std::min(y0, y1) - width));
        const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + width));
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double len2 = dx * dx + dy * dy;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const double cx = x + 0.5 - x0;
                const double cy = y + 0.5 - y0;
                const double t = Clamp01((cx * dx + cy * dy) / len2);
                const double ex = cx - t * dx;
                const double ey = cy - t * dy;
                const double w = width * (1.0 - 0.5 * t);
                const double cover = Clamp01(w * 0.5 + 0.5 - std::sqrt(ex * ex + ey * ey));
                if (cover <= 0.0) {
                    continue;
                }
                img.At(x, y) = Mix(img.At(x, y), Hex(0x4a3220), cover);
                img.AlphaAt(x, y) = std::max(img.AlphaAt(x, y), cover);
            }
        }
    };
    limb(64.0, 78.0, 44.0, 52.0, 4.5);
    limb(64.0, 74.0, 84.0, 48.0, 4.5);
    limb(64.0, 70.0, 62.0, 36.0, 4.0);

    // The crown: many overlapping clusters of leaves. Each is shaded half by its own roundness and half by the
    // roundness of the whole crown, lit from the upper left, so the crown reads as one mass with some depth.
    struct Cluster {
        double x, y, r;
    };
    const double crownX = 64.0;
    const double crownY = 47.0;
    const double crownRx = 44.0;
    const double crownRy = 38.0;
    std::vector<Cluster> clusters;
    Rng rng(981U);
    while (clusters.size() < 64) {
        const double a = rng.Range(0.0, 2.0 * kPi);
        const double d = std::sqrt(rng.Uniform());
        const double r = rng.Range(7.0, 12.0);
        const double x = crownX + std::cos(a) * d * (crownRx - r);
        const double y = crownY + std::sin(a) * d * (crownRy - r);
        if (x - r < 4.0 || x + r > 124.0 || y - r < 4.0 || y + r > 90.0) {
            continue;
        }
        clusters.push_back({x, y, r});
    }
    // From the back (the top) to the front (the bottom).
    std::stable_sort(clusters.begin(), clusters.end(), [](const Cluster& a, const Cluster& b) { return a.y < b.y; });
    const double lx = -0.5;
    const double ly = -0.6;
    const double lz = 0.62;
    for (size_t i = 0; i < clusters.size(); ++i) {
        const Cluster& cluster = clusters[i];
        const double front = static_cast<double>(i) / clusters.size();
        const int left = static_cast<int>(std::floor(cluster.x - cluster.r - 3.0));
        const int right = static_cast<int>(std::ceil(cluster.x + cluster.r + 3.0));
        const int top = static_cast<int>(std::floor(cluster.y - cluster.r - 3.0));
        const int bottom = static_cast<int>(std::ceil(cluster.y + cluster.r + 3.0));
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const double ox = x + 0.5 - cluster.x;
                const double oy = y + 0.5 - cluster.y;
                const double d = std::sqrt(ox * ox + oy * oy);
                const double leaves = Noise((x + 0.5) / 2.4, (y + 0.5) / 2.4, 1 << 10, 1 << 10, 982U);
                const double cover = Clamp01(cluster.r + 2.4 * leaves + 0.5 - d);
                if (cover <= 0.0) {
                    continue;
                }
                auto lit = [&](double nx, double ny) {
                    const double nz = std::sqrt(std::max(0.0, 1.0 - std::min(nx * nx + ny * ny, 1.0)));
                    return Clamp01(nx * lx + ny * ly + nz * lz);
                };
                const double own = lit(ox / cluster.r, oy / cluster.r);
                const double whole = lit((x + 0.5 - crownX) / crownRx, (y + 0.5 - crownY) / crownRy);
                const double speckle = Noise((x + 0.5) / 1.3, (y + 0.5) / 1.3, 1 << 10, 1 << 10, 983U);
                const double tone = 0.05 + 0.45 * own + 0.5 * whole + 0.15 * speckle + 0.12 * front;
                Rgb c = tone < 0.5 ? Mix(Hex(0x142a0c), Hex(0x3a6c20), tone / 0.5)
                                   : Mix(Hex(0x3a6c20), Hex(0x9ccc52), (tone - 0.5) / 0.5);
                if (speckle < -0.55) {
                    c = c * 0.6;  // a gap between leaves
                }
                img.At(x, y) = Mix(img.At(x, y), c, cover);
                img.AlphaAt(x, y) = std::max(img.AlphaAt(x, y), cover);
            }
        }
    }
    // Keep the outermost ring clear so clamped or wrapped sampling never shows a sliver of leaves.
    ForEachPixel(kDataSize, kDataSize, [&](int x, int y) {
        if (x == 0 || y == 0 || x == kDataSize - 1 || y == kDataSize - 1 || img.AlphaAt(x, y) <= 0.0) {
            img.AlphaAt(x, y) = 0.0;
            img.At(x, y) = clearColour;
        }
    });
    return img;
}

// File formats.

void PutU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 255U));
    out.push_back(static_cast<uint8_t>((v >> 8) & 255U));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFFU);
    PutU16(out, v >> 16);
}

size_t BmpRowBytes(int width)
{
    return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

// BITMAPFILEHEADER and BITMAPINFOHEADER of a bottom-up 24-bit BI_RGB bitmap.
std::vector<uint8_t> BmpHeader(int width, int height)
{
    const uint32_t imageBytes = static_cast<uint32_t>(BmpRowBytes(width) * static_cast<size_t>(height));
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54U + imageBytes);
    PutU32(out, 0U);
    PutU32(out, 54U);
    PutU32(out, 40U);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1U);
    PutU16(out, 24U);
    PutU32(out, 0U);  // BI_RGB
    PutU32(out, imageBytes);
    PutU32(out, 2835U);  // 72 dpi
    PutU32(out, 2835U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    return out;
}

std::vector<uint8_t> EncodeBmp(const Image& img)
{
    std::vector<uint8_t> out = BmpHeader(img.w, img.h);
    const size_t rowBytes = BmpRowBytes(img.w);
    for (int y = img.h - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < img.w; ++x) {
            const Rgb& p = img.At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

std::vector<uint8_t> EncodePanorama()
{
    std::vector<uint8_t> out = BmpHeader(kPanoramaWidth, kPanoramaHeight);
    const size_t rowBytes = BmpRowBytes(kPanoramaWidth);
    std::vector<uint8_t> pixels(rowBytes * kPanoramaHeight, 0);
    DrawPanorama(pixels, rowBytes);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// Icon directory, then one 32-bit image per size: BITMAPINFOHEADER with doubled height, BGRA rows bottom-up,
// then the 1-bit AND mask (set where the icon is clear) with rows padded to 32 bits.
std::vector<uint8_t> EncodeIcon(const std::vector<Image>& images)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const Image& img : images) {
        const size_t maskRow = (static_cast<size_t>(img.w) + 31) / 32 * 4;
        const uint32_t imageBytes = static_cast<uint32_t>(static_cast<size_t>(img.w) * img.h * 4 + maskRow * img.h);
        std::vector<uint8_t> body;
        PutU32(body, 40U);
        PutU32(body, static_cast<uint32_t>(img.w));
        PutU32(body, static_cast<uint32_t>(img.h * 2));
        PutU16(body, 1U);
        PutU16(body, 32U);
        PutU32(body, 0U);
        PutU32(body, imageBytes);
        PutU32(body, 0U);
        PutU32(body, 0U);
        PutU32(body, 0U);
        PutU32(body, 0U);
        for (int y = img.h - 1; y >= 0; --y) {
            for (int x = 0; x < img.w; ++x) {
                const Rgb& p = img.At(x, y);
                body.push_back(ToByte(p.b));
                body.push_back(ToByte(p.g));
                body.push_back(ToByte(p.r));
                body.push_back(ToByte(img.AlphaAt(x, y)));
            }
        }
        for (int y = img.h - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskRow, 0);
            for (int x = 0; x < img.w; ++x) {
                if (img.AlphaAt(x, y) < 0.5) {
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80U >> (x % 8));
                }
            }
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(body);
    }
    std::vector<uint8_t> out;
    PutU16(out, 0U);
    PutU16(out, 1U);  // icon
    PutU16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].w));
        out.push_back(static_cast<uint8_t>(images[i].h));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutU16(out, 1U);
        PutU16(out, 32U);
        PutU32(out, static_cast<uint32_t>(bodies[i].size()));
        PutU32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const std::vector<uint8_t>& body : bodies) {
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

// Uncompressed A8R8G8B8 DirectDraw surface, one mip level, rows top-down.
std::vector<uint8_t> EncodeDds(const Image& img)
{
    std::vector<uint8_t> out;
    out.push_back('D');
    out.push_back('D');
    out.push_back('S');
    out.push_back(' ');
    PutU32(out, 124U);
    PutU32(out, 0x1U | 0x2U | 0x4U | 0x8U | 0x1000U);  // CAPS, HEIGHT, WIDTH, PITCH, PIXELFORMAT
    PutU32(out, static_cast<uint32_t>(img.h));
    PutU32(out, static_cast<uint32_t>(img.w));
    PutU32(out, static_cast<uint32_t>(img.w * 4));  // pitch
    PutU32(out, 0U);                                // depth
    PutU32(out, 0U);                                // mip map count
    for (int i = 0; i < 11; ++i) {
        PutU32(out, 0U);
    }
    PutU32(out, 32U);           // pixel format size
    PutU32(out, 0x1U | 0x40U);  // ALPHAPIXELS | RGB
    PutU32(out, 0U);
    PutU32(out, 32U);
    PutU32(out, 0x00FF0000U);
    PutU32(out, 0x0000FF00U);
    PutU32(out, 0x000000FFU);
    PutU32(out, 0xFF000000U);
    PutU32(out, 0x1000U);  // DDSCAPS_TEXTURE
    PutU32(out, 0U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    PutU32(out, 0U);
    for (int y = 0; y < img.h; ++y) {
        for (int x = 0; x < img.w; ++x) {
            const Rgb& p = img.At(x, y);
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
            out.push_back(ToByte(img.AlphaAt(x, y)));
        }
    }
    return out;
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "generate_images: cannot open %s for writing\n", path.string().c_str());
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed) {
        std::fprintf(stderr, "generate_images: failed writing %s\n", path.string().c_str());
        return false;
    }
    return true;
}

bool MakeDirectory(const std::filesystem::path& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir, error)) {
        std::fprintf(stderr, "generate_images: cannot create directory %s\n", dir.string().c_str());
        return false;
    }
    return true;
}

int WriteResources(const std::filesystem::path& dir)
{
    if (!MakeDirectory(dir)) {
        return 1;
    }
    if (!WriteBytes(dir / "mapchip.bmp", EncodeBmp(DrawAtlas()))) {
        return 1;
    }
    if (!WriteBytes(dir / "background.bmp", EncodePanorama())) {
        return 1;
    }
    if (!WriteBytes(dir / "smallicon.ico", EncodeIcon({DrawIcon(32), DrawIcon(16)}))) {
        return 1;
    }
    return 0;
}

int WriteData(const std::filesystem::path& dir)
{
    if (!MakeDirectory(dir)) {
        return 1;
    }
    if (!WriteBytes(dir / "effect.dds", EncodeDds(DrawEffect()))) {
        return 1;
    }
    if (!WriteBytes(dir / "planetexture.dds", EncodeDds(DrawPlaneWater()))) {
        return 1;
    }
    if (!WriteBytes(dir / "billboard.dds", EncodeDds(DrawTree()))) {
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) != "--data") {
        return WriteResources(argv[1]);
    }
    if (argc == 3 && std::string(argv[1]) == "--data") {
        return WriteData(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: generate_images OUTDIR\n"
                 "       generate_images --data DATADIR\n");
    return 2;
}
