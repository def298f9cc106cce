#include "editor/WholeMapStep.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <utility>

WholeMapStep::WholeMapStep(std::function<void(EditedMap&)> operation)
    : m_operation(std::move(operation)), m_width(0), m_height(0)
{
}

WholeMapStep::Grid WholeMapStep::Copy(const COxelD3DTerrainChipManager& terrain) const
{
    Grid grid;
    const int count = m_width * m_height;
    grid.heights.resize(count);
    grid.cells.resize(count);
    for (int index = 0; index < count; ++index) {
        grid.heights[index] = terrain.m_cells[index].m_height[0];
        grid.cells[index] = CellStep::Read(terrain, index);
    }
    return grid;
}

void WholeMapStep::Put(COxelD3DTerrainChipManager& terrain, const Grid& grid) const
{
    if (terrain.m_mapWidth != m_width || terrain.m_mapHeight != m_height || !terrain.m_cells) {
        return;
    }
    const bool hasHeights = !grid.heights.empty();
    const bool hasCells = !grid.cells.empty();
    for (int row = 0; row < m_height; ++row) {
        const int below = (row + 1) % m_height;
        for (int column = 0; column < m_width; ++column) {
            const int right = (column + 1) % m_width;
            const int index = row * m_width + column;
            COxelD3DMapChipData& cell = terrain.m_cells[index];
            if (hasHeights) {
                // Each vertex is kept once and stored in the four cells that share it.
                cell.m_height[0] = grid.heights[index];
                cell.m_height[1] = grid.heights[below * m_width + column];
                cell.m_height[2] = grid.heights[row * m_width + right];
                cell.m_height[3] = grid.heights[below * m_width + right];
            }
            if (hasCells) {
                cell.m_chipIndex = grid.cells[index].chip;
                cell.m_rotation = grid.cells[index].rotation;
                cell.m_billboard = grid.cells[index].billboard;
            }
        }
    }
    // Every quad and vertex normal from the data, as edits leave them.
    terrain.UpdateAllCells();
}

bool WholeMapStep::Redo(EditedMap& map)
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    if (m_operation) {
        m_width = terrain.m_mapWidth;
        m_height = terrain.m_mapHeight;
        m_before = Copy(terrain);
        m_operation(map);
        m_operation = nullptr;
        m_after = Copy(terrain);
        const bool sameHeights = m_after.heights == m_before.heights;
        const bool sameCells = m_after.cells == m_before.cells;
        // A part the operation left alone need not be put back either way.
        if (sameHeights) {
            m_before.heights = m_after.heights = std::vector<double>();
        }
        if (sameCells) {
            m_before.cells = m_after.cells = std::vector<CellState>();
        }
        return !sameHeights || !sameCells;
    }
    Put(terrain, m_after);
    return true;
}

void WholeMapStep::Undo(EditedMap& map)
{
    Put(*map.terrain, m_before);
}

MapChange WholeMapStep::Changed() const
{
    return MapChange::Grid(MapArea{0, 0, m_width - 1, m_height - 1});
}

std::size_t WholeMapStep::Bytes() const
{
    return sizeof *this + (m_before.heights.capacity() + m_after.heights.capacity()) * sizeof(double) +
           (m_before.cells.capacity() + m_after.cells.capacity()) * sizeof(CellState);
}
