#include "terrain/COxelD3DTerrainPlane.h"

#include "app/COxelD3DApplication.h"
#include "app/ProgramImages.h"
#include "app/SafeRelease.h"
#include "terrain/COxelD3DTerrainChipBase.h"

#include <d3dx9.h>

#include <new>

namespace {

const char kPlaneImage[] = "planetexture.dds";

}  // namespace

COxelD3DTerrainPlane::COxelD3DTerrainPlane(int id)
    : m_id(id),
      m_pTerrainChip(nullptr),
      m_pTexture(nullptr),
      m_visible(0),
      m_y(0.0f),
      m_width(0),
      m_depth(0),
      m_repeat(1)
{
    LoadTexture(kPlaneImage);
    m_pTerrainChip = new (std::nothrow) COxelD3DTerrainChipBase();
    if (m_pTerrainChip) {
        m_pTerrainChip->Create(this);
    }
}

COxelD3DTerrainPlane::~COxelD3DTerrainPlane()
{
    ReleaseTexture();
    delete m_pTerrainChip;
}

void COxelD3DTerrainPlane::OnLostDevice()
{
    if (m_pTerrainChip) {
        m_pTerrainChip->OnLostDevice();
    }
}

int COxelD3DTerrainPlane::OnResetDevice()
{
    return m_pTerrainChip ? m_pTerrainChip->OnResetDevice() : 0;
}

void COxelD3DTerrainPlane::SetTexture()
{
    g_device->SetTexture(0, m_pTexture);
}

int COxelD3DTerrainPlane::LoadTexture(const char* path)
{
    CopyPath(m_textureFile, sizeof m_textureFile, path);
    // The name stays as given: a map saved with the program's own image
    // names it bare, and finds it beside the program wherever it is opened.
    if (!g_device || !path ||
        FAILED(D3DXCreateTextureFromFileA(g_device, ProgramImagePath(path).c_str(), &m_pTexture))) {
        m_pTexture = nullptr;
        return E_FAIL;
    }
    return 0;
}

void COxelD3DTerrainPlane::ReleaseTexture()
{
    SafeRelease(m_pTexture);
}

void COxelD3DTerrainPlane::SetHeight(float y)
{
    m_y = y;
    if (!m_pTerrainChip) {
        return;
    }
    float uB;
    float vB;
    RepeatCounts(&uB, &vB);
    const float width = static_cast<float>(m_width);
    const float depth = static_cast<float>(m_depth);
    m_pTerrainChip->SetGeometry(D3DXVECTOR3(0.0f, y, 0.0f), D3DXVECTOR3(0.0f, y, depth), D3DXVECTOR3(width, y, 0.0f),
                                D3DXVECTOR3(width, y, depth), D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.0f, 0.0f, uB, vB, 0);
}

void COxelD3DTerrainPlane::Render()
{
    if (!m_visible || !m_pTerrainChip) {
        return;
    }
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pTerrainChip->Render();
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

int COxelD3DTerrainPlane::Setup(int width, int depth, float y, int repeat)
{
    m_width = width;
    m_depth = depth;
    m_repeat = repeat;
    SetHeight(y);
    return 0;
}

void COxelD3DTerrainPlane::SetRepeat(int repeat)
{
    m_repeat = repeat;
    if (m_pTerrainChip) {
        SetHeight(m_y);
    }
}

void COxelD3DTerrainPlane::RepeatCounts(float* uB, float* vB) const
{
    // Tiled, the image shows one time fewer than the plane has cells per side.
    if (m_repeat) {
        *uB = static_cast<float>(m_width - 1);
        *vB = static_cast<float>(m_depth - 1);
    } else {
        *uB = 1.0f;
        *vB = 1.0f;
    }
}
