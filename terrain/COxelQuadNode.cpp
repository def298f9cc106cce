#include "terrain/COxelQuadNode.h"

#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <new>

COxelQuadNode::COxelQuadNode(COxelD3DTerrainChipManager* manager, COxelQuadNode* parent, int start, int w, int h)
    : m_pManager(manager),
      m_pParent(parent),
      m_pChild(),
      m_start(start),
      m_childStart(),
      m_width(w),
      m_height(h)
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
