#pragma once

// Hashing, random numbers and noise. Library distributions differ between
// standard libraries, so none are used: every run draws the same pictures.
// Lattices wrap after a whole number of cells, so anything built from them
// repeats without a seam: a tile across its 128 pixels, the panorama around the
// horizon.

#include <cstdint>

uint32_t Scramble(uint32_t x);
uint32_t HashCell(int x, int y, uint32_t seed);
// 0 <= value < 1 from the high bits of a hash.
double UnitFromHash(uint32_t h);
// Per-pixel noise from -0.5 to 0.5.
double PixelGrain(int x, int y, uint32_t seed);

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

int WrapIndex(int i, int period);

// Gradient noise in about -1..1 on a lattice of periodX x periodY cells.
double Noise(double x, double y, int periodX, int periodY, uint32_t seed);
// Octaves of noise over one tile; u and v run 0..1 across the tile and the result repeats with period 1.
double TileFbm(double u, double v, int cells, int octaves, uint32_t seed, double gain = 0.5);
// Octaves over an unbounded plane, dropping the octaves finer than the pixel footprint so that far
// clouds and fields don't turn into grain.
double PlaneFbm(double x, double y, int octaves, double footprint, uint32_t seed);
// Sharp-crested octaves for mountain ranges; octaves finer than the footprint are replaced by their mean.
double RidgedFbm(double x, double y, int octaves, double footprint, uint32_t seed);

struct VoronoiHit {
    double edge = 0.0;      // distance to the nearest cell border, in cells
    double distance = 0.0;  // distance to the own feature point, in cells
    uint32_t id = 0;        // hash of the cell, the same for every pixel of one stone or plate
    double offsetX = 0.0;   // pixel position relative to the own feature point, in cells
    double offsetY = 0.0;
};

// Cellular noise with one jittered feature point per lattice cell; rowShift moves odd rows by half a cell,
// which turns squares into near-hexagons.
VoronoiHit Voronoi(double x, double y, int periodX, int periodY, double jitter, uint32_t seed, double rowShift = 0.0);
