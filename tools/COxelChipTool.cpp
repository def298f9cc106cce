#include "tools/COxelChipTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"

COxelChipTool::COxelChipTool(COxelD3DTerrainEditor& editor) : COxelTool(editor) {}

bool COxelChipTool::Strokes(bool right) const
{
    return (right || !m_editor.m_tools.m_fill) && COxelTool::Strokes(right);
}

void COxelChipTool::Begin(MapPoint start, bool right)
{
    COxelTool::Begin(start, right);
    m_turned.assign(static_cast<size_t>(m_editor.m_mapWidth) * m_editor.m_mapHeight, 0);
}

void COxelChipTool::Reach(const std::vector<GridPoint>& points)
{
    const int width = m_editor.m_mapWidth;
    if (!m_right && m_editor.m_tools.m_fill) {
        for (const GridPoint& point : points) {
            FillChips(m_editor, point, m_editor.m_selectedChip);
        }
        return;
    }
    std::vector<GridPoint> cells;
    for (const GridPoint& point : points) {
        for (const GridPoint& cell : m_editor.m_tools.Footprint(point, width, m_editor.m_mapHeight)) {
            if (m_right) {
                char& turned = m_turned[static_cast<size_t>(cell.row) * width + cell.column];
                if (turned) {
                    continue;
                }
                turned = 1;
            }
            cells.push_back(cell);
        }
    }
    if (m_right) {
        TurnChips(m_editor, cells);
    } else {
        PaintChips(m_editor, cells, m_editor.m_selectedChip);
    }
}
