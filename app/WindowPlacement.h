#pragma once

#include <windows.h>

#include <vector>

// Where windows are put back when the program starts again. A window saved
// while minimised reports (-32000, -32000), and a monitor may be gone since the
// last run; neither may leave a window where the user cannot reach it.

// The window's rectangle when it is neither minimised nor maximised, in screen
// coordinates.
RECT RestoredWindowRect(HWND hwnd);

// (x, y) for a window of width x height, unless the window would lie wholly off
// every monitor: then the nearest spot inside the nearest monitor's work area.
// Any int is taken, however far off.
POINT VisibleWindowPosition(int x, int y, int width, int height);

// The top-left corner that moves `window` the least to bring it inside `area`;
// a window larger than the area keeps its top-left corner at the area's.
POINT KeepInside(const RECT& window, const RECT& area);

// The largest size up to `wanted` for a window whose top-left corner stays at
// `place` that covers none of the rectangles `kept`: each one in the way cuts
// the width or the height, whichever keeps more of the window. A rectangle
// that holds `place` itself cannot be cleared by shrinking and is passed over.
SIZE SizeClearOf(POINT place, SIZE wanted, const std::vector<RECT>& kept);
