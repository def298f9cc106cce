#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <vector>

// A hidden window with a real Direct3D 9 device in g_device, for tests and
// benchmarks that draw. Drawing goes into a lockable offscreen target of the
// given size, whose pixels can be read back.
class TestDevice {
public:
    explicit TestDevice(UINT width = 256, UINT height = 256);
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    bool ok() const { return m_device != nullptr; }
    HWND window() const { return m_window; }
    UINT width() const { return m_width; }
    UINT height() const { return m_height; }

    // Clears target and depth; call between BeginScene and EndScene as usual.
    void Clear(D3DCOLOR color);
    // The render target's pixels as 0xAARRGGBB, row by row from the top.
    std::vector<uint32_t> ReadPixels() const;
    uint32_t Pixel(UINT x, UINT y) const;
    // Writes the target to a PNG, for looking at a failing picture.
    void SavePng(const char* path) const;

private:
    HWND m_window;
    IDirect3D9* m_direct3D;
    IDirect3DDevice9* m_device;
    IDirect3DSurface9* m_target;
    IDirect3DSurface9* m_depth;
    UINT m_width;
    UINT m_height;
};
