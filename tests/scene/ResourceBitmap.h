#pragma once

#include "editor/BitmapInfo.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

// A set of colours, matched with a tolerance of about one 8-step on each channel,
// so a texel still matches after the renderer's rounding.
class Palette {
public:
    Palette() : m_bins(32 * 32 * 32, false) {}

    void Add(uint32_t color) { m_bins[Bin(color >> 19 & 31, color >> 11 & 31, color >> 3 & 31)] = true; }
    bool Matches(uint32_t color) const
    {
        const int r = color >> 19 & 31;
        const int g = color >> 11 & 31;
        const int b = color >> 3 & 31;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dg = -1; dg <= 1; ++dg) {
                for (int db = -1; db <= 1; ++db) {
                    const int nr = r + dr;
                    const int ng = g + dg;
                    const int nb = b + db;
                    if (nr >= 0 && nr < 32 && ng >= 0 && ng < 32 && nb >= 0 && nb < 32 && m_bins[Bin(nr, ng, nb)]) {
                        return true;
                    }
                }
            }
        }
        return false;
    }

private:
    static size_t Bin(int r, int g, int b) { return static_cast<size_t>((r * 32 + g) * 32 + b); }
    std::vector<bool> m_bins;
};

// The pixels of one of the program's bitmap resources, so picture tests can
// compare what was drawn with the image itself rather than with fixed colours.
class ResourceBitmap {
public:
    explicit ResourceBitmap(const char* name)
    {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap) {
            return;
        }
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        m_width = info.bmWidth;
        m_height = info.bmHeight;
        BITMAPINFO request = TopDownBgra32(m_width, m_height);
        m_pixels.resize(static_cast<size_t>(m_width) * m_height);
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, bitmap, 0, m_height, m_pixels.data(), &request, DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        DeleteObject(bitmap);
    }

    bool ok() const { return !m_pixels.empty(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // 0x00RRGGBB of the pixel at (x, y), clamped to the image.
    uint32_t Pixel(int x, int y) const
    {
        x = x < 0 ? 0 : (x >= m_width ? m_width - 1 : x);
        y = y < 0 ? 0 : (y >= m_height ? m_height - 1 : y);
        return m_pixels[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
    }
    // Whether some pixel within `radius` of (x, y) is within `tolerance` of
    // `color` in every channel.
    bool HasNear(int x, int y, int radius, uint32_t color, int tolerance) const
    {
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                if (ColorsClose(Pixel(x + dx, y + dy), color, tolerance)) {
                    return true;
                }
            }
        }
        return false;
    }

    static bool ColorsClose(uint32_t a, uint32_t b, int tolerance)
    {
        for (int shift = 0; shift < 24; shift += 8) {
            const int ca = static_cast<int>((a >> shift) & 0xFF);
            const int cb = static_cast<int>((b >> shift) & 0xFF);
            if (std::abs(ca - cb) > tolerance) {
                return false;
            }
        }
        return true;
    }

    // Every colour of the rectangle from (x0, y0) up to, not including, (x1, y1).
    Palette Colors(int x0, int y0, int x1, int y1) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

inline Palette ResourceBitmap::Colors(int x0, int y0, int x1, int y1) const
{
    Palette palette;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            palette.Add(Pixel(x, y));
        }
    }
    return palette;
}
