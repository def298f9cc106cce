#include "editor/CellStep.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

CellStep::CellStep() : m_mapWidth(0), m_area()
{
}

void CellStep::PlaceChip(int column, int row, int chip)
{
    m_requests.push_back(Request{column, row, kPlaceChip, chip});
}

void CellStep::Turn(int column, int row)
{
    m_requests.push_back(Request{column, row, kTurn, 0});
}

void CellStep::SetBillboard(int column, int row, int billboard)
{
    m_requests.push_back(Request{column, row, kSetBillboard, billboard});
}

CellState CellStep::Read(const COxelD3DTerrainChipManager& terrain, int index)
{
    const COxelD3DMapChipData& cell = terrain.m_cells[index];
    return CellState{cell.m_chipIndex, cell.m_rotation, cell.m_billboard};
}

void CellStep::Write(COxelD3DTerrainChipManager& terrain, int index, const CellState& state)
{
    const CellState now = Read(terrain, index);
    if (now.chip != state.chip || now.rotation != state.rotation) {
        // A new chip resets the turn, so the turn is set after it.
        terrain.SetMapChip(index, state.chip);
        terrain.SetMapChipRotation(index, state.rotation);
    }
    terrain.m_cells[index].m_billboard = state.billboard;
}

CellStep::Cell* CellStep::Find(int index)
{
    for (Cell& cell : m_cells) {
        if (cell.index == index) {
            return &cell;
        }
    }
    return nullptr;
}

bool CellStep::Redo(EditedMap& map)
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    if (m_requests.empty() && m_cells.empty()) {
        return false;
    }
    if (m_requests.empty()) {
        for (const Cell& cell : m_cells) {
            Write(terrain, cell.index, cell.after);
        }
        return true;
    }
    // The action itself, request by request, as the grid does it.
    m_mapWidth = terrain.m_mapWidth;
    for (const Request& request : m_requests) {
        const int index =
            WrapIndex(request.row, terrain.m_mapHeight) * m_mapWidth + WrapIndex(request.column, m_mapWidth);
        Cell* cell = Find(index);
        if (!cell) {
            m_cells.push_back(Cell{index, Read(terrain, index), CellState()});
            cell = &m_cells.back();
        }
        switch (request.action) {
        case kPlaceChip:
            terrain.SetMapChip(index, request.value);
            break;
        case kTurn:
            terrain.SetMapChipRotation(index, -1);
            break;
        case kSetBillboard:
            terrain.m_cells[index].m_billboard = request.value;
            break;
        }
        cell->after = Read(terrain, index);
    }
    m_requests.clear();
    m_requests.shrink_to_fit();
    std::vector<Cell> changed;
    for (const Cell& cell : m_cells) {
        if (cell.after != cell.before) {
            changed.push_back(cell);
        }
    }
    m_cells.swap(changed);
    if (m_cells.empty()) {
        return false;
    }
    m_area = MapArea::Cell(m_cells[0].index % m_mapWidth, m_cells[0].index / m_mapWidth);
    for (const Cell& cell : m_cells) {
        m_area = m_area.Joined(MapArea::Cell(cell.index % m_mapWidth, cell.index / m_mapWidth));
    }
    return true;
}

void CellStep::Undo(EditedMap& map)
{
    for (auto cell = m_cells.rbegin(); cell != m_cells.rend(); ++cell) {
        Write(*map.terrain, cell->index, cell->before);
    }
}

MapChange CellStep::Changed() const
{
    return MapChange::Grid(m_area);
}

bool CellStep::MergeWith(const MapStep& next)
{
    const CellStep* piece = dynamic_cast<const CellStep*>(&next);
    if (!piece || !m_requests.empty() || !piece->m_requests.empty() || m_cells.empty()) {
        return false;
    }
    for (const Cell& cell : piece->m_cells) {
        if (Cell* mine = Find(cell.index)) {
            mine->after = cell.after;
        } else {
            m_cells.push_back(cell);
        }
    }
    m_area = m_area.Joined(piece->m_area);
    return true;
}

std::size_t CellStep::Bytes() const
{
    return sizeof *this + m_cells.capacity() * sizeof(Cell) + m_requests.capacity() * sizeof(Request);
}
