#include "tools/COxelCellTool.h"

#include "editor/COxelD3DTerrainEditor.h"

COxelCellTool::COxelCellTool(COxelD3DTerrainEditor& editor) : COxelTool(editor) {}

bool COxelCellTool::Strokes(bool right) const
{
    return (right || !m_editor.m_tools.m_fill) && COxelTool::Strokes(right);
}

void COxelCellTool::Reach(const std::vector<GridPoint>& points)
{
    if (!m_right && m_editor.m_tools.m_fill) {
        for (const GridPoint& point : points) {
            Fill(point);
        }
        return;
    }
    std::vector<GridPoint> cells;
    for (const GridPoint& point : points) {
        for (const GridPoint& cell : m_editor.m_tools.Footprint(point, m_editor.m_mapWidth, m_editor.m_mapHeight)) {
            cells.push_back(cell);
        }
    }
    Paint(cells);
}
