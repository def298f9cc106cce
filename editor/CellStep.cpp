#include "editor/CellStep.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <unordered_map>

namespace {

template <typename Cell>
bool ByIndex(const Cell& a, const Cell& b)
{
    return a.index < b.index;
}

}  // namespace

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
    const auto found = std::lower_bound(m_cells.begin(), m_cells.end(), Cell{index, CellState(), CellState()},
                                        ByIndex<Cell>);
    return found != m_cells.end() && found->index == index ? &*found : nullptr;
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
    // A fill names every cell of a large map: each is found by its index, not by a search.
    m_mapWidth = terrain.m_mapWidth;
    std::unordered_map<int, size_t> positions(m_requests.size());
    for (const Request& request : m_requests) {
        const int index =
            WrapIndex(request.row, terrain.m_mapHeight) * m_mapWidth + WrapIndex(request.column, m_mapWidth);
        const auto position = positions.emplace(index, m_cells.size());
        if (position.second) {
            m_cells.push_back(Cell{index, Read(terrain, index), CellState()});
        }
        Cell* cell = &m_cells[position.first->second];
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
    // Each cell is held once, so the order they are written back in does not
    // matter: in index order, a later piece of the stroke finds its cells by halving.
    std::sort(changed.begin(), changed.end(), ByIndex<Cell>);
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
    std::vector<Cell> added;
    for (const Cell& cell : piece->m_cells) {
        if (Cell* mine = Find(cell.index)) {
            mine->after = cell.after;
        } else {
            added.push_back(cell);
        }
    }
    const size_t held = m_cells.size();
    m_cells.insert(m_cells.end(), added.begin(), added.end());
    std::inplace_merge(m_cells.begin(), m_cells.begin() + held, m_cells.end(), ByIndex<Cell>);
    m_area = m_area.Joined(piece->m_area);
    return true;
}

std::size_t CellStep::Bytes() const
{
    return sizeof *this + m_cells.capacity() * sizeof(Cell) + m_requests.capacity() * sizeof(Request);
}
