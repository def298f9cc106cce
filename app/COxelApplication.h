#pragma once

#include <windows.h>

// A plain Win32 application: the preview window's class, the window, and the
// message loop. Only COxelD3DApplication is ever instantiated.
class COxelApplication {
public:
    COxelApplication(HINSTANCE hInstance, int showCommand);
    virtual ~COxelApplication();

    // Runs the message loop until WM_QUIT, then deletes the application. Returns 0.
    virtual int Run();
    // Called for every WM_KEYDOWN of the preview window (and of the editor windows
    // that pass keys on).
    virtual void OnKeyDown(WPARAM key);

    HWND CreateMainWindow();

    int m_showCommand;
    HINSTANCE m_hInstance;
    HWND m_hWnd;
    MSG m_msg;
};

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
