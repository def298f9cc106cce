#include "support/ScreenCapture.h"

#include "editor/BitmapInfo.h"

#include <algorithm>
#include <cstdlib>

ScreenPicture CaptureClientArea(HWND hwnd)
{
    ScreenPicture picture;
    RECT client;
    if (!GetClientRect(hwnd, &client)) {
        return picture;
    }
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    picture.width = client.right;
    picture.height = client.bottom;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = TopDownBgra32(picture.width, picture.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        picture.pixels.assign(source, source + static_cast<size_t>(picture.width) * picture.height);
        for (uint32_t& pixel : picture.pixels) {
            pixel &= 0x00FFFFFF;
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

double DifferingShare(const ScreenPicture& a, const ScreenPicture& b, int tolerance)
{
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty()) {
        return 1.0;
    }
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int channelA = (a.pixels[i] >> shift) & 0xFF;
            const int channelB = (b.pixels[i] >> shift) & 0xFF;
            if (std::abs(channelA - channelB) > tolerance) {
                ++differing;
                break;
            }
        }
    }
    return static_cast<double>(differing) / a.pixels.size();
}

ScreenPicture WaitForSteadyPicture(HWND hwnd, DWORD intervalMs, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    ScreenPicture previous = CaptureClientArea(hwnd);
    while (GetTickCount() - start < timeoutMs) {
        Sleep(intervalMs);
        ScreenPicture current = CaptureClientArea(hwnd);
        const bool flat = current.pixels.empty() ||
                          current.pixels.end() == std::find_if(current.pixels.begin(), current.pixels.end(),
                                                               [&](uint32_t p) { return p != current.pixels[0]; });
        if (!flat && DifferingShare(previous, current, 8) < 0.001) {
            return current;
        }
        previous = current;
    }
    return ScreenPicture();
}

ScreenPicture WaitForPicture(HWND hwnd, DWORD timeoutMs, const std::function<bool(const ScreenPicture&)>& wanted)
{
    const DWORD start = GetTickCount();
    ScreenPicture picture = CaptureClientArea(hwnd);
    while (!wanted(picture) && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        picture = CaptureClientArea(hwnd);
    }
    return picture;
}

ScreenPicture WaitForChangedPicture(HWND hwnd, const ScreenPicture& reference, double share, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    const ScreenPicture changed = WaitForPicture(
        hwnd, timeoutMs, [&](const ScreenPicture& picture) { return DifferingShare(reference, picture, 8) > share; });
    const DWORD left = timeoutMs - std::min<DWORD>(timeoutMs, GetTickCount() - start);
    ScreenPicture settled = WaitForSteadyPicture(hwnd, 300, left);
    return settled.pixels.empty() ? changed : settled;
}
