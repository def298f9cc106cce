#include "terrain/COxelQuadNode.h"

#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <new>

COxelQuadNode::COxelQuadNode(COxelD3DTerrainChipManager* manager, COxelQuadNode* parent, int start, int w, int h)
    : m_pManager(manager),
      m_pParent(parent),
      m_pChild(),
      m_start(start),
      m_childStart(),
      m_width(w),
      m_height(h),
      m_heightsStale(true)
{
    const COxelD3DTerrainChipBase* quad = manager->GetTerrainChip(start);
    m_vMin = quad->m_vMin;
    m_vMax = D3DXVECTOR3(quad->m_vMin.x + w, quad->m_vMin.y, quad->m_vMin.z + h);
    if (w == 1) {
        return;
    }
    int starts[4];
    QuadChildStarts(start, w, h, manager->m_mapWidth, starts);
    for (int k = 0; k < 3; ++k) {
        m_childStart[k] = starts[k + 1];
    }
    for (int k = 0; k < 4; ++k) {
        m_pChild[k] = new (std::nothrow) COxelQuadNode(manager, this, starts[k], w / 2, h / 2);
    }
}

COxelQuadNode::~COxelQuadNode()
{
    if (m_width != 1) {
        for (COxelQuadNode* child : m_pChild) {
            delete child;
        }
    }
}

void COxelQuadNode::MarkHeightsStale()
{
    for (COxelQuadNode* node = this; node && !node->m_heightsStale; node = node->m_pParent) {
        node->m_heightsStale = true;
    }
}

void COxelQuadNode::RefreshHeights()
{
    if (!m_heightsStale) {
        return;
    }
    m_heightsStale = false;
    if (m_width == 1) {
        const COxelD3DTerrainChipBase* quad = m_pManager->GetTerrainChip(m_start);
        m_vMin.y = quad->m_vMin.y;
        m_vMax.y = quad->m_vMax.y;
        return;
    }
    for (int k = 0; k < 4; ++k) {
        COxelQuadNode* child = m_pChild[k];
        child->RefreshHeights();
        m_vMin.y = k == 0 ? child->m_vMin.y : std::min(m_vMin.y, child->m_vMin.y);
        m_vMax.y = k == 0 ? child->m_vMax.y : std::max(m_vMax.y, child->m_vMax.y);
    }
}
