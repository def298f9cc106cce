#include "tools/COxelTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/CellStep.h"
#include "editor/MapPainting.h"
#include "editor/StatusReadout.h"
#include "terrain/COxelD3DTerrainChipManager.h"

COxelTool::COxelTool(COxelD3DTerrainEditor& editor) : m_editor(editor), m_right(false) {}

COxelTool::~COxelTool() = default;

bool COxelTool::Strokes(bool) const
{
    return m_editor.m_tools.m_dragPaint != 0;
}

void COxelTool::Begin(MapPoint, bool right)
{
    m_right = right;
    BeginPaintAction(m_editor);
}

void COxelTool::End()
{
    EndPaintAction(m_editor);
}

void COxelTool::Click(MapPoint point, bool right)
{
    Begin(point, right);
    Reach({point.at});
    End();
}

void COxelTool::Hover(MapPoint)
{
}

std::string COxelTool::StatusText(MapPoint point) const
{
    COxelD3DTerrainChipManager* terrain = m_editor.m_terrain;
    if (!m_editor.HasMap()) {
        return std::string();
    }
    const int column = point.at.column;
    const int row = point.at.row;
    if (point.kind == MapPoint::kVertex) {
        return VertexReadout(column, row, terrain->GetHeight(column, row));
    }
    const CellState cell = CellStep::Read(*terrain, row * m_editor.m_mapWidth + column);
    return CellReadout(column, row, cell.chip, cell.rotation, cell.billboard);
}
