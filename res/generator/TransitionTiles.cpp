#include "TransitionTiles.h"

#include <algorithm>
#include <cmath>

namespace {

// The full chips of the terrains that are joined.
constexpr int kGrass = 0;
constexpr int kDirt = 8;
constexpr int kSand = 15;
constexpr int kRock = 17;
constexpr int kShallowWater = 27;
constexpr int kSnow = 29;

struct TerrainPair {
    int first;
    int second;
};

const TerrainPair kPairs[kTransitionPairs] = {{kGrass, kSand},        {kGrass, kDirt}, {kGrass, kRock}, {kGrass, kSnow},
                                              {kSand, kShallowWater}, {kSand, kRock},  {kDirt, kRock},  {kRock, kSnow}};

const Rgb kBlack = Hex(0x000000);

double Square(double v)
{
    return v * v;
}

// 0 on the chip's border and 1 in its middle. Noise weighted by it leaves the sides as CornerDistance has them,
// which the neighbouring cell, drawn with other noise or turned, has too.
double AwayFromBorder(double x, double y)
{
    return std::sin(kPi * x / kTile) * std::sin(kPi * y / kTile);
}

// How far (x, y) lies inside the first terrain, in pixels, negative in the second, before the join is
// roughened. A corner of the first terrain is a quarter disc reaching half-way along both sides, and a corner of
// the second is cut out of the first the same way, so the join crosses every side whose corners differ at its
// middle, at right angles, and is the same along all of them.
double CornerDistance(int kind, double x, double y)
{
    const double radius = kTile * 0.5;
    const double fromTopLeft = std::hypot(x, y);
    const double fromBottomRight = std::hypot(kTile - x, kTile - y);
    switch (kind) {
    case 0:
        return radius - fromTopLeft;
    case 1:
        return radius - y;
    case 2:
        // Two opposite corners stay two patches, kept well apart in the middle whatever the noise does, so that
        // every chip of this kind reads the same way.
        return std::max(radius - fromTopLeft, radius - fromBottomRight) - 16.0 * AwayFromBorder(x, y);
    default:
        return fromBottomRight - radius;
    }
}

// CornerDistance with a natural, ragged line: broad bays and tongues, smaller bumps and a fringe.
double EdgeDistance(int kind, double x, double y, uint32_t seed)
{
    const double u = x / kTile;
    const double v = y / kTile;
    const double rough =
        16.0 * TileFbm(u, v, 2, 3, seed) + 6.0 * TileFbm(u, v, 7, 2, seed + 1U) + 1.8 * TileFbm(u, v, 24, 2, seed + 2U);
    return CornerDistance(kind, x, y) + rough * AwayFromBorder(x, y);
}

// The pixel where the first terrain looks like `a` and the second like `b`, `distance` pixels inside the first;
// `breakup` is border-weighted noise that breaks up the foam.
Rgb JoinColour(const TerrainPair& pair, Rgb a, Rgb b, double distance, double breakup)
{
    const double d = distance;
    if (pair.second == kShallowWater) {
        // The sand the waves reach is wet and darker, most of all at the water's edge, where they leave foam.
        a = Mix(a, a * Rgb{0.6, 0.58, 0.56}, 1.0 - SmoothStep(0.0, 18.0, d));
        const Rgb ground = Mix(b, a, SmoothStep(-1.5, 1.5, d));
        const double foam = std::exp(-Square((d + 2.0) / 2.2)) * SmoothStep(-0.3, 0.3, breakup + 0.25);
        const double spray = std::exp(-Square((d + 9.0) / 3.0)) * SmoothStep(0.2, 0.5, breakup);
        return Mix(ground, Hex(0xf4f8f6), Clamp01(foam * 0.9 + spray * 0.6));
    }
    const double nearFirst = 1.0 - SmoothStep(0.0, 7.0, -d);
    if (pair.second == kSnow) {
        // Snow lies thicker than the ground beside it; its rounded rim is in its own shade.
        b = Mix(b, Hex(0x8ea2bf), 0.6 * std::exp(-Square((d + 2.5) / 2.2)));
    } else if (pair.first == kGrass) {
        // The ground under the grass's overhanging edge.
        b = b * (1.0 - 0.3 * nearFirst);
    }
    if (pair.second == kRock && pair.first != kGrass) {
        // The foot of the rock is in its shadow.
        a = a * (1.0 - 0.25 * (1.0 - SmoothStep(0.0, 6.0, d)));
    }
    return Mix(b, a, SmoothStep(-2.0, 2.0, d));
}

// The downhill way of EdgeDistance at (x, y), towards the second terrain, as an angle.
double OutwardAngle(int kind, double x, double y, uint32_t seed)
{
    const double gx = EdgeDistance(kind, x + 0.5, y, seed) - EdgeDistance(kind, x - 0.5, y, seed);
    const double gy = EdgeDistance(kind, x, y + 0.5, seed) - EdgeDistance(kind, x, y - 0.5, seed);
    return std::atan2(-gy, -gx);
}

bool InsideBy(double x, double y, double margin)
{
    return x > margin && y > margin && x < kTile - margin && y < kTile - margin;
}

// Blades from the grass's edge lean out over the other ground. None reaches a side of the chip, where the
// neighbouring cell's picture begins.
void DrawOverhangingBlades(Image& img, int kind, uint32_t seed)
{
    Rng rng(seed + 5U);
    const Shadow shadow = {0.7, 0.9, 1.6, 0.22, kBlack};
    Scatter(rng, 2400, [&](int, double x, double y) {
        const double length = rng.Range(4.0, 9.0);
        const double lean = rng.Range(-0.8, 0.8);
        const double tone = rng.Uniform();
        const double d = EdgeDistance(kind, x, y, seed);
        if (d < -1.0 || d > 4.0 || !InsideBy(x, y, 13.0)) {
            return;
        }
        const double angle = OutwardAngle(kind, x, y, seed) + lean;
        const Rgb c = Mix(Hex(0x3f7a22), Hex(0x8cc04a), tone) * 0.95;
        DrawShadowedStroke(img, x, y, x + std::cos(angle) * length, y + std::sin(angle) * length, 1.1, c * 0.8,
                           c * 1.12, shadow);
    });
}

// Stones broken off the rock lie at its foot, fewer further out.
void DrawScree(Image& img, const Image& rock, int kind, uint32_t seed)
{
    Rng rng(seed + 7U);
    Scatter(rng, 1500, [&](int, double x, double y) {
        const double r = rng.Range(0.7, 1.9);
        const double keep = rng.Uniform();
        const double tone = rng.Range(0.9, 1.2);
        const double d = EdgeDistance(kind, x, y, seed);
        if (d < 0.5 || keep > 1.0 - SmoothStep(0.0, 10.0, d) || !InsideBy(x, y, 5.0)) {
            return;
        }
        const Rgb c = Mix(Hex(0x8a8680), rock.At(static_cast<int>(x), static_cast<int>(y)), 0.5) * tone;
        DrawShadowedDisc(img, x, y, r, c, {0.6, 0.7, r, 0.35, kBlack});
        DrawDisc(img, x - r * 0.3, y - r * 0.3, r * 0.45, c * 1.15, 0.5);
    });
}

Image DrawTransition(const std::vector<Image>& chips, const TerrainPair& pair, int kind, uint32_t seed)
{
    const Image& first = chips[pair.first];
    const Image& second = chips[pair.second];
    Image out(kTile, kTile);
    ForEachPixel(kTile, kTile, [&](int x, int y) {
        const double cx = x + 0.5;
        const double cy = y + 0.5;
        const double breakup = AwayFromBorder(cx, cy) * TileFbm(U(x), U(y), 16, 2, seed + 3U);
        out.At(x, y) = JoinColour(pair, first.At(x, y), second.At(x, y), EdgeDistance(kind, cx, cy, seed), breakup);
    });
    if (pair.first == kGrass) {
        DrawOverhangingBlades(out, kind, seed);
    }
    if (pair.second == kRock && pair.first != kGrass) {
        DrawScree(out, second, kind, seed);
    }
    return out;
}

}  // namespace

std::vector<Image> DrawTransitionChips(const std::vector<Image>& atlasChips)
{
    std::vector<Image> chips;
    chips.reserve(kTransitionPairs * kTransitionKinds);
    for (int pair = 0; pair < kTransitionPairs; ++pair) {
        for (int kind = 0; kind < kTransitionKinds; ++kind) {
            const uint32_t seed = 4100U + static_cast<uint32_t>(pair * kTransitionKinds + kind) * 37U;
            chips.push_back(DrawTransition(atlasChips, kPairs[pair], kind, seed));
        }
    }
    return chips;
}
