#include "Noise.h"

#include "Colour.h"

#include <algorithm>
#include <cmath>

namespace {

const double kGradX[16] = {1.0,  0.9238795,  0.7071068,  0.3826834,  0.0, -0.3826834, -0.7071068, -0.9238795,
                           -1.0, -0.9238795, -0.7071068, -0.3826834, 0.0, 0.3826834,  0.7071068,  0.9238795};
const double kGradY[16] = {0.0, 0.3826834,  0.7071068,  0.9238795,  1.0,  0.9238795,  0.7071068,  0.3826834,
                           0.0, -0.3826834, -0.7071068, -0.9238795, -1.0, -0.9238795, -0.7071068, -0.3826834};

// A lattice this wide never repeats within a picture.
constexpr int kBig = 1 << 20;

double Fade(double t)
{
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

}  // namespace

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

double PixelGrain(int x, int y, uint32_t seed)
{
    return UnitFromHash(HashCell(x, y, seed)) - 0.5;
}

int WrapIndex(int i, int period)
{
    if ((period & (period - 1)) == 0) {
        return i & (period - 1);
    }
    const int m = i % period;
    return m < 0 ? m + period : m;
}

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

double TileFbm(double u, double v, int cells, int octaves, uint32_t seed, double gain)
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

double PlaneFbm(double x, double y, int octaves, double footprint, uint32_t seed)
{
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

double RidgedFbm(double x, double y, int octaves, double footprint, uint32_t seed)
{
    constexpr double kMean = 0.45;
    double sum = 0.0;
    double amplitude = 1.0;
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
        // A gain below one half keeps the crests from breaking up into needles.
        amplitude *= 0.42;
        frequency *= 2.0;
    }
    return sum / norm;
}

VoronoiHit Voronoi(double x, double y, int periodX, int periodY, double jitter, uint32_t seed, double rowShift)
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
