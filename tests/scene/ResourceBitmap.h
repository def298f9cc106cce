#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

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
        BITMAPINFO request = {};
        request.bmiHeader.biSize = sizeof request.bmiHeader;
        request.bmiHeader.biWidth = m_width;
        request.bmiHeader.biHeight = -m_height;  // top row first
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
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

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};
