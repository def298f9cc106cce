#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The pixels a user sees in a window's client area (0x00RRGGBB, rows from the
// top), copied from the screen.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

ScreenPicture CaptureClientArea(HWND hwnd);
// The share of pixels whose colour differs by more than `tolerance` in any channel.
double DifferingShare(const ScreenPicture& a, const ScreenPicture& b, int tolerance);
// Captures until two pictures taken `intervalMs` apart agree and the picture is not
// one flat colour: the program has drawn and settled. Empty on time-out.
ScreenPicture WaitForSteadyPicture(HWND hwnd, DWORD intervalMs, DWORD timeoutMs);
// Captures until the picture differs from `reference` in more than `share` of
// its pixels and has then settled: the program has drawn what it was asked to.
// Posted messages take a while to reach another process, so a settled picture
// alone may still be the old one. The last picture on time-out.
ScreenPicture WaitForChangedPicture(HWND hwnd, const ScreenPicture& reference, double share, DWORD timeoutMs);
