#pragma once

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/TestDevice.h"

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <memory>
#include <vector>

// One frame of the scene into the test device's target, with the state the
// application's frame sets before the scene draws; returns the picture.
inline std::vector<uint32_t> DrawSceneFrame(TestDevice& device, COxelD3DSceneBase& scene,
                                            DWORD fillMode = D3DFILL_SOLID)
{
    g_device->BeginScene();
    device.Clear(0xFF000000);
    g_device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_NONE);
    g_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_NONE);
    g_device->SetRenderState(D3DRS_FILLMODE, fillMode);
    scene.Render();
    g_device->EndScene();
    return device.ReadPixels();
}

// Puts a scene into an application object as g_application, which is where the
// camera finds the map it wraps around. The scene stays the caller's.
class SceneInApplication {
public:
    explicit SceneInApplication(COxelD3DSceneBase* scene)
        : m_application(new COxelD3DApplication(GetModuleHandleA(nullptr), SW_HIDE))
    {
        m_application->m_scene = scene;
        g_application = m_application.get();
    }
    ~SceneInApplication()
    {
        m_application->m_scene = nullptr;
        g_application = nullptr;
        // The application would release the device it believes it made.
        IDirect3DDevice9* device = g_device;
        g_device = nullptr;
        m_application.reset();
        g_device = device;
    }
    SceneInApplication(const SceneInApplication&) = delete;
    SceneInApplication& operator=(const SceneInApplication&) = delete;

private:
    std::unique_ptr<COxelD3DApplication> m_application;
};
