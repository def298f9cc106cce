#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Real mouse and keyboard input on the virtual display, given by xdotool as a
// user gives it. It reaches the program through Wine's own input handling, so
// mouse capture, keyboard focus, disabled windows and modal loops act on it
// as they act on a user's; posted messages would skip all four.
//
// While xdotool runs, and a moment after, this thread's messages are
// dispatched as the program's message loop dispatches them, shortcuts
// included; a modal loop the input opens dispatches them itself.
class RealInput {
public:
    // Runs xdotool with `arguments` ("mousedown 1", "key ctrl+z"); false when
    // it could not be started or failed.
    static bool Xdotool(const std::string& arguments);
    // Moves the pointer to client point `at` of `window`.
    static bool MoveTo(HWND window, POINT at);
    // Presses, or releases, mouse button 1 (left) or 3 (right) where the pointer is.
    static bool Press(int button);
    static bool Release(int button);
    // A key combination as xdotool names it: "ctrl+z", "alt+F4".
    static bool Key(const std::string& keys);
    // Drops the files at `paths` (Windows paths) on the window under screen
    // point `at`, as a Linux file manager drops them: through the X server,
    // by a drag source that speaks XDND and offers the files as a list of
    // file:// URIs. True when the window took the drop; `outcome` says how it
    // ended ("dropped", or what went wrong).
    static bool DropFiles(POINT at, const std::vector<std::string>& paths, std::string* outcome = nullptr);
    // Dispatches this thread's messages for `milliseconds`.
    static void Dispatch(DWORD milliseconds);
};
