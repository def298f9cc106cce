#pragma once

#include "app/COxelApplication.h"
#include "app/COxelFrameTimer.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <string>

class COxelD3DSceneBase;

// A vertex of the full-screen quad that shows the offscreen target.
struct ScreenVertex {
    float x, y, z, rhw;
    float u, v;
};
const DWORD kScreenVertexFVF = D3DFVF_XYZRHW | D3DFVF_TEX1;

// Makes a device on the default adapter, as IDirect3D9::CreateDevice does.
using DeviceCreator = HRESULT (*)(IDirect3D9* direct3D, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                                  D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device);
HRESULT CreateDeviceOnDefaultAdapter(IDirect3D9* direct3D, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                                     D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device);

// The application with Direct3D: the device, the scene, the offscreen render
// target and the composition of each frame.
class COxelD3DApplication : public COxelApplication {
public:
    COxelD3DApplication(HINSTANCE hInstance, int showCommand);
    ~COxelD3DApplication() override;

    int Run() override;
    void OnKeyDown(WPARAM key) override;
    // What the message loop does with each message it takes from the queue:
    // the editor's shortcuts and dialog keys first, then the window's own.
    static void DispatchLoopMessage(MSG* message);

    HRESULT InitDirect3D(HWND hwnd);
    HRESULT CreateTextFont();
    // One frame, or nothing when the last one was drawn less than 16 ms ago.
    void RenderFrame();
    void RenderFrame(DWORD now);
    // Sleeps until the next frame is due or a message arrives, whichever comes
    // first; while the preview is minimised, until a message arrives. Never
    // longer than `longest` milliseconds.
    void WaitForFrameOrMessage(DWORD longest = INFINITE);
    void ReleaseDirect3D();
    // Opens m_startMap in the editor, when there is one, as "開く(&O)" would,
    // or shows m_startMapRefusal.
    void OpenStartMap();
    // Brings the preview's title up to date once the first frame rate is
    // known: the rate, the map's file name and its unsaved mark. Called by the
    // loop whenever no message waits, so the title follows a save, an undo or
    // an open at once; the text is set only when it changed.
    void ShowTitle();

    IDirect3D9* m_direct3D;
    D3DDISPLAYMODE m_displayMode;
    D3DPRESENT_PARAMETERS m_presentParameters;
    IDirect3DTexture9* m_renderTexture;
    IDirect3DSurface9* m_depthSurface;
    IDirect3DSurface9* m_renderSurface;
    IDirect3DVertexBuffer9* m_screenQuad;
    int m_fillMode;
    int m_renderToTexture;
    ID3DXFont* m_font;
    COxelD3DSceneBase* m_scene;
    bool m_direct3DCreated;
    // Set when a frame finds the device lost (the screen locked, the display
    // mode changed, another program took the screen): frames draw nothing and
    // ask the device once a frame whether it can be reset, until a reset works.
    bool m_deviceLost;
    // How InitDirect3D makes the device: CreateDeviceOnDefaultAdapter, unless a
    // test puts one here that refuses, to see what a machine without Direct3D sees.
    DeviceCreator m_createDevice;
    // The map file named on the command line, opened once the windows are up; empty for none.
    std::string m_startMap;
    // Why the map named on the command line is not opened, shown once the
    // windows are up instead of opening it; empty for none.
    std::string m_startMapRefusal;

private:
    HRESULT CreateDevice(HWND hwnd);
    HRESULT CreateRenderTarget();
    HRESULT CreateScreenQuad();
    void ReleaseRenderTarget();
    // Whether the frame may draw: a lost device is asked whether it can be
    // reset, and is reset when it can.
    bool DeviceReady();
    // Releases every default-pool object, resets the device with the present
    // parameters it was made with, and makes them again; 0 or E_FAIL.
    HRESULT ResetDevice();
    void DrawScene();
    void DrawScreenQuad();

    COxelFrameTimer m_frameTimer;
    // The title last set by ShowTitle; empty before the first frame rate.
    std::string m_title;
    // The render states set outside the frame, as they were before the first
    // of the current run of reset attempts: a failed reset may leave others.
    static const int kKeptStateCount = 3;
    DWORD m_keptStates[kKeptStateCount];
    bool m_keptStatesSaved;
};

extern COxelD3DApplication* g_application;
extern IDirect3DDevice9* g_device;
