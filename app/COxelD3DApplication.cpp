#include "app/COxelD3DApplication.h"

#include "app/MultiSample.h"
#include "app/PreviewTitle.h"
#include "app/ProgramImages.h"
#include "app/ProgramText.h"
#include "app/SafeRelease.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DSceneBase.h"

#include <mmsystem.h>

#include <new>
#include <string>
#include <utility>

COxelD3DApplication* g_application = nullptr;
IDirect3DDevice9* g_device = nullptr;

namespace {

const UINT kTargetSize = 1024;
const UINT kBackBufferWidth = 640;
const UINT kBackBufferHeight = 480;
const D3DCOLOR kClearColor = 0xFF000000;
// Set outside the frame (at start and by the edit menu), so a reset of the
// device, which returns every state to its default, must put them back.
const D3DRENDERSTATETYPE kKeptStates[] = {D3DRS_ZENABLE, D3DRS_ZWRITEENABLE, D3DRS_DITHERENABLE};

}  // namespace

HRESULT CreateDeviceOnDefaultAdapter(IDirect3D9* direct3D, D3DDEVTYPE type, HWND focusWindow, DWORD behaviour,
                                     D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device)
{
    return direct3D->CreateDevice(D3DADAPTER_DEFAULT, type, focusWindow, behaviour, parameters, device);
}

COxelD3DApplication::COxelD3DApplication(HINSTANCE hInstance, int showCommand)
    : COxelApplication(hInstance, showCommand),
      m_direct3D(nullptr),
      m_displayMode(),
      m_presentParameters(),
      m_renderTexture(nullptr),
      m_depthSurface(nullptr),
      m_renderSurface(nullptr),
      m_screenQuad(nullptr),
      m_fillMode(D3DFILL_SOLID),
      m_renderToTexture(1),
      m_font(nullptr),
      m_scene(nullptr),
      m_direct3DCreated(false),
      m_deviceLost(false),
      m_createDevice(CreateDeviceOnDefaultAdapter),
      m_keptStates{TRUE, TRUE, FALSE},
      m_keptStatesSaved(false)
{
}

COxelD3DApplication::~COxelD3DApplication()
{
    ReleaseDirect3D();
    if (g_application == this) {
        g_application = nullptr;
    }
}

int COxelD3DApplication::Run()
{
    CreateMainWindow();
    if (InitDirect3D(m_hWnd) >= 0 && CreateTextFont() >= 0) {
        // The editor windows are up, the preview not yet: work a crash left
        // behind comes back before the user can do anything else.
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance()) {
            editor->OfferRecoveredWork();
        }
        ShowWindow(m_hWnd, m_showCommand);
        UpdateWindow(m_hWnd);
        ReportUnreadableProgramImages();
        OpenStartMap();
        // Millisecond waits, so that sleeping to the next frame keeps the cadence.
        timeBeginPeriod(1);
        while (m_msg.message != WM_QUIT) {
            if (PeekMessageA(&m_msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchLoopMessage(&m_msg);
                continue;
            }
            // Unsaved work is copied aside when nothing waits, never inside a
            // message box's or a dialog's loop.
            const DWORD recoveryDue = COxelD3DTerrainEditor::KeepRecoveryCopy(timeGetTime());
            // The map's name and unsaved mark may have changed with any message.
            ShowTitle();
            // A minimised preview shows nothing: no frame is worth drawing.
            if (!IsIconic(m_hWnd)) {
                RenderFrame();
            }
            WaitForFrameOrMessage(recoveryDue);
        }
        timeEndPeriod(1);
    } else {
        MessageBoxA(nullptr, Text(IDS_DIRECT3D_FAILED), "Error", MB_OK | MB_TASKMODAL);
    }
    delete this;
    return 0;
}

void COxelD3DApplication::DispatchLoopMessage(MSG* message)
{
    // The undo and redo keys first, whichever window has the focus.
    if (!COxelD3DTerrainEditor::TranslateShortcut(message) && !COxelD3DTerrainEditor::TranslateDialogMessage(message)) {
        TranslateMessage(message);
        DispatchMessageA(message);
    }
}

void COxelD3DApplication::WaitForFrameOrMessage(DWORD longest)
{
    DWORD timeout = IsIconic(m_hWnd) ? INFINITE : m_frameTimer.TimeToNextFrame(timeGetTime());
    timeout = timeout < longest ? timeout : longest;
    if (timeout == 0) {
        return;
    }
    // Input already in the queue, seen or not, ends the wait at once.
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void COxelD3DApplication::OpenStartMap()
{
    if (m_startMap.empty() && m_startMapRefusal.empty()) {
        return;
    }
    // The preview shows the start map, not a blank window, behind a message
    // that refuses the file.
    RenderFrame();
    if (!m_startMapRefusal.empty()) {
        MessageBoxA(nullptr, m_startMapRefusal.c_str(), "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
        return;
    }
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->OpenMapFile(m_startMap.c_str());
    }
}

void COxelD3DApplication::ShowTitle()
{
    const char* rate = m_frameTimer.RateText();
    if (!rate[0]) {
        return;
    }
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    std::string title =
        PreviewTitle(rate, editor ? editor->MapFileName() : std::string(), editor && editor->IsModified());
    if (title != m_title) {
        m_title = std::move(title);
        SetWindowTextA(m_hWnd, m_title.c_str());
    }
}

void COxelD3DApplication::OnKeyDown(WPARAM key)
{
    // Home and F frame the map; the camera keys never see Home.
    const WPARAM code = key & 0xFF;
    if (m_scene && (code == VK_HOME || (code == 'F' && GetKeyState(VK_CONTROL) >= 0))) {
        m_scene->FrameMap();
    }
    if (m_scene && code != VK_HOME) {
        m_scene->OnKeyDown(key);
    }
    // The ground under a pointer resting on the preview moved with the view.
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance()) {
        editor->FollowPreviewPointer();
    }
}

HRESULT COxelD3DApplication::InitDirect3D(HWND hwnd)
{
    if (!m_direct3DCreated) {
        m_direct3D = Direct3DCreate9(D3D_SDK_VERSION);
        if (!m_direct3D) {
            return E_FAIL;
        }
        if (FAILED(m_direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &m_displayMode))) {
            return E_FAIL;
        }
        m_direct3DCreated = true;

        m_presentParameters = D3DPRESENT_PARAMETERS();
        m_presentParameters.BackBufferWidth = kBackBufferWidth;
        m_presentParameters.BackBufferHeight = kBackBufferHeight;
        m_presentParameters.BackBufferFormat = m_displayMode.Format;
        m_presentParameters.BackBufferCount = 2;
        m_presentParameters.MultiSampleType = D3DMULTISAMPLE_2_SAMPLES;
        m_presentParameters.MultiSampleQuality = 0;
        m_presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        m_presentParameters.hDeviceWindow = hwnd;
        m_presentParameters.Windowed = TRUE;
        m_presentParameters.EnableAutoDepthStencil = TRUE;
        m_presentParameters.AutoDepthStencilFormat = D3DFMT_D16;
        m_presentParameters.PresentationInterval = 0;
    }

    if (CreateDevice(hwnd) < 0) {
        return E_FAIL;
    }

    // The scene makes the camera, the terrain with the editor windows, and the sky.
    m_scene = new (std::nothrow) COxelD3DSceneBase();
    if (!m_scene || m_scene->Create() < 0) {
        return E_FAIL;
    }

    if (CreateRenderTarget() < 0 || CreateScreenQuad() < 0) {
        return E_FAIL;
    }

    g_device->SetRenderState(D3DRS_ZENABLE, TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    return 0;
}

// Tries a hardware device, then hardware with software vertex processing, then
// the reference rasteriser. Each is asked for the multisample type nearest to
// the one wanted that it really offers, since an unsupported type refuses the
// device. The present parameters kept are the ones the device was made with,
// which a reset of the device needs.
HRESULT COxelD3DApplication::CreateDevice(HWND hwnd)
{
    struct Attempt {
        D3DDEVTYPE type;
        DWORD behaviour;
    };
    const Attempt attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    for (const Attempt& attempt : attempts) {
        D3DPRESENT_PARAMETERS parameters = m_presentParameters;
        parameters.MultiSampleType =
            NearestMultiSampleType(m_presentParameters.MultiSampleType, [&](D3DMULTISAMPLE_TYPE type) {
                return SUCCEEDED(m_direct3D->CheckDeviceMultiSampleType(
                           D3DADAPTER_DEFAULT, attempt.type, parameters.BackBufferFormat, TRUE, type, nullptr)) &&
                       SUCCEEDED(m_direct3D->CheckDeviceMultiSampleType(
                           D3DADAPTER_DEFAULT, attempt.type, parameters.AutoDepthStencilFormat, TRUE, type, nullptr));
            });
        if (SUCCEEDED(m_createDevice(m_direct3D, attempt.type, hwnd, attempt.behaviour, &parameters, &g_device))) {
            m_presentParameters = parameters;
            return 0;
        }
        g_device = nullptr;
    }
    return E_FAIL;
}

HRESULT COxelD3DApplication::CreateRenderTarget()
{
    if (FAILED(g_device->CreateTexture(kTargetSize, kTargetSize, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                       D3DPOOL_DEFAULT, &m_renderTexture, nullptr))) {
        return E_FAIL;
    }
    if (FAILED(g_device->CreateDepthStencilSurface(kTargetSize, kTargetSize, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0,
                                                   TRUE, &m_depthSurface, nullptr))) {
        return E_FAIL;
    }
    if (FAILED(m_renderTexture->GetSurfaceLevel(0, &m_renderSurface))) {
        return E_FAIL;
    }
    return 0;
}

// The whole 1024 x 1024 target is mapped onto the 640 x 480 back buffer.
HRESULT COxelD3DApplication::CreateScreenQuad()
{
    const ScreenVertex corners[4] = {
        {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
        {640.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f},
        {0.0f, 480.0f, 0.0f, 1.0f, 0.0f, 1.0f},
        {640.0f, 480.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    };
    if (FAILED(g_device->CreateVertexBuffer(sizeof corners, 0, kScreenVertexFVF, D3DPOOL_DEFAULT, &m_screenQuad,
                                            nullptr))) {
        return E_FAIL;
    }
    void* data = nullptr;
    if (FAILED(m_screenQuad->Lock(0, 0, &data, 0))) {
        return E_FAIL;
    }
    memcpy(data, corners, sizeof corners);
    m_screenQuad->Unlock();
    return 0;
}

HRESULT COxelD3DApplication::CreateTextFont()
{
    D3DXFONT_DESCA description = {};
    description.Height = 32;
    description.Width = 24;
    description.CharSet = SHIFTJIS_CHARSET;
    if (FAILED(D3DXCreateFontIndirectA(g_device, &description, &m_font))) {
        return E_FAIL;
    }
    return 0;
}

void COxelD3DApplication::RenderFrame()
{
    RenderFrame(timeGetTime());
}

void COxelD3DApplication::RenderFrame(DWORD now)
{
    const COxelFrameTimer::Step step = m_frameTimer.Advance(now);
    if (step == COxelFrameTimer::Skip) {
        return;
    }
    if (step == COxelFrameTimer::DrawAndShowRate) {
        ShowTitle();
    }
    if (!g_device || !DeviceReady() || FAILED(g_device->BeginScene())) {
        return;
    }

    if (m_renderToTexture) {
        IDirect3DSurface9* savedTarget = nullptr;
        IDirect3DSurface9* savedDepth = nullptr;
        D3DVIEWPORT9 savedViewport = {};
        g_device->GetRenderTarget(0, &savedTarget);
        g_device->GetDepthStencilSurface(&savedDepth);
        g_device->GetViewport(&savedViewport);

        const D3DVIEWPORT9 targetViewport = {0, 0, kTargetSize, kTargetSize, 0.0f, 1.0f};
        g_device->SetRenderTarget(0, m_renderSurface);
        g_device->SetDepthStencilSurface(m_depthSurface);
        g_device->SetViewport(&targetViewport);

        DrawScene();

        g_device->SetRenderTarget(0, savedTarget);
        g_device->SetDepthStencilSurface(savedDepth);
        g_device->SetViewport(&savedViewport);
        SafeRelease(savedTarget);
        SafeRelease(savedDepth);

        DrawScreenQuad();
    } else {
        DrawScene();
    }

    g_device->EndScene();
    if (g_device->Present(nullptr, nullptr, m_hWnd, nullptr) == D3DERR_DEVICELOST) {
        m_deviceLost = true;
    }
}

bool COxelD3DApplication::DeviceReady()
{
    if (!m_deviceLost) {
        return true;
    }
    // A device that reports itself fine after a failed reset is reset again:
    // its default-pool objects were released for the first attempt.
    if (g_device->TestCooperativeLevel() == D3DERR_DEVICELOST || ResetDevice() < 0) {
        return false;
    }
    m_deviceLost = false;
    return true;
}

HRESULT COxelD3DApplication::ResetDevice()
{
    static_assert(sizeof kKeptStates / sizeof kKeptStates[0] == kKeptStateCount, "one value per kept state");
    if (!m_keptStatesSaved) {
        for (int i = 0; i < kKeptStateCount; ++i) {
            g_device->GetRenderState(kKeptStates[i], &m_keptStates[i]);
        }
        m_keptStatesSaved = true;
    }

    if (m_font) {
        m_font->OnLostDevice();
    }
    if (m_scene) {
        m_scene->OnLostDevice();
    }
    ReleaseRenderTarget();
    SafeRelease(m_screenQuad);

    D3DPRESENT_PARAMETERS parameters = m_presentParameters;
    if (FAILED(g_device->Reset(&parameters))) {
        return E_FAIL;
    }
    if (CreateRenderTarget() < 0 || CreateScreenQuad() < 0 || (m_scene && m_scene->OnResetDevice() < 0)) {
        return E_FAIL;
    }
    if (m_font) {
        m_font->OnResetDevice();
    }
    for (int i = 0; i < kKeptStateCount; ++i) {
        g_device->SetRenderState(kKeptStates[i], m_keptStates[i]);
    }
    m_keptStatesSaved = false;
    return 0;
}

void COxelD3DApplication::DrawScene()
{
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    g_device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_NONE);
    g_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_NONE);
    g_device->SetRenderState(D3DRS_FILLMODE, m_fillMode);
    if (m_scene) {
        m_scene->Render();
    }
}

// The quad is always drawn solid, whatever fill mode the scene used.
//
// It covers the centre of every back-buffer pixel and, at depth 0, passes any
// depth, so the back buffer needs no clearing but for the samples of a
// multisampled one that lie left of column 0 and above row 0, outside the
// quad: clearing those two edges keeps old frames out of them.
void COxelD3DApplication::DrawScreenQuad()
{
    g_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    const LONG width = static_cast<LONG>(m_presentParameters.BackBufferWidth);
    const LONG height = static_cast<LONG>(m_presentParameters.BackBufferHeight);
    const D3DRECT edges[2] = {{0, 0, width, 1}, {0, 0, 1, height}};
    g_device->Clear(2, edges, D3DCLEAR_TARGET, kClearColor, 1.0f, 0);
    g_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
    g_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
    g_device->SetTexture(0, m_renderTexture);
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    g_device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    g_device->SetStreamSource(0, m_screenQuad, 0, sizeof(ScreenVertex));
    g_device->SetFVF(kScreenVertexFVF);
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

void COxelD3DApplication::ReleaseRenderTarget()
{
    SafeRelease(m_renderSurface);
    SafeRelease(m_depthSurface);
    SafeRelease(m_renderTexture);
}

void COxelD3DApplication::ReleaseDirect3D()
{
    SafeRelease(m_font);
    delete m_scene;
    m_scene = nullptr;
    SafeRelease(m_screenQuad);
    ReleaseRenderTarget();
    SafeRelease(g_device);
    SafeRelease(m_direct3D);
}
