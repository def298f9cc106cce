#include "tools/COxelChipTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"

COxelChipTool::COxelChipTool(COxelD3DTerrainEditor& editor) : COxelCellTool(editor) {}

void COxelChipTool::Begin(MapPoint start, bool right)
{
    COxelCellTool::Begin(start, right);
    m_turned.assign(static_cast<size_t>(m_editor.m_mapWidth) * m_editor.m_mapHeight, 0);
}

void COxelChipTool::Fill(GridPoint start)
{
    FillChips(m_editor, start, m_editor.m_selectedChip);
}

void COxelChipTool::Paint(const std::vector<GridPoint>& cells)
{
    if (!m_right) {
        PaintChips(m_editor, cells, m_editor.m_selectedChip);
        return;
    }
    std::vector<GridPoint> turning;
    for (const GridPoint& cell : cells) {
        char& turned = m_turned[static_cast<size_t>(cell.row) * m_editor.m_mapWidth + cell.column];
        if (!turned) {
            turned = 1;
            turning.push_back(cell);
        }
    }
    TurnChips(m_editor, turning);
}
