#include "AtlasTiles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const Rgb kBlack = Hex(0x000000);

// Kinds of ground that several chips share or build on.

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
    const Shadow shadow = {0.7, 0.9, s.width + 0.5, 0.18, kBlack};
    Scatter(rng, s.blades, [&](int i, double x, double y) {
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
        DrawShadowedStroke(img, x, y, ex, ey, s.width, c * 0.8, c * 1.12, shadow);
    });
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
    Image img = ReliefTile(s.relief, [&](int x, int y) {
        const double broad = TileFbm(U(x), U(y), 3, 4, seed);
        const double fine = TileFbm(U(x), U(y), 16, 3, seed + 11U);
        const double clods = 1.0 - Clamp01(TileVoronoi(x, y, 20, 0.9, seed + 5U).edge / 2.5);
        return GroundSample{Mix(s.dark, s.light, Clamp01(0.5 + 0.45 * broad + 0.25 * fine - 0.15 * clods)),
                            3.0 * broad + 1.4 * fine - 0.8 * clods};
    });
    AddGrain(img, s.grain, seed + 3U);
    Rng rng(seed + 99U);
    Scatter(rng, s.pebbles, [&](int, double x, double y) {
        const double r = rng.Range(0.6, 2.2);
        const Rgb c = s.stone * rng.Range(0.75, 1.2);
        DrawShadowedDisc(img, x, y, r, c, {0.6, 0.7, r, 0.35, kBlack});
        DrawDisc(img, x - r * 0.3, y - r * 0.3, r * 0.45, c * 1.15, 0.5);
    });
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
    Image img = ReliefTile(0.55, [&](int x, int y) {
        const double warp = TileFbm(U(x), U(y), 2, 3, seed);
        const double ripple = std::sin(2.0 * kPi * (7.0 * U(y) + 1.0 * U(x) + 0.45 * warp));
        const double tone = TileFbm(U(x), U(y), 4, 4, seed + 7U);
        return GroundSample{Mix(Hex(0xc9ad7c), Hex(0xe8d6a8), Clamp01(0.55 + 0.35 * tone + 0.08 * ripple)),
                            1.6 * ripple + 1.0 * tone};
    });
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
    Image img = ReliefTile(0.7, [&](int x, int y) {
        return GroundSample{Hex(0xf2f5fa),
                            4.0 * TileFbm(U(x), U(y), 2, 5, seed) + 0.4 * TileFbm(U(x), U(y), 16, 2, seed + 3U)};
    });
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
    Image img = ReliefTile(1.0, [&](int x, int y) {
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
        return GroundSample{Mix(joint, stone, inside), s.domeHeight * round + 0.6 * mottle};
    });
    AddGrain(img, s.grain, seed + 31U);
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
    Scatter(rng, 520, [&](int, double x, double y) {
        // Flowers grow in drifts, one kind mostly in each.
        const double drift = TileFbm(x / kTile, y / kTile, 3, 3, 2104U);
        if (rng.Uniform() > 0.3 + SmoothStep(-0.2, 0.4, drift) * 0.7) {
            return;
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
    });
    return img;
}

Image ChipMoss()
{
    Image img = ReliefTile(1.0, [](int x, int y) {
        const double cushion = TileFbm(U(x), U(y), 6, 3, 105U);
        const VoronoiHit bump = TileVoronoi(x, y, 24, 0.9, 205U);
        const double dome = Clamp01(bump.edge / 3.0);
        const double h = 0.55 + 0.45 * cushion + 0.25 * dome;
        return GroundSample{Mix(Hex(0x31460e), Hex(0x9fb43a), Clamp01(h + 0.12 * TileFbm(U(x), U(y), 32, 2, 305U))),
                            6.0 * cushion + 1.6 * dome};
    });
    AddGrain(img, 0.3, 405U);
    return img;
}

Image ChipHeather()
{
    Image img = DrawGrass({Hex(0x2a2418), Hex(0x3e4a2a), Hex(0x6c7a48), Hex(0x5a4a3a), 0.4, 3000, 3.0, 6.0, 1.0}, 106U);
    Rng rng(1106U);
    const Rgb blossoms[3] = {Hex(0x9a4c8c), Hex(0xc27ab8), Hex(0x7a3a78)};
    Scatter(rng, 5200, [&](int, double x, double y) {
        const double density = 0.5 + 0.5 * TileFbm(x / kTile, y / kTile, 4, 3, 2106U);
        if (rng.Uniform() > density * 1.3) {
            return;
        }
        const Rgb c = blossoms[rng.Below(3)] * rng.Range(0.8, 1.15);
        DrawShadowedDisc(img, x, y, rng.Range(0.55, 1.0), c, {0.5, 0.6, 0.9, 0.3, Hex(0x100a10)});
    });
    return img;
}

Image ChipSwamp()
{
    Image img = ReliefTile(0.7, [](int x, int y) {
        const double n = TileFbm(U(x), U(y), 3, 5, 107U);
        return GroundSample{Mix(Hex(0x2e2a1a), Hex(0x5a5030), Clamp01(0.5 + 0.6 * n)), 3.0 * n};
    });
    Rng rng(1107U);
    Scatter(rng, 2600, [&](int, double x, double y) {
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(4.0, 10.0);
        const Rgb c = Mix(Hex(0x4a5220), Hex(0x8a8a3a), rng.Uniform());
        DrawStroke(img, x, y, x + std::cos(angle) * len, y + std::sin(angle) * len, 1.0, c * 0.8, c, 1.0);
    });
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
    Image img = ReliefTile(0.8, [](int x, int y) {
        const double warp = TileFbm(U(x), U(y), 2, 2, 203U);
        const double furrow = std::cos(2.0 * kPi * (8.0 * U(y) + 0.12 * warp));
        const double clods = TileFbm(U(x), U(y), 16, 3, 303U);
        const double h = 0.5 + 0.5 * furrow;
        return GroundSample{Mix(Hex(0x503a2a), Hex(0xa0805e), Clamp01(0.3 + 0.5 * h + 0.35 * clods)),
                            3.0 * furrow + 2.0 * clods};
    });
    AddGrain(img, 0.2, 403U);
    return img;
}

Image ChipForestFloor()
{
    Image img = MottledTile(Hex(0x1e140c), Hex(0x4a3420), 0.6, 4, 4, 204U);
    Rng rng(1204U);
    const Rgb needles[4] = {Hex(0x8a5a2c), Hex(0x6a4428), Hex(0xa07a4a), Hex(0x4a3420)};
    Scatter(rng, 3600, [&](int i, double x, double y) {
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(4.0, 9.0);
        const Rgb c = needles[rng.Below(4)] * (0.7 + 0.5 * i / 3600.0);
        const double ex = x + std::cos(angle) * len;
        const double ey = y + std::sin(angle) * len;
        DrawShadowedStroke(img, x, y, ex, ey, 0.7, c, c * 1.1, {0.6, 0.7, 1.0, 0.2, kBlack});
    });
    // A few fallen twigs.
    Scatter(rng, 9, [&](int, double x, double y) {
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(14.0, 28.0);
        const double ex = x + std::cos(angle) * len;
        const double ey = y + std::sin(angle) * len;
        DrawShadowedStroke(img, x, y, ex, ey, 1.8, Hex(0x4a3222), Hex(0x6a4a30), {1.0, 1.2, 2.6, 0.3, kBlack});
    });
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
    Image img = MottledTile(Hex(0x22160c), Hex(0x4a3018), 0.5, 4, 3, 205U);
    Rng rng(1205U);
    const Rgb colours[6] = {Hex(0xd0601a), Hex(0xe8a020), Hex(0xb83c1a), Hex(0xf0c840), Hex(0xe8b030), Hex(0xc88a2a)};
    Scatter(rng, 620, [&](int i, double x, double y) {
        const double angle = rng.Range(0.0, 2.0 * kPi);
        const double len = rng.Range(7.0, 12.0);
        const Rgb c = colours[rng.Below(6)] * (0.65 + 0.45 * i / 620.0);
        DrawShadowedLeaf(img, x, y, len, len * 0.55, angle, c, c * 0.7, {1.0, 1.2, len * 0.55, 0.35, Hex(0x0a0604)});
    });
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
    Image img = ReliefTile(0.9, [](int x, int y) {
        const VoronoiHit plate = TileVoronoi(x, y, 6, 0.95, 207U);
        const double tone = 0.85 + 0.25 * UnitFromHash(plate.id);
        const double mottle = TileFbm(U(x), U(y), 8, 3, 307U);
        Rgb c = Mix(Hex(0xa88458), Hex(0xd8b888), Clamp01(0.5 + 0.35 * mottle)) * tone;
        const double crack = 1.0 - SmoothStep(0.6, 1.6, plate.edge);
        c = Mix(c, Hex(0x3a2a1a), crack);
        // The plates curl up at their rims as they dry.
        return GroundSample{c, -2.0 * crack + 1.6 * (1.0 - SmoothStep(1.0, 7.0, plate.edge)) + 0.8 * mottle};
    });
    AddGrain(img, 0.12, 407U);
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
    Image img = ReliefTile(1.1, [](int x, int y) {
        const double broad = TileFbm(U(x), U(y), 2, 6, 302U, 0.55);
        const double strata = std::sin(2.0 * kPi * (3.0 * U(y) + 1.0 * U(x) + 0.6 * broad));
        const VoronoiHit crack = TileVoronoi(x, y, 3, 0.9, 402U);
        const double line = 1.0 - SmoothStep(0.4, 1.4, crack.edge + 1.5 * TileFbm(U(x), U(y), 16, 2, 502U));
        Rgb c = Mix(Hex(0x5e5c5a), Hex(0xa4a09a), Clamp01(0.5 + 0.45 * broad + 0.08 * strata));
        const double lichen = SmoothStep(0.42, 0.55, TileFbm(U(x), U(y), 8, 3, 602U));
        c = Mix(c, Hex(0xa8a050), lichen * 0.6);
        c = Mix(c, Hex(0x24221f), line * 0.85);
        return GroundSample{c, 7.0 * broad + 0.8 * strata - 2.0 * line};
    });
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
    constexpr int kBrickW = 32;
    constexpr int kBrickH = 16;
    Image img = ReliefTile(1.0, [](int x, int y) {
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
        return GroundSample{Mix(Hex(0x8a8070) * (1.0 + 0.2 * mottle), brick * (1.0 + 0.12 * mottle), inside),
                            2.0 * std::sqrt(SmoothStep(1.0, 3.5, edge)) + 0.5 * mottle};
    });
    AddGrain(img, 0.16, 506U);
    return img;
}

Image ChipPlanks()
{
    constexpr int kPlankW = 32;
    double joints[kTile / kPlankW];
    Rng rng(1307U);
    for (double& j : joints) {
        j = rng.Range(8.0, 120.0);
    }
    Image img = ReliefTile(0.9, [&](int x, int y) {
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
        return GroundSample{c, 1.5 * std::sqrt(SmoothStep(0.8, 3.0, edge)) + 0.3 * grain};
    });
    // Two nails at each end of every plank.
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
    Image img = MottledTile(Hex(0x4a3818), Hex(0x7a6028), 0.5, 4, 3, 308U);
    Rng rng(1308U);
    Scatter(rng, 2300, [&](int i, double x, double y) {
        // The wind lays the ears over in one direction.
        const double angle = 0.45 + rng.Range(-0.5, 0.5);
        const double len = rng.Range(5.0, 8.0);
        const Rgb c = Mix(Hex(0xc89a48), Hex(0xf0d890), rng.Uniform()) * (0.75 + 0.35 * i / 2300.0);
        DrawShadowedLeaf(img, x, y, len, 2.6, angle, c, c * 0.8, {1.0, 1.0, 2.8, 0.3, Hex(0x1a1206)});
        const double ex = x - std::cos(angle) * len * 0.5;
        const double ey = y - std::sin(angle) * len * 0.5;
        DrawStroke(img, ex, ey, ex - std::cos(angle) * 3.0, ey - std::sin(angle) * 3.0, 0.6, c * 0.8, c * 0.8, 0.8);
    });
    return img;
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
    Image img = ReliefTile(0.6, [](int x, int y) {
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
        return GroundSample{c, 1.2 * n};
    });
    // Air bubbles caught in the ice.
    Rng rng(1311U);
    Scatter(rng, 50, [&](int, double x, double y) { DrawDisc(img, x, y, rng.Range(0.5, 1.5), Hex(0xffffff), 0.45); });
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

}  // namespace

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

Image LayOutAtlas(const std::vector<Image>& chips)
{
    const int rows = static_cast<int>((chips.size() + kAtlasColumns - 1) / kAtlasColumns);
    Image atlas(kTile * kAtlasColumns, kTile * rows);
    for (size_t k = 0; k < chips.size(); ++k) {
        const int left = static_cast<int>(k % kAtlasColumns) * kTile;
        const int top = static_cast<int>(k / kAtlasColumns) * kTile;
        ForEachPixel(kTile, kTile, [&](int x, int y) { atlas.At(left + x, top + y) = chips[k].At(x, y); });
    }
    return atlas;
}
