#include "terrain/COxelD3DTerrainBase.h"

#include "terrain/COxelD3DTerrainChipManager.h"

#include <new>

namespace {

const int kStartMapSize = 32;

}  // namespace

COxelD3DTerrainBase::COxelD3DTerrainBase() : m_pChipManager(new (std::nothrow) COxelD3DTerrainChipManager())
{
    Initialize();
}

COxelD3DTerrainBase::~COxelD3DTerrainBase()
{
    delete m_pChipManager;
}

int COxelD3DTerrainBase::Initialize()
{
    // The result is not examined: a map whose quads could not all be made has
    // no quad tree and is simply not drawn.
    if (m_pChipManager) {
        m_pChipManager->Create(kStartMapSize, kStartMapSize);
    }
    return 0;
}

void COxelD3DTerrainBase::Render()
{
    if (m_pChipManager) {
        m_pChipManager->Render();
    }
}
