#include "scene/COxelD3DSceneBase.h"

#include "app/COxelD3DApplication.h"
#include "app/ProgramImages.h"
#include "app/SafeRelease.h"
#include "io/OpenedMap.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/SceneVertex.h"
#include "scene/SkySphereShape.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "terrain/COxelQuadNode.h"
#include "terrain/GroundPick.h"

#include <d3dx9.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

const float kStartEye[3] = {16.0f, 16.0f, 16.0f};
const float kStartTarget[3] = {16.0f, 8.0f, 0.0f};
const float kMoveStep = 0.5f;
const float kTurnStep = 0.01f;
const float kWallHeight = 8.0f;

// Walls only, no top or bottom: each wall's image has its top edge (v = 0) at
// the top of the wall.
const SceneVertex kBoxVertices[8] = {
    {0, 1, 0, 1, 0, 1, 0, 0},  {1, 1, 0, -1, 0, 1, 1, 0},  {1, 1, 1, -1, 0, -1, 0, 0}, {0, 1, 1, 1, 0, -1, 1, 0},
    {0, 0, 0, 1, 0, 1, 0, 1},  {1, 0, 0, -1, 0, 1, 1, 1},  {1, 0, 1, -1, 0, -1, 0, 1}, {0, 0, 1, 1, 0, -1, 1, 1},
};
// One strip of eight triangles round the four walls.
const WORD kBoxIndices[10] = {0, 4, 1, 5, 2, 6, 3, 7, 0, 4};

DWORD FloatBits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

void SetWorldTranslation(float x, float y, float z)
{
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, y, z);
    g_device->SetTransform(D3DTS_WORLD, &world);
}

}  // namespace

int TileIndex(float v, int period)
{
    if (v < 0.0f) {
        return -static_cast<int>(std::fabs(v) / period + 1.0f);
    }
    return static_cast<int>(v / period);
}

TileRange VisibleTiles(float minX, float maxX, float minZ, float maxZ, int width, int height)
{
    return TileRange{TileIndex(minX, width), TileIndex(maxX, width), TileIndex(minZ, height),
                     TileIndex(maxZ, height)};
}

bool DrawnBefore(float a, float b, float eyeY)
{
    return std::fabs(a - eyeY) > std::fabs(b - eyeY);
}

COxelD3DSceneBase::COxelD3DSceneBase()
    : m_terrain(nullptr),
      m_camera(nullptr),
      m_autoRotate(0),
      m_showInfinite(1),
      m_showBackground(1),
      m_fogStart(12.0f),
      m_fogEnd(40.0f),
      m_showMapBorder(0),
      m_showCursor(0),
      m_cursorPosition{0.0f, 0.0f, 0.0f},
      m_cursorSize(1),
      m_boxVertices(nullptr),
      m_boxIndices(nullptr),
      m_effectTexture(nullptr),
      m_selectionShown(false),
      m_selectionBox{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
      m_skyFirst(0),
      m_backgroundSphere(nullptr)
{
}

COxelD3DSceneBase::~COxelD3DSceneBase()
{
    delete m_terrain;
    m_terrain = nullptr;
    delete m_camera;
    m_camera = nullptr;
    if (g_backgroundSphere == m_backgroundSphere) {
        g_backgroundSphere = nullptr;
    }
    delete m_backgroundSphere;
    m_backgroundSphere = nullptr;
    for (COxelD3DTerrainPlane* plane : m_planes) {
        delete plane;
    }
    m_planes.clear();
    SafeRelease(m_effectTexture);
    SafeRelease(m_boxIndices);
    SafeRelease(m_boxVertices);
}

HRESULT COxelD3DSceneBase::Create()
{
    m_camera = new (std::nothrow) COxelD3DCameraBase();
    if (!m_camera) {
        return E_FAIL;
    }
    m_camera->SetPosition(kStartEye[0], kStartEye[1], kStartEye[2]);
    m_camera->SetTarget(kStartTarget[0], kStartTarget[1], kStartTarget[2]);
    m_camera->SetUp(0.0f, 1.0f, 0.0f);

    m_terrain = new (std::nothrow) COxelD3DTerrainBase();
    if (!m_terrain || !m_terrain->m_pChipManager) {
        return E_FAIL;
    }

    m_backgroundSphere = new (std::nothrow) COxelD3DSceneBackgroundSphere();
    g_backgroundSphere = m_backgroundSphere;
    if (!m_backgroundSphere || m_backgroundSphere->Build(kSkySlices, kSkyStacks, kSkyRadius) < 0) {
        return E_FAIL;
    }

    if (CreateBox() < 0) {
        return E_FAIL;
    }

    // Optional: without the image the walls are drawn untextured.
    if (FAILED(D3DXCreateTextureFromFileA(g_device, ProgramImagePath("effect.dds").c_str(), &m_effectTexture))) {
        m_effectTexture = nullptr;
    }
    return 0;
}

HRESULT COxelD3DSceneBase::CreateBox()
{
    if (CreateBoxVertices() < 0) {
        return E_FAIL;
    }
    void* data = nullptr;
    if (FAILED(g_device->CreateIndexBuffer(sizeof kBoxIndices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                           &m_boxIndices, nullptr))) {
        m_boxIndices = nullptr;
        return E_FAIL;
    }
    if (FAILED(m_boxIndices->Lock(0, 0, &data, 0))) {
        return E_FAIL;
    }
    memcpy(data, kBoxIndices, sizeof kBoxIndices);
    m_boxIndices->Unlock();
    return 0;
}

HRESULT COxelD3DSceneBase::CreateBoxVertices()
{
    if (FAILED(g_device->CreateVertexBuffer(sizeof kBoxVertices, 0, kSceneVertexFVF, D3DPOOL_DEFAULT, &m_boxVertices,
                                            nullptr))) {
        m_boxVertices = nullptr;
        return E_FAIL;
    }
    void* data = nullptr;
    if (FAILED(m_boxVertices->Lock(0, 0, &data, 0))) {
        return E_FAIL;
    }
    memcpy(data, kBoxVertices, sizeof kBoxVertices);
    m_boxVertices->Unlock();
    return 0;
}

void COxelD3DSceneBase::OnLostDevice()
{
    SafeRelease(m_boxVertices);
    if (m_backgroundSphere) {
        m_backgroundSphere->OnLostDevice();
    }
    if (m_terrain && m_terrain->m_pChipManager) {
        m_terrain->m_pChipManager->OnLostDevice();
    }
    for (COxelD3DTerrainPlane* plane : m_planes) {
        plane->OnLostDevice();
    }
}

HRESULT COxelD3DSceneBase::OnResetDevice()
{
    HRESULT result = 0;
    if (!m_boxVertices && m_boxIndices && CreateBoxVertices() < 0) {
        result = E_FAIL;
    }
    if (m_backgroundSphere && m_backgroundSphere->OnResetDevice() < 0) {
        result = E_FAIL;
    }
    if (m_terrain && m_terrain->m_pChipManager && m_terrain->m_pChipManager->OnResetDevice() < 0) {
        result = E_FAIL;
    }
    for (COxelD3DTerrainPlane* plane : m_planes) {
        if (plane->OnResetDevice() < 0) {
            result = E_FAIL;
        }
    }
    return result;
}

void COxelD3DSceneBase::Render()
{
    if (!m_camera || !m_terrain) {
        return;
    }
    g_device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, TRUE);
    if (m_autoRotate) {
        // One radian every three seconds.
        m_camera->SetYaw(static_cast<float>(timeGetTime() / 3000.0), 0);
    }
    m_camera->Apply();
    const D3DXVECTOR3 eye = m_camera->GetPosition();

    // The sky goes behind the ground where the target keeps alpha to tell
    // the two apart; elsewhere it goes first and everything covers it.
    const bool drawSky = m_showBackground && m_backgroundSphere;
    const bool skyBehindGround = drawSky && !m_skyFirst && TargetHasAlpha();
    if (drawSky && !skyBehindGround) {
        m_backgroundSphere->SetPosition(eye.x, eye.y, eye.z);
        m_backgroundSphere->Render();
    }

    SetupLights();
    SetupFog();
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    const COxelD3DTerrainChipManager* map = m_terrain->m_pChipManager;
    const int width = map ? map->m_mapWidth : 0;
    const int height = map ? map->m_mapHeight : 0;
    // Without a map there is no period to repeat; a single map is the one tile
    // at the origin.
    TileRange tiles = {0, 0, 0, 0};
    if (m_showInfinite && width > 0 && height > 0) {
        tiles = VisibleTiles(m_camera->m_frustumMin.x, m_camera->m_frustumMax.x, m_camera->m_frustumMin.z,
                             m_camera->m_frustumMax.z, width, height);
    }
    // Every pass sets each tile's world transform itself: the terrain's
    // billboard pass leaves a billboard's in place.
    const auto overTiles = [&](const auto& draw) {
        for (int iz = tiles.z0; iz <= tiles.z1; ++iz) {
            for (int ix = tiles.x0; ix <= tiles.x1; ++ix) {
                SetWorldTranslation(static_cast<float>(ix * width), 0.0f, static_cast<float>(iz * height));
                draw();
            }
        }
    };

    // The ground of every copy is opaque and comes before anything blended.
    // It leaves alpha 0 where it drew; the target was cleared opaque.
    g_device->SetRenderState(D3DRS_TEXTUREFACTOR, 0);
    g_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    overTiles([&] { m_terrain->RenderGround(); });
    g_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    if (skyBehindGround) {
        DrawSkyBehindGround(eye);
        // Back to the ground's states for what follows.
        SetupLights();
        SetupFog();
        g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    }
    overTiles([&] { m_terrain->RenderBillboards(); });
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawBrushOutline();

    // Blended planes back to front by their height's distance from the eye.
    std::sort(m_planes.begin(), m_planes.end(), [&eye](const COxelD3DTerrainPlane* a, const COxelD3DTerrainPlane* b) {
        return DrawnBefore(a->m_y, b->m_y, eye.y);
    });
    overTiles([&] {
        for (COxelD3DTerrainPlane* plane : m_planes) {
            plane->Render();
        }
    });

    // The walls show through one another, so they write no depth; lighting and
    // depth writes stay off until the next frame turns them on again.
    if (m_showMapBorder) {
        g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        D3DXMATRIX world;
        D3DXMatrixScaling(&world, static_cast<float>(width), kWallHeight, static_cast<float>(height));
        DrawWalls(world);
    }
    if (m_showCursor) {
        if (!m_showMapBorder) {
            g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
            g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        }
        // From one unit below the cursor height to seven above.
        D3DXMATRIX scaling;
        const float span = static_cast<float>(m_cursorSize > 0 ? m_cursorSize : 1);
        D3DXMatrixScaling(&scaling, span, kWallHeight, span);
        D3DXMATRIX translation;
        D3DXMatrixTranslation(&translation, m_cursorPosition[0], m_cursorPosition[1] - 1.0f, m_cursorPosition[2]);
        DrawWalls(scaling * translation);
    }
    if (m_selectionShown) {
        if (!m_showMapBorder && !m_showCursor) {
            g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
            g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        }
        // From one unit below the lowest vertex to seven above the highest.
        D3DXMATRIX scaling;
        D3DXMatrixScaling(&scaling, m_selectionBox[3], kWallHeight + m_selectionBox[4], m_selectionBox[5]);
        D3DXMATRIX translation;
        D3DXMatrixTranslation(&translation, m_selectionBox[0], m_selectionBox[1] - 1.0f, m_selectionBox[2]);
        DrawWalls(scaling * translation);
    }
}

// Pinned to the far plane, the sky passes the depth test only where the
// ground left the cleared depth or reached the far plane itself; blending by
// the target's alpha keeps the ground's pixels there. Depth-rejected pixels
// cost no texturing, which is the point: most of the sky is hidden.
void COxelD3DSceneBase::DrawSkyBehindGround(const D3DXVECTOR3& eye)
{
    D3DVIEWPORT9 viewport;
    g_device->GetViewport(&viewport);
    D3DVIEWPORT9 farPlane = viewport;
    farPlane.MinZ = 1.0f;
    farPlane.MaxZ = 1.0f;
    g_device->SetViewport(&farPlane);
    // As the sky drawn first sees it: the previous frame leaves no culling.
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVDESTALPHA);
    m_backgroundSphere->SetPosition(eye.x, eye.y, eye.z);
    m_backgroundSphere->Render();
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    g_device->SetViewport(&viewport);
}

// Over the ground and under the planes, which tint it as they tint the
// ground; the hills in front hide it. Leaves the states as it found them.
void COxelD3DSceneBase::DrawBrushOutline()
{
    if (m_brushOutline.empty()) {
        return;
    }
    struct LineVertex {
        float x, y, z;
        D3DCOLOR colour;
    };
    const D3DCOLOR kOutlineColour = 0xFFFFFF00;
    std::vector<LineVertex> lines;
    lines.reserve(m_brushOutline.size());
    for (const D3DXVECTOR3& point : m_brushOutline) {
        lines.push_back(LineVertex{point.x, point.y, point.z, kOutlineColour});
    }
    DWORD colourOperation = 0;
    DWORD colourArgument = 0;
    g_device->GetTextureStageState(0, D3DTSS_COLOROP, &colourOperation);
    g_device->GetTextureStageState(0, D3DTSS_COLORARG1, &colourArgument);
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    g_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTexture(0, nullptr);
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    g_device->DrawPrimitiveUP(D3DPT_LINELIST, static_cast<UINT>(lines.size() / 2), lines.data(), sizeof(LineVertex));
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, colourOperation);
    g_device->SetTextureStageState(0, D3DTSS_COLORARG1, colourArgument);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

bool COxelD3DSceneBase::TargetHasAlpha() const
{
    IDirect3DSurface9* target = nullptr;
    if (FAILED(g_device->GetRenderTarget(0, &target))) {
        return false;
    }
    D3DSURFACE_DESC description = {};
    const HRESULT result = target->GetDesc(&description);
    target->Release();
    return SUCCEEDED(result) && description.Format == D3DFMT_A8R8G8B8;
}

void COxelD3DSceneBase::DrawWalls(const D3DMATRIX& world)
{
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTexture(0, m_effectTexture);
    g_device->SetStreamSource(0, m_boxVertices, 0, sizeof(SceneVertex));
    g_device->SetFVF(kSceneVertexFVF);
    g_device->SetIndices(m_boxIndices);
    for (int pass = 0; pass < 4; ++pass) {
        g_device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 8, 0, 8);
    }
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void COxelD3DSceneBase::SetupLights()
{
    D3DMATERIAL9 material = {};
    material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = D3DCOLORVALUE{0.1f, 0.1f, 0.1f, 0.1f};
    g_device->SetMaterial(&material);

    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    const D3DXVECTOR3 direction(-1.0f, -5.0f, -1.0f);
    D3DXVec3Normalize(reinterpret_cast<D3DXVECTOR3*>(&light.Direction), &direction);
    light.Range = 1000.0f;
    g_device->SetLight(0, &light);
    g_device->LightEnable(0, TRUE);

    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_AMBIENT, 0xFF030303);
}

// Linear per-vertex fog towards white.
void COxelD3DSceneBase::SetupFog()
{
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    g_device->SetRenderState(D3DRS_FOGCOLOR, 0x80FFFFFF);
    g_device->SetRenderState(D3DRS_FOGSTART, FloatBits(m_fogStart));
    g_device->SetRenderState(D3DRS_FOGEND, FloatBits(m_fogEnd));
    g_device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(0.8f));
    g_device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    g_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
}

void COxelD3DSceneBase::OnKeyDown(WPARAM key)
{
    if (!m_camera) {
        return;
    }
    switch (key & 0xFF) {
    case VK_SPACE:
        m_autoRotate = !m_autoRotate;
        break;
    case VK_PRIOR:
        m_camera->Move(0.0f, kMoveStep, 0.0f);
        break;
    case VK_NEXT:
        m_camera->Move(0.0f, -kMoveStep, 0.0f);
        break;
    case VK_LEFT:
        m_camera->Move(kMoveStep, 0.0f, 0.0f);
        break;
    case VK_UP:
        m_camera->Move(0.0f, 0.0f, -kMoveStep);
        break;
    case VK_RIGHT:
        m_camera->Move(-kMoveStep, 0.0f, 0.0f);
        break;
    case VK_DOWN:
        m_camera->Move(0.0f, 0.0f, kMoveStep);
        break;
    case VK_DELETE:
        m_camera->SetPitch(0.0f, 0);
        m_camera->SetYaw(0.0f, 0);
        m_camera->SetRoll(0.0f, 0);
        m_camera->SetPosition(kStartEye[0], kStartEye[1], kStartEye[2]);
        m_camera->SetTarget(kStartTarget[0], kStartTarget[1], kStartTarget[2]);
        m_camera->SetUp(0.0f, 1.0f, 0.0f);
        break;
    case VK_NUMPAD2:
        m_camera->SetPitch(-kTurnStep, 1);
        break;
    case VK_NUMPAD8:
        m_camera->SetPitch(kTurnStep, 1);
        break;
    case VK_NUMPAD4:
        m_camera->SetYaw(kTurnStep, 1);
        break;
    case VK_NUMPAD6:
        m_camera->SetYaw(-kTurnStep, 1);
        break;
    default:
        break;
    }
    if (m_showBackground && m_backgroundSphere) {
        const D3DXVECTOR3 eye = m_camera->GetPosition();
        m_backgroundSphere->SetPosition(eye.x, eye.y, eye.z);
    }
}

void COxelD3DSceneBase::FrameMap()
{
    COxelD3DTerrainChipManager* map = m_terrain ? m_terrain->m_pChipManager : nullptr;
    if (!m_camera || !map || !map->m_pRoot) {
        return;
    }
    // A map too large to show whole shows around the ground in the middle of
    // the view, or below the target where the view meets none.
    const D3DXVECTOR3 target = m_camera->m_target;
    D3DXVECTOR2 focus(target.x, target.z);
    D3DXVECTOR3 from;
    D3DXVECTOR3 to;
    m_camera->PixelRay(0.5f, 0.5f, 1.0f, 1.0f, &from, &to);
    GroundHit hit;
    if (PickGround(*map, from, to, m_showInfinite != 0, &hit)) {
        focus = D3DXVECTOR2(hit.point.x - hit.tileX * map->m_mapWidth, hit.point.z - hit.tileZ * map->m_mapHeight);
    }
    map->m_pRoot->RefreshHeights();
    // No deeper than where the fog hides half: the framed map stays legible.
    const Framing framing = FramingView(map->m_mapWidth, map->m_mapHeight, map->m_pRoot->m_vMin.y,
                                        map->m_pRoot->m_vMax.y, (m_fogStart + m_fogEnd) / 2.0f, focus);
    m_camera->LookFrom(framing.eye, framing.target);
    // The target is held inside the map, as the keys hold it.
    m_camera->Move(0.0f, 0.0f, 0.0f);
    if (m_showBackground && m_backgroundSphere) {
        const D3DXVECTOR3 eye = m_camera->GetPosition();
        m_backgroundSphere->SetPosition(eye.x, eye.y, eye.z);
    }
}

void COxelD3DSceneBase::AddPlane()
{
    COxelD3DTerrainPlane* plane = new (std::nothrow) COxelD3DTerrainPlane(static_cast<int>(m_planes.size()));
    if (!plane || !plane->m_pTerrainChip) {
        delete plane;
        return;
    }
    m_planes.push_back(plane);
    // Sized as an opened map's planes are; without a map, as on the smallest.
    const COxelD3DTerrainChipManager* map = m_terrain ? m_terrain->m_pChipManager : nullptr;
    const QuadExtent extent = PlaneExtent(map ? map->m_mapWidth : 0, map ? map->m_mapHeight : 0);
    plane->Setup(extent.width, extent.depth, 2.5f, 1);
}

void COxelD3DSceneBase::DeletePlane(int index)
{
    if (index < 0 || index >= static_cast<int>(m_planes.size())) {
        return;
    }
    std::sort(m_planes.begin(), m_planes.end(),
              [](const COxelD3DTerrainPlane* a, const COxelD3DTerrainPlane* b) { return a->m_id < b->m_id; });
    delete m_planes[index];
    m_planes.erase(m_planes.begin() + index);
    for (size_t i = index; i < m_planes.size(); ++i) {
        m_planes[i]->m_id = static_cast<int>(i);
    }
}

COxelD3DTerrainPlane* COxelD3DSceneBase::FindPlane(int id)
{
    for (COxelD3DTerrainPlane* plane : m_planes) {
        if (plane->m_id == id) {
            return plane;
        }
    }
    return nullptr;
}
