#pragma once

#include <windows.h>

#include <d3d9.h>

class COxelD3DApplication;

// The program's preview as a benchmark drives it: the application object with
// its window shown (not activated), its device, and the scene with the start
// map, without the message loop. Frames are drawn by calling RenderFrame.
class BenchPreview {
public:
    BenchPreview();
    ~BenchPreview();
    BenchPreview(const BenchPreview&) = delete;
    BenchPreview& operator=(const BenchPreview&) = delete;

    // False when the window or the device could not be made.
    bool ok() const { return m_ok; }

    COxelD3DApplication* m_application;
    HWND m_window;

private:
    bool m_ok;
};

// Waits until the device has carried out everything issued so far.
void WaitUntilDrawn(IDirect3DDevice9* device);
