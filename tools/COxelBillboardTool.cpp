#include "tools/COxelBillboardTool.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"

COxelBillboardTool::COxelBillboardTool(COxelD3DTerrainEditor& editor)
    : COxelCellTool(editor), m_billboard(-1), m_toldNonePicked(false)
{
}

void COxelBillboardTool::Begin(MapPoint start, bool right)
{
    COxelCellTool::Begin(start, right);
    m_billboard = right ? -1 : m_editor.PickedBillboard();
    if (!right && m_billboard < 0 && !m_toldNonePicked) {
        // Once: after that, the left button quietly does nothing until one is picked.
        m_toldNonePicked = true;
        MessageBoxA(nullptr, Text(IDS_NO_BILLBOARD_PICKED), "Quelmora", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    }
}

void COxelBillboardTool::Reach(const std::vector<GridPoint>& points)
{
    if (m_right || m_billboard >= 0) {
        COxelCellTool::Reach(points);
    }
}

void COxelBillboardTool::Fill(GridPoint start)
{
    FillBillboards(m_editor, start, m_billboard);
}

void COxelBillboardTool::Paint(const std::vector<GridPoint>& cells)
{
    PaintBillboards(m_editor, cells, m_billboard);
}
