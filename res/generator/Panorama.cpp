#include "Panorama.h"

#include "Colour.h"
#include "Encoders.h"
#include "Noise.h"
#include "scene/SkySphereShape.h"

#include <algorithm>
#include <cmath>
#include <functional>

// The image wraps once around the viewer, but its rows are not spread evenly over the sky: the sky sphere's rings
// lie every 180 / stacks degrees from the zenith and take v in steps of 1 / slices, so with twice as many slices
// as stacks v = polar angle / 360 degrees, which puts the true horizon a quarter of the way down; the rings stop
// (stacks - 2) rings down (144 degrees), and the rest of the way to the bottom pole stretches over the lower
// 60 percent of the image. Each row is painted for the direction it lands on.
//
// The preview looks down on the terrain from well above it, and the terrain ends in white fog at the far plane,
// some 15 to 20 degrees below the true horizon. So the painted horizon is lowered to 104 degrees: the start view
// sees sky and far mountains above it, and below it a white haze that the fogged edge of the terrain melts into,
// thinning to pale ground further down. The land is a height field around the eye, drawn column by column from near
// to far, and the clouds lie on a plane above the eye. Both are functions of the viewing direction, so the picture
// joins itself at its left and right edges and stays undistorted toward the poles.

namespace {

// Polar angle per unit of v above the sphere's bend, where its rows change their spacing, and the bend itself.
constexpr double kPolarPerV = static_cast<double>(kSkySlices) / kSkyStacks * kPi;
constexpr double kSphereBendV = static_cast<double>(kSkyStacks - 2) / kSkySlices;
constexpr double kSphereBendPolar = static_cast<double>(kSkyStacks - 2) / kSkyStacks * kPi;
static_assert(kSphereBendV > 0.0 && kSphereBendV < 1.0, "the sky's rings cover the top part of the image");

constexpr double kPaintedHorizon = 104.0 * kPi / 180.0;
// Radians per pixel: across, down the rows above the sphere's bend, and down the rows below it.
constexpr double kPanoramaColumn = 2.0 * kPi / kPanoramaWidth;
constexpr double kCoarseRow = kPolarPerV / kPanoramaHeight;
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
        return v * kPolarPerV;
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

// Paints into the rows of a bottom-up 24-bit bitmap, rowBytes apart.
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

}  // namespace

std::vector<uint8_t> EncodePanorama()
{
    std::vector<uint8_t> out = BmpHeader(kPanoramaWidth, kPanoramaHeight);
    const size_t rowBytes = BmpRowBytes(kPanoramaWidth);
    std::vector<uint8_t> pixels(rowBytes * kPanoramaHeight, 0);
    DrawPanorama(pixels, rowBytes);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}
