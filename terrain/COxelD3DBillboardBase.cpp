#include "terrain/COxelD3DBillboardBase.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "terrain/COxelD3DTerrainChipBase.h"

COxelD3DBillboardBase::COxelD3DBillboardBase(int id) : COxelD3DTerrainPlane(id), m_position(0.0f, 0.0f, 0.0f)
{
}

COxelD3DBillboardBase::~COxelD3DBillboardBase()
{
}

void COxelD3DBillboardBase::SetHeight(float y)
{
    m_y = y;
    m_position.y = y;
    if (!m_pTerrainChip) {
        return;
    }
    float uB;
    float vB;
    RepeatCounts(&uB, &vB);
    // Rotation 1 puts the image's top edge at the top of the quad.
    m_pTerrainChip->SetGeometry(D3DXVECTOR3(-0.5f, 1.0f, 0.0f), D3DXVECTOR3(0.5f, 1.0f, 0.0f),
                                D3DXVECTOR3(-0.5f, 0.0f, 0.0f), D3DXVECTOR3(0.5f, 0.0f, 0.0f),
                                D3DXVECTOR3(0.0f, 0.0f, -1.0f), 0.0f, 0.0f, uB, vB, 1);
}

void COxelD3DBillboardBase::Render()
{
    if (!m_visible || !g_camera || !m_pTerrainChip) {
        return;
    }
    D3DXMATRIX translation;
    D3DXMatrixTranslation(&translation, m_position.x, m_position.y, m_position.z);
    const D3DXMATRIX world = g_camera->m_viewRotationInverse * translation;
    g_device->SetTransform(D3DTS_WORLD, &world);
    m_pTerrainChip->Render();
}

void COxelD3DBillboardBase::SetPosition(float x, float y, float z)
{
    m_y = y;
    m_position = D3DXVECTOR3(x, y, z);
}
