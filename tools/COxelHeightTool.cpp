#include "tools/COxelHeightTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <unordered_map>

COxelHeightTool::COxelHeightTool(COxelD3DTerrainEditor& editor) : COxelTool(editor), m_startHeight(0.0) {}

bool COxelHeightTool::Strokes(bool right) const
{
    // Picking a height up is a click, whatever the strokes say.
    const bool picks = right && m_editor.m_tools.m_heightTool == COxelPaintTools::kSetHeight;
    return !picks && COxelTool::Strokes(right);
}

void COxelHeightTool::Begin(MapPoint start, bool right)
{
    COxelTool::Begin(start, right);
    m_startHeight = m_editor.HasMap() ? m_editor.m_terrain->GetHeight(start.at.column, start.at.row) : 0.0;
    if (PicksTarget()) {
        m_editor.m_tools.SetTargetHeight(m_startHeight);
    }
}

bool COxelHeightTool::PicksTarget() const
{
    return m_right && m_editor.m_tools.m_heightTool == COxelPaintTools::kSetHeight;
}

void COxelHeightTool::Reach(const std::vector<GridPoint>& points)
{
    if (!m_editor.HasMap() || PicksTarget()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = m_editor.m_terrain;
    const int width = m_editor.m_mapWidth;
    const int height = m_editor.m_mapHeight;
    std::unordered_map<int, double> pending;
    const HeightAt heightAt = [&](int column, int row) {
        const auto found = pending.find(WrapIndex(row, height) * width + WrapIndex(column, width));
        return found != pending.end() ? found->second : terrain->GetHeight(column, row);
    };
    std::vector<HeightChange> changes;
    for (const GridPoint& vertex : points) {
        for (const HeightChange& change :
             m_editor.m_tools.HeightEdit(heightAt, vertex, m_right, m_startHeight, width, height)) {
            pending[change.vertex.row * width + change.vertex.column] = change.height;
            changes.push_back(change);
        }
    }
    PaintHeights(m_editor, changes);
}
