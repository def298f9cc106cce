#include "app/COxelD3DApplication.h"

#include "app/SafeRelease.h"
#include "editor/PlaneListStep.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DeviceLoss.h"
#include "support/MessageBoxAnswer.h"
#include "support/ScreenCapture.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// The pixels of a render target, resolving a multisampled one first.
std::vector<uint32_t> ReadSurface(IDirect3DSurface9* surface)
{
    std::vector<uint32_t> pixels;
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    IDirect3DSurface9* plain = nullptr;
    IDirect3DSurface9* copy = nullptr;
    if (FAILED(g_device->CreateRenderTarget(desc.Width, desc.Height, desc.Format, D3DMULTISAMPLE_NONE, 0, FALSE,
                                            &plain, nullptr)) ||
        FAILED(g_device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                     nullptr))) {
        SafeRelease(plain);
        return pixels;
    }
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(g_device->StretchRect(surface, nullptr, plain, nullptr, D3DTEXF_NONE)) &&
        SUCCEEDED(g_device->GetRenderTargetData(plain, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            const uint32_t* row =
                reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) {
                pixels[static_cast<size_t>(y) * desc.Width + x] = row[x] & 0xFFFFFF;
            }
        }
        copy->UnlockRect();
    }
    SafeRelease(copy);
    SafeRelease(plain);
    return pixels;
}

// Remembers every key it is given.
class KeyRecordingScene : public COxelD3DSceneBase {
public:
    void OnKeyDown(WPARAM key) override { m_keys.push_back(key); }
    std::vector<WPARAM> m_keys;
};

// The real scene, which also copies the picture it drew out of the render
// target it drew into: the back buffer cannot be read once it is presented.
class CapturingScene : public COxelD3DSceneBase {
public:
    void Render() override
    {
        COxelD3DSceneBase::Render();
        ++m_renders;
        IDirect3DSurface9* target = nullptr;
        g_device->GetRenderTarget(0, &target);
        D3DSURFACE_DESC desc;
        target->GetDesc(&desc);
        m_width = desc.Width;
        m_pixels = ReadSurface(target);
        SafeRelease(target);
    }
    UINT m_width = 0;
    std::vector<uint32_t> m_pixels;
    int m_renders = 0;
};

// A real application with its window, device and scene, as Run makes them.
class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_application = new COxelD3DApplication(GetModuleHandleA(nullptr), SW_HIDE);
        g_application = m_application;
        ASSERT_NE(nullptr, m_application->CreateMainWindow());
        ASSERT_EQ(0, m_application->InitDirect3D(m_application->m_hWnd));
    }
    void TearDown() override
    {
        DestroyWindow(m_application->m_hWnd);
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        delete m_application;
        g_application = nullptr;
    }
    CapturingScene* UseCapturingScene()
    {
        delete m_application->m_scene;
        CapturingScene* scene = new CapturingScene();
        m_application->m_scene = scene;
        EXPECT_EQ(0, scene->Create());
        return scene;
    }

    COxelD3DApplication* m_application = nullptr;
};

size_t CountBlack(const std::vector<uint32_t>& pixels)
{
    size_t count = 0;
    for (uint32_t pixel : pixels) {
        count += pixel == 0;
    }
    return count;
}

bool Close(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance) {
            return false;
        }
    }
    return true;
}

// The device attempts of a machine without Direct3D: every one is refused.
std::vector<std::pair<D3DDEVTYPE, DWORD>> g_deviceAttempts;

HRESULT RefuseDevice(IDirect3D9*, D3DDEVTYPE type, HWND, DWORD behaviour, D3DPRESENT_PARAMETERS*,
                     IDirect3DDevice9** device)
{
    g_deviceAttempts.emplace_back(type, behaviour);
    *device = nullptr;
    return D3DERR_NOTAVAILABLE;
}

// Whether a preview window was ever shown while the hook was in place.
bool g_previewShown = false;

LRESULT CALLBACK WatchPreviewShown(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    char className[32] = {};
    if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam &&
        GetClassNameA(message->hwnd, className, sizeof className) && lstrcmpA(className, "Quelmora") == 0) {
        g_previewShown = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK DestroyPreview(HWND hwnd, LPARAM)
{
    char className[32] = {};
    if (GetClassNameA(hwnd, className, sizeof className) && lstrcmpA(className, "Quelmora") == 0) {
        DestroyWindow(hwnd);
    }
    return TRUE;
}

ULONG References(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

}  // namespace

TEST(COxelD3DApplication, WithoutADeviceRunSaysSoShowsNoWindowAndReturnsZero)
{
    COxelD3DApplication* application = new COxelD3DApplication(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    application->m_createDevice = RefuseDevice;
    g_application = application;
    g_deviceAttempts.clear();
    g_previewShown = false;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchPreviewShown, nullptr, GetCurrentThreadId());
    MessageBoxAnswer answer;
    // Run deletes the application, whatever happens.
    EXPECT_EQ(0, application->Run());
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(nullptr, g_application);
    EXPECT_EQ(nullptr, g_device);
    const std::vector<std::pair<D3DDEVTYPE, DWORD>> attempts = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    EXPECT_EQ(attempts, g_deviceAttempts);
    EXPECT_EQ(1, answer.count);
    EXPECT_EQ("Error", answer.caption);
    EXPECT_EQ("Direct3D の初期化に失敗しました。", answer.text);
    EXPECT_FALSE(g_previewShown);

    EnumThreadWindows(GetCurrentThreadId(), DestroyPreview, 0);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(COxelD3DApplication, EveryKeyButHomeReachesTheScene)
{
    COxelD3DApplication application(GetModuleHandleA(nullptr), SW_HIDE);
    KeyRecordingScene* scene = new KeyRecordingScene();
    application.m_scene = scene;
    std::vector<WPARAM> expected;
    for (WPARAM key = 0; key < 0x200; ++key) {
        application.OnKeyDown(key);
        // Keys are told apart by their low byte alone.
        if ((key & 0xFF) != VK_HOME) {
            expected.push_back(key);
        }
    }
    EXPECT_EQ(expected, scene->m_keys);

    // The same through the preview window.
    g_application = &application;
    HWND preview = application.CreateMainWindow();
    scene->m_keys.clear();
    SendMessageA(preview, WM_KEYDOWN, VK_HOME, 0);
    SendMessageA(preview, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(preview, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ((std::vector<WPARAM>{VK_LEFT, VK_DELETE}), scene->m_keys);
    DestroyWindow(preview);
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    g_application = nullptr;
}

TEST_F(ApplicationTest, InitDirect3DCreatesTheSceneWithItsCameraMapAndSky)
{
    ASSERT_NE(nullptr, m_application->m_scene);
    EXPECT_NE(nullptr, m_application->m_scene->m_camera);
    EXPECT_NE(nullptr, m_application->m_scene->m_terrain);
    EXPECT_NE(nullptr, m_application->m_scene->m_boxVertices);
}

TEST_F(ApplicationTest, AFrameThroughTheOffscreenTargetDrawsTheScene)
{
    CapturingScene* scene = UseCapturingScene();
    m_application->RenderFrame(1000);
    ASSERT_EQ(1024u, scene->m_width);
    ASSERT_EQ(1024u * 1024u, scene->m_pixels.size());
    EXPECT_EQ(0u, CountBlack(scene->m_pixels));

    IDirect3DSurface9* level = nullptr;
    m_application->m_renderTexture->GetSurfaceLevel(0, &level);
    const std::vector<uint32_t> texture = ReadSurface(level);
    SafeRelease(level);
    EXPECT_EQ(scene->m_pixels, texture);
    // Sky at the top differs from the ground at the bottom.
    EXPECT_NE(texture[10 * 1024 + 512], texture[1000 * 1024 + 512]);
}

TEST_F(ApplicationTest, AFrameStraightIntoTheBackBufferShowsTheSameView)
{
    CapturingScene* scene = UseCapturingScene();
    m_application->RenderFrame(1000);
    const std::vector<uint32_t> offscreen = scene->m_pixels;

    m_application->m_renderToTexture = 0;
    m_application->RenderFrame(1016);
    ASSERT_EQ(640u, scene->m_width);
    ASSERT_EQ(640u * 480u, scene->m_pixels.size());
    EXPECT_EQ(0u, CountBlack(scene->m_pixels));

    // The same picture at another size: most pixels around each sample have
    // their like nearby in the other. (Multisampling draws thin lines along the
    // cell edges in this mode, which the majority rule passes over.)
    int mismatches = 0;
    for (int sy = 1; sy < 16; ++sy) {
        for (int sx = 1; sx < 16; ++sx) {
            int alike = 0;
            for (int py = -2; py <= 2; ++py) {
                for (int px = -2; px <= 2; ++px) {
                    const uint32_t direct = scene->m_pixels[(sy * 480 / 16 + py) * 640 + sx * 640 / 16 + px];
                    bool found = false;
                    for (int dy = -12; dy <= 12 && !found; dy += 2) {
                        for (int dx = -12; dx <= 12 && !found; dx += 2) {
                            const int x = sx * 1024 / 16 + dx;
                            const int y = sy * 1024 / 16 + dy;
                            found = Close(direct, offscreen[y * 1024 + x], 24);
                        }
                    }
                    alike += found;
                }
            }
            mismatches += alike < 13;
        }
    }
    EXPECT_EQ(0, mismatches);
}

// Fills every back buffer with one colour and its depth buffer with one depth.
void FillBackBuffers(D3DCOLOR color, float depth)
{
    for (int buffer = 0; buffer < 3; ++buffer) {
        g_device->BeginScene();
        g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, depth, 0);
        g_device->EndScene();
        g_device->Present(nullptr, nullptr, nullptr, nullptr);
    }
}

TEST_F(ApplicationTest, NothingOfWhatTheBackBufferHeldShowsThroughTheScreenQuad)
{
    // A client area the size of the back buffer, so Present copies it unscaled.
    const HWND preview = m_application->m_hWnd;
    RECT frame = {0, 0, 640, 480};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(preview, GWL_STYLE)), GetMenu(preview) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrA(preview, GWL_EXSTYLE)));
    SetWindowPos(preview, HWND_TOPMOST, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    DWORD now = 1000;
    const auto drawnOver = [&](D3DCOLOR color, float depth) {
        FillBackBuffers(color, depth);
        m_application->RenderFrame(now += 100);
        return CaptureClientArea(preview);
    };
    const ScreenPicture onRed = drawnOver(0xFFFF0000, 0.0f);
    const ScreenPicture onBlue = drawnOver(0xFF0000FF, 1.0f);
    ASSERT_EQ(640, onRed.width);
    ASSERT_EQ(480, onRed.height);
    EXPECT_EQ(0.0, DifferingShare(onRed, onBlue, 0));
    size_t red = 0;
    for (uint32_t pixel : onRed.pixels) {
        red += pixel == 0xFF0000;
    }
    EXPECT_EQ(0u, red);
}

TEST_F(ApplicationTest, KeepsThePresentParametersTheDeviceWasMadeWith)
{
    IDirect3DSwapChain9* swapChain = nullptr;
    ASSERT_TRUE(SUCCEEDED(g_device->GetSwapChain(0, &swapChain)));
    D3DPRESENT_PARAMETERS made = {};
    swapChain->GetPresentParameters(&made);
    SafeRelease(swapChain);
    // Where two samples are refused, as here, the device has another count.
    const D3DPRESENT_PARAMETERS& kept = m_application->m_presentParameters;
    EXPECT_EQ(made.MultiSampleType, kept.MultiSampleType);
    EXPECT_EQ(made.MultiSampleQuality, kept.MultiSampleQuality);
    EXPECT_EQ(made.BackBufferWidth, kept.BackBufferWidth);
    EXPECT_EQ(made.BackBufferHeight, kept.BackBufferHeight);
    EXPECT_EQ(made.BackBufferFormat, kept.BackBufferFormat);
    EXPECT_EQ(made.BackBufferCount, kept.BackBufferCount);
    EXPECT_EQ(made.AutoDepthStencilFormat, kept.AutoDepthStencilFormat);
    EXPECT_EQ(m_application->m_hWnd, kept.hDeviceWindow);
}

TEST_F(ApplicationTest, FramesLeaveTheBackBufferAndDepthSurfaceReferencesAsTheyWere)
{
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* depth = nullptr;
    ASSERT_TRUE(SUCCEEDED(g_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)));
    ASSERT_TRUE(SUCCEEDED(g_device->GetDepthStencilSurface(&depth)));
    DWORD now = 1000;
    m_application->RenderFrame(now);
    const ULONG backBufferReferences = References(backBuffer);
    const ULONG depthReferences = References(depth);
    // An even number of frames, so that the back buffers are where they were.
    for (int frame = 0; frame < 20; ++frame) {
        now += 16;
        m_application->RenderFrame(now);
    }
    EXPECT_EQ(backBufferReferences, References(backBuffer));
    EXPECT_EQ(depthReferences, References(depth));
    SafeRelease(depth);
    SafeRelease(backBuffer);
}

TEST_F(ApplicationTest, WireframeFillModeDrawsTheSceneAsLines)
{
    CapturingScene* scene = UseCapturingScene();
    m_application->RenderFrame(1000);
    EXPECT_EQ(0u, CountBlack(scene->m_pixels));
    m_application->m_fillMode = D3DFILL_WIREFRAME;
    m_application->RenderFrame(1016);
    EXPECT_GT(CountBlack(scene->m_pixels), scene->m_pixels.size() / 2);
    m_application->m_renderToTexture = 0;
    m_application->RenderFrame(1032);
    EXPECT_GT(CountBlack(scene->m_pixels), scene->m_pixels.size() / 2);
}

TEST_F(ApplicationTest, ALostDeviceDrawsNothingUntilItIsResetAndThenDrawsTheSamePicture)
{
    // A buffer of every kind the device must give back: the map's quads, a
    // plane's, a billboard's on every cell, the walls, the sky, the target.
    CapturingScene* scene = UseCapturingScene();
    COxelD3DTerrainChipManager* map = scene->m_terrain->m_pChipManager;
    scene->AddPlane();
    map->AddBillboard();
    scene->m_showMapBorder = 1;
    scene->m_showCursor = 1;
    scene->m_cursorPosition[0] = 14.0f;
    scene->m_cursorPosition[2] = 6.0f;
    g_device->SetRenderState(D3DRS_DITHERENABLE, TRUE);
    DWORD now = 1000;
    m_application->RenderFrame(now);
    const std::vector<uint32_t> before = scene->m_pixels;
    ASSERT_EQ(1024u * 1024u, before.size());
    const ULONG deviceReferences = References(g_device);

    DeviceLoss loss(g_device);
    loss.Lose(3, 1);
    // Frame by frame: drawn or not, and what was asked of the device.
    struct Frame {
        int renders;
        int presents;
        int tests;
        int resets;
    };
    const Frame expected[] = {
        {1, 1, 0, 0},  // drawn; its Present finds the device lost
        {1, 1, 1, 0},  // lost
        {1, 1, 2, 0},  // lost
        {1, 1, 3, 0},  // lost
        {1, 1, 4, 1},  // ready to be reset; the reset fails
        {2, 1, 5, 2},  // reset again, and drawn
        {3, 1, 5, 2},
    };
    const int rendersBefore = scene->m_renders;
    for (const Frame& frame : expected) {
        now += 16;
        m_application->RenderFrame(now);
        SCOPED_TRACE(now);
        EXPECT_EQ(frame.renders, scene->m_renders - rendersBefore);
        EXPECT_EQ(frame.presents, loss.presents);
        EXPECT_EQ(frame.tests, loss.tests);
        EXPECT_EQ(frame.resets, loss.resets);
        if (frame.resets == 1 && frame.renders == 1) {
            // Between a failed reset and the next, with every buffer released,
            // the map still takes edits.
            map->SetHeight(14, 6, 9.0);
            map->UpdateAround(14, 6);
        }
    }
    size_t raised = 0;
    for (size_t i = 0; i < before.size() && i < scene->m_pixels.size(); ++i) {
        raised += before[i] != scene->m_pixels[i];
    }
    EXPECT_GT(raised, 1000u);
    map->SetHeight(14, 6, 2.0);
    map->UpdateAround(14, 6);
    m_application->RenderFrame(now + 16);

    EXPECT_FALSE(loss.lost());
    EXPECT_EQ(m_application->m_presentParameters.MultiSampleType, loss.resetParameters.MultiSampleType);
    EXPECT_EQ(m_application->m_presentParameters.BackBufferWidth, loss.resetParameters.BackBufferWidth);
    EXPECT_EQ(m_application->m_presentParameters.hDeviceWindow, loss.resetParameters.hDeviceWindow);

    EXPECT_EQ(deviceReferences, References(g_device));
    DWORD dithering = FALSE;
    g_device->GetRenderState(D3DRS_DITHERENABLE, &dithering);
    EXPECT_EQ(static_cast<DWORD>(TRUE), dithering);
    ASSERT_EQ(before.size(), scene->m_pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        differing += before[i] != scene->m_pixels[i];
    }
    EXPECT_EQ(0u, differing);
}

// Deleted planes and billboards stay with their steps, for an undo: they hold
// no device buffer there that would keep a lost device from being reset, and
// come back drawn.
TEST_F(ApplicationTest, PlanesAndBillboardsKeptByDeletionStepsLetALostDeviceBeReset)
{
    COxelD3DSceneBase* scene = m_application->m_scene;
    COxelD3DTerrainChipManager* map = scene->m_terrain->m_pChipManager;
    scene->AddPlane();
    map->AddBillboard();
    EditedMap edited = {map, scene, nullptr};
    const auto plane = PlaneListStep::Deleting(PlaneKind::kScenePlane, 0, "");
    const auto billboard = PlaneListStep::Deleting(PlaneKind::kBillboard, 0, "");
    ASSERT_TRUE(plane->Redo(edited));
    ASSERT_TRUE(billboard->Redo(edited));
    DWORD now = 1000;
    m_application->RenderFrame(now);

    DeviceLoss loss(g_device);
    loss.Lose(1, 0);
    for (int frame = 0; frame < 5; ++frame) {
        now += 16;
        m_application->RenderFrame(now);
    }
    EXPECT_FALSE(loss.lost());
    EXPECT_LE(loss.resets, 1);

    plane->Undo(edited);
    billboard->Undo(edited);
    ASSERT_NE(nullptr, scene->FindPlane(0));
    ASSERT_NE(nullptr, map->FindBillboard(0));
    EXPECT_NE(nullptr, scene->FindPlane(0)->m_pTerrainChip->m_pVertexBuffer);
    EXPECT_NE(nullptr, map->FindBillboard(0)->m_pTerrainChip->m_pVertexBuffer);
}
