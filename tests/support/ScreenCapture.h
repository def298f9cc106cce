#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
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
// one flat colour: the program has drawn and settled. Empty on time-out. Only for
// a picture that nothing is about to change: a program that has not yet drawn
// since the last change also shows two equal pictures.
ScreenPicture WaitForSteadyPicture(HWND hwnd, DWORD intervalMs, DWORD timeoutMs);
// Captures until `wanted` holds for the picture, however long the program takes
// to draw it, up to the time-out. Returns the last picture taken, so a failing
// check can say how far it was from what was wanted.
ScreenPicture WaitForPicture(HWND hwnd, DWORD timeoutMs, const std::function<bool(const ScreenPicture&)>& wanted);
// Captures until the picture differs from `reference` in more than `share` of
// its pixels and has then settled: the program has drawn all it was asked to,
// however many posted messages that took. The last picture on time-out.
ScreenPicture WaitForChangedPicture(HWND hwnd, const ScreenPicture& reference, double share, DWORD timeoutMs);
