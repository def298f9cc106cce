#pragma once

#include <windows.h>

// The message routing that every editor window shares, written once. Each
// window's own procedure names its index and which of these messages it hands
// to the editor; paint, destroy and command are routed by all of them.
enum EditorRoutes : unsigned {
    // WM_KEYDOWN moves the preview's camera; without it keys are swallowed.
    kRouteKeysToCamera = 1u << 0,
    // Presses and releases of the left and right buttons.
    kRouteMouseButtons = 1u << 1,
    // Every message from WM_MOUSEMOVE to WM_MBUTTONDBLCLK, and WM_CAPTURECHANGED.
    kRouteAllMouse = 1u << 2,
    kRouteMouseActivate = 1u << 3,
    // WM_HSCROLL, WM_VSCROLL and WM_SIZE.
    kRouteScrollAndSize = 1u << 4,
    // WM_MOUSEWHEEL and WM_MOUSEHWHEEL scroll the window's view.
    kRouteWheel = 1u << 5,
};

// The window procedure of editor window `index`. Messages it does not route go
// to DefWindowProcA, and so do messages for a window that the editor does not
// hold under that index (one still being made, or one left by an editor that
// is gone).
LRESULT RouteEditorWindowMessage(int index, unsigned routes, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog procedure of the editor's modeless dialogs.
INT_PTR RouteEditorDialogMessage(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
