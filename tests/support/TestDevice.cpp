#include "support/TestDevice.h"

#include "app/COxelD3DApplication.h"
#include "app/SafeRelease.h"

#include <d3dx9.h>

namespace {

const char kWindowClass[] = "QuelmoraTestWindow";

HWND CreateHiddenWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    return CreateWindowA(kWindowClass, "Test", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TestDevice::TestDevice(UINT width, UINT height)
    : m_window(CreateHiddenWindow()),
      m_direct3D(Direct3DCreate9(D3D_SDK_VERSION)),
      m_device(nullptr),
      m_target(nullptr),
      m_depth(nullptr),
      m_width(width),
      m_height(height)
{
    if (!m_window || !m_direct3D) {
        return;
    }
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = 64;
    parameters.BackBufferHeight = 64;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = m_window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    const D3DDEVTYPE types[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
    for (D3DDEVTYPE type : types) {
        if (SUCCEEDED(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, type, m_window,
                                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &m_device))) {
            break;
        }
        m_device = nullptr;
    }
    if (!m_device) {
        return;
    }
    m_device->CreateRenderTarget(width, height, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &m_target, nullptr);
    m_device->CreateDepthStencilSurface(width, height, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, &m_depth, nullptr);
    m_device->SetRenderTarget(0, m_target);
    m_device->SetDepthStencilSurface(m_depth);
    const D3DVIEWPORT9 viewport = {0, 0, width, height, 0.0f, 1.0f};
    m_device->SetViewport(&viewport);
    m_device->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_device = m_device;
}

TestDevice::~TestDevice()
{
    if (g_device == m_device) {
        g_device = nullptr;
    }
    SafeRelease(m_depth);
    SafeRelease(m_target);
    SafeRelease(m_device);
    SafeRelease(m_direct3D);
    if (m_window) {
        DestroyWindow(m_window);
    }
}

void TestDevice::Clear(D3DCOLOR color)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0);
}

std::vector<uint32_t> TestDevice::ReadPixels() const
{
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* copy = nullptr;
    if (FAILED(m_device->CreateOffscreenPlainSurface(m_width, m_height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                     nullptr))) {
        return pixels;
    }
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(m_device->GetRenderTargetData(m_target, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pixels.resize(static_cast<size_t>(m_width) * m_height);
        for (UINT y = 0; y < m_height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < m_width; ++x) {
                pixels[static_cast<size_t>(y) * m_width + x] = row[x];
            }
        }
        copy->UnlockRect();
    }
    SafeRelease(copy);
    return pixels;
}

uint32_t TestDevice::Pixel(UINT x, UINT y) const
{
    const std::vector<uint32_t> pixels = ReadPixels();
    return pixels.empty() ? 0 : pixels[static_cast<size_t>(y) * m_width + x];
}

void TestDevice::SavePng(const char* path) const
{
    D3DXSaveSurfaceToFileA(path, D3DXIFF_PNG, m_target, nullptr, nullptr);
}
