#include "tools/COxelTerrainTool.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapPainting.h"
#include "io/TextEncoding.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/TerrainCorners.h"

#include <algorithm>

COxelTerrainTool::COxelTerrainTool(COxelD3DTerrainEditor& editor) : COxelTool(editor), m_kind(MapPoint::kCell) {}

bool COxelTerrainTool::Strokes(bool right) const
{
    return !right && COxelTool::Strokes(right);
}

void COxelTerrainTool::Begin(MapPoint start, bool right)
{
    COxelTool::Begin(start, right);
    m_kind = start.kind;
    if (right) {
        const int terrain = TerrainAt(start);
        if (terrain >= 0) {
            m_editor.m_terrains.Pick(terrain);
        }
    }
}

void COxelTerrainTool::Reach(const std::vector<GridPoint>& points)
{
    if (m_right) {
        return;
    }
    const int width = m_editor.m_mapWidth;
    const int height = m_editor.m_mapHeight;
    std::vector<GridPoint> vertices;
    for (const GridPoint& point : points) {
        for (const GridPoint& square : m_editor.m_tools.Footprint(point, width, height)) {
            if (m_kind == MapPoint::kVertex) {
                vertices.push_back(square);
                continue;
            }
            for (const GridPoint& corner : {GridPoint{square.column, square.row}, GridPoint{square.column, square.row + 1},
                                            GridPoint{square.column + 1, square.row},
                                            GridPoint{square.column + 1, square.row + 1}}) {
                vertices.push_back(GridPoint{corner.column % width, corner.row % height});
            }
        }
    }
    PaintTerrain(m_editor, m_editor.m_terrains.Terrains(), vertices, m_editor.m_terrains.Picked());
}

int COxelTerrainTool::TerrainAt(MapPoint point) const
{
    if (!m_editor.HasMap()) {
        return -1;
    }
    const COxelD3DTerrainChipManager* grid = m_editor.m_terrain;
    TerrainCorners corners(m_editor.m_terrains.Terrains(), m_editor.m_mapWidth, m_editor.m_mapHeight,
                           [grid](int index) {
                               return ChipTurn{grid->m_cells[index].m_chipIndex, grid->m_cells[index].m_rotation};
                           });
    const int column = point.at.column;
    const int row = point.at.row;
    if (point.kind == MapPoint::kVertex) {
        return corners.Vertex(column, row);
    }
    const int held[4] = {corners.Vertex(column, row), corners.Vertex(column, row + 1), corners.Vertex(column + 1, row),
                         corners.Vertex(column + 1, row + 1)};
    int most = -1;
    int mostCount = 0;
    for (int terrain : held) {
        const int count = static_cast<int>(std::count(std::begin(held), std::end(held), terrain));
        if (terrain >= 0 && count > mostCount) {
            most = terrain;
            mostCount = count;
        }
    }
    return most;
}

std::string COxelTerrainTool::StatusText(MapPoint point) const
{
    const std::string readout = COxelTool::StatusText(point);
    const int terrain = TerrainAt(point);
    if (terrain < 0 || readout.empty()) {
        return readout;
    }
    return readout + "  " + AnsiFromUtf8(m_editor.m_terrains.Terrains().m_terrains[terrain].name);
}
