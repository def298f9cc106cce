#include "editor/RegionStep.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <utility>

RegionStep::RegionStep(const MapRegion& region, GridPoint topLeft) : m_after(region), m_topLeft(topLeft) {}

bool RegionStep::Redo(EditedMap& map)
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    const int width = terrain.m_mapWidth;
    const int height = terrain.m_mapHeight;
    const auto vertexAt = [&](int k, int l) {
        const GridPoint vertex = RegionVertex(m_topLeft, k, l);
        return WrapIndex(vertex.row, height) * width + WrapIndex(vertex.column, width);
    };
    const auto cellAt = [&](int i, int j) {
        const GridPoint cell = RegionCell(m_topLeft, i, j);
        return WrapIndex(cell.row, height) * width + WrapIndex(cell.column, width);
    };
    if (!m_heightsBefore.empty()) {
        Write(map, m_after.heights, m_after.cells);
        return true;
    }
    const std::size_t vertexCount = static_cast<std::size_t>(m_after.columns + 1) * (m_after.rows + 1);
    const std::size_t cellCount = static_cast<std::size_t>(m_after.columns) * m_after.rows;
    if (!terrain.m_cells || m_after.columns < 1 || m_after.rows < 1 || m_after.heights.size() != vertexCount ||
        m_after.cells.size() != cellCount) {
        return false;
    }
    // The action itself. Everything is read before anything is written, so a
    // region wider or taller than the map, which meets some vertices and cells
    // twice, keeps each one's own "before"; the later of its two values wins.
    m_heightsBefore.reserve(vertexCount);
    for (int l = 0; l <= m_after.rows; ++l) {
        for (int k = 0; k <= m_after.columns; ++k) {
            m_heightsBefore.push_back(terrain.m_cells[vertexAt(k, l)].m_height[0]);
        }
    }
    m_cellsBefore.reserve(cellCount);
    for (int j = 0; j < m_after.rows; ++j) {
        for (int i = 0; i < m_after.columns; ++i) {
            m_cellsBefore.push_back(CellStep::Read(terrain, cellAt(i, j)));
        }
    }
    Write(map, m_after.heights, m_after.cells);
    // What the grid kept (heights within its bounds, the later of two values
    // for a vertex met twice) is what a redo puts back.
    bool changed = false;
    std::size_t n = 0;
    for (int l = 0; l <= m_after.rows; ++l) {
        for (int k = 0; k <= m_after.columns; ++k, ++n) {
            m_after.heights[n] = terrain.m_cells[vertexAt(k, l)].m_height[0];
            changed = changed || m_after.heights[n] != m_heightsBefore[n];
        }
    }
    n = 0;
    for (int j = 0; j < m_after.rows; ++j) {
        for (int i = 0; i < m_after.columns; ++i, ++n) {
            m_after.cells[n] = CellStep::Read(terrain, cellAt(i, j));
            changed = changed || m_after.cells[n] != m_cellsBefore[n];
        }
    }
    return changed;
}

void RegionStep::Undo(EditedMap& map)
{
    Write(map, m_heightsBefore, m_cellsBefore);
}

void RegionStep::Write(EditedMap& map, const std::vector<double>& heights, const std::vector<CellState>& cells) const
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    const int width = terrain.m_mapWidth;
    const int height = terrain.m_mapHeight;
    // The data first, then each touched quad and vertex normal once: SetHeight
    // would rewrite the four quads and nine normals round every vertex, nine
    // times the work for a large region, and end in the same quads.
    std::size_t n = 0;
    for (int l = 0; l <= m_after.rows; ++l) {
        for (int k = 0; k <= m_after.columns; ++k, ++n) {
            const GridPoint vertex = RegionVertex(m_topLeft, k, l);
            terrain.StoreHeight(vertex.column, vertex.row, heights[n]);
        }
    }
    n = 0;
    for (int j = 0; j < m_after.rows; ++j) {
        for (int i = 0; i < m_after.columns; ++i, ++n) {
            const GridPoint cell = RegionCell(m_topLeft, i, j);
            COxelD3DMapChipData& data =
                terrain.m_cells[WrapIndex(cell.row, height) * width + WrapIndex(cell.column, width)];
            data.m_chipIndex = cells[n].chip;
            data.m_rotation = cells[n].rotation;
            data.m_billboard = cells[n].billboard;
        }
    }
    // A quad's geometry carries its picture too; the normals are smoothed over
    // quads already rewritten, so they come after every quad.
    const MapArea area = Changed().area;
    area.ForEachCell(width, height, [&](int column, int row) { terrain.UpdateCellGeometry(column, row); });
    const MapArea corners{area.left, area.top, area.right + 1, area.bottom + 1};
    corners.ForEachCell(width, height, [&](int column, int row) { terrain.UpdateVertexNormal(column, row); });
}

MapChange RegionStep::Changed() const
{
    // The rectangle's cells and the ring round it, whose corners on the
    // rectangle's edge moved with it.
    return MapChange::Grid(MapArea{m_topLeft.column - m_after.columns, m_topLeft.row - 1, m_topLeft.column + 1,
                                   m_topLeft.row + m_after.rows});
}

std::size_t RegionStep::Bytes() const
{
    return sizeof *this + m_after.heights.capacity() * sizeof(double) + m_after.cells.capacity() * sizeof(CellState) +
           m_heightsBefore.capacity() * sizeof(double) + m_cellsBefore.capacity() * sizeof(CellState);
}
