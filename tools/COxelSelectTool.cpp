#include "tools/COxelSelectTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The shorter way from `from` to `to` round a ring of `size`.
int RingStep(int from, int to, int size)
{
    int step = WrapIndex(to - from, size);
    return step > size / 2 ? step - size : step;
}

}  // namespace

COxelSelectTool::COxelSelectTool(COxelD3DTerrainEditor& editor)
    : COxelTool(editor), m_start{MapPoint::kCell, {0, 0}}, m_last{0, 0}, m_across(0), m_down(0), m_moved(false)
{
}

bool COxelSelectTool::Strokes(bool right) const
{
    return !right;
}

void COxelSelectTool::Begin(MapPoint start, bool right)
{
    m_right = right;
    m_start = start;
    m_last = start.at;
    m_across = m_down = 0;
    m_moved = false;
}

void COxelSelectTool::Reach(const std::vector<GridPoint>& points)
{
    if (m_right) {
        return;
    }
    for (const GridPoint& point : points) {
        // The views are mirrored: a step right on the screen is a step down the grid's columns.
        m_across -= RingStep(m_last.column, point.column, m_editor.m_mapWidth);
        m_down += RingStep(m_last.row, point.row, m_editor.m_mapHeight);
        m_last = point;
        m_moved = m_moved || m_across != 0 || m_down != 0;
    }
    if (m_moved) {
        m_editor.m_regions.Select(Rect());
    }
}

void COxelSelectTool::End()
{
    if (!m_right && !m_moved) {
        m_editor.m_regions.Select(MapRect{});
    }
}

MapRect COxelSelectTool::Rect() const
{
    const int width = m_editor.m_mapWidth;
    const int height = m_editor.m_mapHeight;
    // The leftmost and topmost squares the drag reached, as grid points.
    const int left = m_start.at.column - std::min(0, m_across);
    const int top = m_start.at.row + std::min(0, m_down);
    if (m_start.kind == MapPoint::kVertex) {
        // The cell to the right of a vertex, as the views show it, is the cell of the next lower column.
        return MapRect{{WrapIndex(left - 1, width), WrapIndex(top, height)},
                       std::min(width, std::max(1, std::abs(m_across))), std::min(height, std::max(1, std::abs(m_down)))};
    }
    return MapRect{{WrapIndex(left, width), WrapIndex(top, height)}, std::min(width, std::abs(m_across) + 1),
                   std::min(height, std::abs(m_down) + 1)};
}
