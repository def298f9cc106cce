// Prints what a frame of the preview costs from the start view: milliseconds
// per frame, draw calls and vertex-buffer locks per frame, for 16 x 16, 32 x 32
// and 64 x 64 maps, with the infinite display on and off, through the offscreen
// target and straight into the back buffer. Frames are driven with a clock that
// advances 16 ms per call, so the frame-rate guard never skips one.

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <d3d9.h>

#include <cstdio>

namespace {

const int kWarmUpFrames = 20;
const int kFrames = 300;

// Counting hooks in the device's and the vertex buffers' method tables. Every
// device and every vertex buffer of the process shares one table, so the
// hooks count the program's own calls without touching its code.
long g_drawCalls = 0;
long g_bufferLocks = 0;

using DrawPrimitiveFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, UINT);
using DrawIndexedPrimitiveFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, INT, UINT, UINT, UINT,
                                                           UINT);
using LockFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DVertexBuffer9*, UINT, UINT, void**, DWORD);
DrawPrimitiveFn g_drawPrimitive = nullptr;
DrawIndexedPrimitiveFn g_drawIndexedPrimitive = nullptr;
LockFn g_lock = nullptr;

HRESULT STDMETHODCALLTYPE CountDrawPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, UINT start, UINT count)
{
    ++g_drawCalls;
    return g_drawPrimitive(device, type, start, count);
}

HRESULT STDMETHODCALLTYPE CountDrawIndexedPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, INT base,
                                                    UINT minimum, UINT vertices, UINT start, UINT count)
{
    ++g_drawCalls;
    return g_drawIndexedPrimitive(device, type, base, minimum, vertices, start, count);
}

HRESULT STDMETHODCALLTYPE CountLock(IDirect3DVertexBuffer9* buffer, UINT offset, UINT size, void** data, DWORD flags)
{
    ++g_bufferLocks;
    return g_lock(buffer, offset, size, data, flags);
}

// Slots in the COM method tables, fixed by the interfaces' declarations.
const int kDrawPrimitiveSlot = 81;
const int kDrawIndexedPrimitiveSlot = 82;
const int kVertexBufferLockSlot = 11;

template <class Function>
Function Patch(void* object, int slot, void* hook)
{
    void** table = *static_cast<void***>(object);
    DWORD previous = 0;
    VirtualProtect(&table[slot], sizeof(void*), PAGE_EXECUTE_READWRITE, &previous);
    Function original = reinterpret_cast<Function>(table[slot]);
    table[slot] = hook;
    VirtualProtect(&table[slot], sizeof(void*), previous, &previous);
    return original;
}

void InstallCounters()
{
    g_drawPrimitive = Patch<DrawPrimitiveFn>(g_device, kDrawPrimitiveSlot, reinterpret_cast<void*>(&CountDrawPrimitive));
    g_drawIndexedPrimitive = Patch<DrawIndexedPrimitiveFn>(g_device, kDrawIndexedPrimitiveSlot,
                                                           reinterpret_cast<void*>(&CountDrawIndexedPrimitive));
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (SUCCEEDED(g_device->CreateVertexBuffer(32, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr))) {
        g_lock = Patch<LockFn>(buffer, kVertexBufferLockSlot, reinterpret_cast<void*>(&CountLock));
        buffer->Release();
    }
}

// Waits until the device has carried out everything issued so far.
void Finish()
{
    IDirect3DQuery9* query = nullptr;
    if (FAILED(g_device->CreateQuery(D3DQUERYTYPE_EVENT, &query))) {
        return;
    }
    query->Issue(D3DISSUE_END);
    while (query->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE) {
    }
    query->Release();
}

struct Figures {
    double milliseconds;
    double drawCalls;
    double locks;
    int tilesX;
    int tilesZ;
};

DWORD g_clock = 100000;

Figures Measure(COxelD3DApplication& application)
{
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
    }
    Finish();
    g_drawCalls = 0;
    g_bufferLocks = 0;
    const double start = SecondsNow();
    for (int frame = 0; frame < kFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
    }
    Finish();
    Figures figures = {};
    figures.milliseconds = (SecondsNow() - start) * 1e3 / kFrames;
    figures.drawCalls = static_cast<double>(g_drawCalls) / kFrames;
    figures.locks = static_cast<double>(g_bufferLocks) / kFrames;
    const COxelD3DSceneBase& scene = *application.m_scene;
    const TileRange tiles = VisibleTiles(scene.m_camera->m_frustumMin.x, scene.m_camera->m_frustumMax.x,
                                         scene.m_camera->m_frustumMin.z, scene.m_camera->m_frustumMax.z,
                                         scene.m_terrain->m_pChipManager->m_mapWidth,
                                         scene.m_terrain->m_pChipManager->m_mapHeight);
    figures.tilesX = tiles.x1 - tiles.x0 + 1;
    figures.tilesZ = tiles.z1 - tiles.z0 + 1;
    return figures;
}

// The scene's own share of a frame: only its Render, each frame waited for.
double MeasureSceneOnly(COxelD3DSceneBase& scene)
{
    double total = 0.0;
    for (int frame = 0; frame < kFrames / 3; ++frame) {
        g_device->BeginScene();
        g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        const double start = SecondsNow();
        scene.Render();
        g_device->EndScene();
        Finish();
        total += SecondsNow() - start;
    }
    return total * 1e3 / (kFrames / 3);
}

void Print(const char* title, const Figures& figures)
{
    printf("%-44s %8.2f ms/frame %8.1f draw calls %7.1f buffer locks  (%d x %d tiles)\n", title, figures.milliseconds,
           figures.drawCalls, figures.locks, figures.tilesX, figures.tilesZ);
}

}  // namespace

int main()
{
    COxelD3DApplication* application = new COxelD3DApplication(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE);
    g_application = application;
    HWND window = application->CreateMainWindow();
    if (!window || application->InitDirect3D(window) < 0) {
        printf("no Direct3D device\n");
        return 1;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    InstallCounters();
    COxelD3DSceneBase& scene = *application->m_scene;
    COxelD3DTerrainChipManager& map = *scene.m_terrain->m_pChipManager;

    printf("scene_bench: start view, %d frames each after %d warm-up frames\n", kFrames, kWarmUpFrames);
    const int sizes[] = {16, 32, 64};
    for (int size : sizes) {
        map.Release();
        map.Create(size, size);
        for (int toTexture = 1; toTexture >= 0; --toTexture) {
            for (int infinite = 1; infinite >= 0; --infinite) {
                application->m_renderToTexture = toTexture;
                scene.m_showInfinite = infinite;
                char title[96];
                snprintf(title, sizeof title, "%2d x %-2d %-14s infinite %s", size, size,
                         toTexture ? "offscreen" : "back buffer", infinite ? "on " : "off");
                Print(title, Measure(*application));
            }
        }
    }

    // Where the default frame's time goes: 32 x 32, infinite, sky, offscreen.
    map.Release();
    map.Create(32, 32);
    application->m_renderToTexture = 1;
    scene.m_showInfinite = 1;
    printf("\nThe default frame (32 x 32, infinite, sky, offscreen) taken apart:\n");
    Print("whole frame", Measure(*application));
    printf("%-44s %8.2f ms\n", "scene Render alone, into the back buffer", MeasureSceneOnly(scene));
    scene.m_showBackground = 0;
    Print("whole frame without the sky", Measure(*application));
    scene.m_showBackground = 1;
    application->m_fillMode = D3DFILL_WIREFRAME;
    Print("whole frame in wireframe", Measure(*application));
    application->m_fillMode = D3DFILL_SOLID;
    scene.m_showInfinite = 0;
    Print("whole frame, one map copy", Measure(*application));
    scene.m_showInfinite = 1;

    DestroyWindow(window);
    delete application;
    return 0;
}
