#include "tools/COxelStampTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/RegionStep.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <memory>

COxelStampTool::COxelStampTool(COxelD3DTerrainEditor& editor)
    : COxelTool(editor), m_active(false), m_placed(false), m_topLeft{0, 0}
{
}

void COxelStampTool::Start(const MapRegion& region)
{
    m_region = region;
    m_active = true;
    m_placed = false;
}

void COxelStampTool::Stop()
{
    m_active = false;
    m_region = MapRegion();
}

void COxelStampTool::Turn()
{
    if (m_active) {
        m_region = TurnedClockwise(m_region);
    }
}

MapRect COxelStampTool::Footprint() const
{
    if (!m_active || !m_placed) {
        return MapRect{};
    }
    return MapRect{m_topLeft, m_region.columns, m_region.rows};
}

bool COxelStampTool::Strokes(bool) const
{
    return false;
}

GridPoint COxelStampTool::TopLeftAt(MapPoint point) const
{
    // A vertex is the top-left corner of the cell of the next lower column.
    const int column = point.kind == MapPoint::kVertex ? point.at.column - 1 : point.at.column;
    return GridPoint{WrapIndex(column, m_editor.m_mapWidth), WrapIndex(point.at.row, m_editor.m_mapHeight)};
}

void COxelStampTool::Hover(MapPoint point)
{
    const GridPoint topLeft = TopLeftAt(point);
    if (m_placed && topLeft == m_topLeft) {
        return;
    }
    m_topLeft = topLeft;
    m_placed = true;
    m_editor.m_regions.ShowOutlines();
}

void COxelStampTool::Begin(MapPoint start, bool right)
{
    m_right = right;
    if (right) {
        m_editor.m_regions.EndStamp();
        return;
    }
    Hover(start);
    MapRegion placed = m_region;
    if (GetKeyState(VK_SHIFT) < 0) {
        const GridPoint corner = RegionVertex(m_topLeft, 0, 0);
        const double under = m_editor.m_terrain->GetHeight(WrapIndex(corner.column, m_editor.m_mapWidth),
                                                           WrapIndex(corner.row, m_editor.m_mapHeight));
        placed = Raised(m_region, under - m_region.Lowest());
    }
    m_editor.Perform(std::make_unique<RegionStep>(placed, m_topLeft));
}

void COxelStampTool::Reach(const std::vector<GridPoint>&)
{
}

void COxelStampTool::End()
{
}
