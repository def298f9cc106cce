#include "app/WindowPlacement.h"

#include <algorithm>

RECT RestoredWindowRect(HWND hwnd)
{
    RECT rect = {};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) {
        GetWindowRect(hwnd, &rect);
        return rect;
    }
    rect = placement.rcNormalPosition;
    // Tool windows report screen coordinates; all others report workspace
    // coordinates, which are offset by a taskbar at the top or left.
    if (!(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor)) {
            OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left,
                       monitor.rcWork.top - monitor.rcMonitor.top);
        }
    }
    return rect;
}

POINT VisibleWindowPosition(int x, int y, int width, int height)
{
    // A settings file may hold any number: no screen reaches past the range of
    // 16-bit coordinates, and within it the sums below cannot overflow.
    const auto screenRange = [](int value) { return std::max(-32768, std::min(value, 32767)); };
    x = screenRange(x);
    y = screenRange(y);
    width = screenRange(width);
    height = screenRange(height);
    const RECT window = {x, y, x + width, y + height};
    if (MonitorFromRect(&window, MONITOR_DEFAULTTONULL)) {
        return POINT{x, y};
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return POINT{x, y};
    }
    return KeepInside(window, monitor.rcWork);
}

POINT KeepInside(const RECT& window, const RECT& area)
{
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG x = std::max(area.left, std::min(window.left, area.right - width));
    const LONG y = std::max(area.top, std::min(window.top, area.bottom - height));
    return POINT{x, y};
}

SIZE SizeClearOf(POINT place, SIZE wanted, const std::vector<RECT>& kept)
{
    SIZE size = wanted;
    // Those that leave one way out go first, so that a choice sees the room
    // that truly remains.
    for (const bool choosing : {false, true}) {
        for (const RECT& rect : kept) {
            const RECT window = {place.x, place.y, place.x + size.cx, place.y + size.cy};
            RECT overlap;
            if (!IntersectRect(&overlap, &window, &rect)) {
                continue;
            }
            const LONG width = rect.left - place.x;
            const LONG height = rect.top - place.y;
            if (width > 0 && height > 0) {
                if (!choosing) {
                    continue;
                }
                // 64-bit products: a screen's sides multiplied may pass 2^31.
                if (static_cast<long long>(width) * size.cy >= static_cast<long long>(size.cx) * height) {
                    size.cx = width;
                } else {
                    size.cy = height;
                }
            } else if (width > 0) {
                size.cx = width;
            } else if (height > 0) {
                size.cy = height;
            }
        }
    }
    return size;
}
