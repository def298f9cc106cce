#pragma once

// Colours and the scalar arithmetic that goes with them. Colours are display
// values from 0 to 1; they are clamped only when written out.

#include <cmath>
#include <cstdint>

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

inline Rgb operator+(Rgb a, Rgb b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b)
{
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, double s)
{
    return {a.r * s, a.g * s, a.b * s};
}
inline Rgb operator*(Rgb a, Rgb b)
{
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

inline Rgb Mix(Rgb a, Rgb b, double t)
{
    return a + (b - a) * t;
}

// 0xRRGGBB, the way colours are picked in a paint program.
inline Rgb Hex(uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

inline double Clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

inline double Lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

inline double SmoothStep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

inline uint8_t ToByte(double v)
{
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0));
}
