#include "terrain/COxelD3DTerrainBase.h"

#include "editor/COxelD3DTerrainEditor.h"
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
    // The editor edits the chip manager: it goes first.
    COxelD3DTerrainEditor::DestroyInstance();
    delete m_pChipManager;
}

int COxelD3DTerrainBase::Initialize()
{
    // The result is not examined: a map whose quads could not all be made has
    // no quad tree and is simply not drawn.
    if (!m_pChipManager) {
        return 0;
    }
    m_pChipManager->Create(kStartMapSize, kStartMapSize);
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->Initialize(m_pChipManager, kStartMapSize, kStartMapSize);
        editor->ShowWindows();
    }
    return 0;
}

void COxelD3DTerrainBase::Render()
{
    if (m_pChipManager) {
        m_pChipManager->Render();
    }
}

void COxelD3DTerrainBase::RenderGround()
{
    if (m_pChipManager) {
        m_pChipManager->DrawGround();
    }
}

void COxelD3DTerrainBase::RenderBillboards()
{
    if (m_pChipManager) {
        m_pChipManager->DrawBillboards();
    }
}
