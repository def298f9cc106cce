#include "SmallImages.h"

#include "AtlasTiles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The side of each data texture.
constexpr int kDataSize = 128;

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

}  // namespace

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

// The image's bottom edge is the foot of a wall, where the glow is brightest and most opaque.
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

// Clear pixels carry the crown's dark green, so filtering at the silhouette blends toward green rather than black.
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
