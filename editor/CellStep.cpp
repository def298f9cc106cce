#include "editor/CellStep.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/BrushMath.h"

#include <algorithm>
#include <utility>
#include <vector>

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
    m_requests.push_back(Request{column, row, kPlaceChip, chip, 0});
}

void CellStep::PlaceChips(const std::vector<GridPoint>& cells, int chip)
{
    m_requests.reserve(m_requests.size() + cells.size());
    for (const GridPoint& cell : cells) {
        PlaceChip(cell.column, cell.row, chip);
    }
}

void CellStep::Turn(int column, int row)
{
    m_requests.push_back(Request{column, row, kTurn, 0, 0});
}

void CellStep::ShowChip(int column, int row, int chip, int rotation)
{
    m_requests.push_back(Request{column, row, kShowChip, chip, rotation});
}

void CellStep::SetBillboard(int column, int row, int billboard)
{
    m_requests.push_back(Request{column, row, kSetBillboard, billboard, 0});
}

CellState CellStep::Read(const COxelD3DTerrainChipManager& terrain, int index)
{
    const COxelD3DMapChipData& cell = terrain.m_cells[index];
    return CellState{cell.m_chipIndex, cell.m_rotation, cell.m_billboard};
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
    if (!m_requests.empty()) {
        Record(terrain);
    }
    if (m_cells.empty()) {
        return false;
    }
    WriteAll(terrain, &Cell::after);
    return true;
}

void CellStep::Undo(EditedMap& map)
{
    WriteAll(*map.terrain, &Cell::before);
}

void CellStep::Record(const COxelD3DTerrainChipManager& terrain)
{
    // The requests by cell, each cell's in the order given. A fill names every
    // cell of a large map, already in index order; other steps come into that
    // order by one sort rather than by searching the step for each cell.
    m_mapWidth = terrain.m_mapWidth;
    const auto indexOf = [&](const Request& request) {
        return WrapIndex(request.row, terrain.m_mapHeight) * m_mapWidth + WrapIndex(request.column, m_mapWidth);
    };
    const size_t count = m_requests.size();
    std::vector<size_t> order;
    for (size_t k = 1; k < count; ++k) {
        if (indexOf(m_requests[k]) < indexOf(m_requests[k - 1])) {
            order.resize(count);
            for (size_t i = 0; i < count; ++i) {
                order[i] = i;
            }
            std::stable_sort(order.begin(), order.end(),
                             [&](size_t a, size_t b) { return indexOf(m_requests[a]) < indexOf(m_requests[b]); });
            break;
        }
    }
    const auto indexAt = [&](size_t k) { return k < count ? indexOf(m_requests[order.empty() ? k : order[k]]) : -1; };
    m_cells.reserve(count);
    int next = indexAt(0);
    for (size_t k = 0; k < count;) {
        const int index = next;
        Cell cell = {index, Read(terrain, index), Read(terrain, index)};
        // What the grid does: a new chip starts unturned, a turn adds a quarter.
        for (; next == index; next = indexAt(++k)) {
            const Request& request = m_requests[order.empty() ? k : order[k]];
            switch (request.action) {
            case kPlaceChip:
                cell.after.chip = request.value;
                cell.after.rotation = 0;
                break;
            case kTurn:
                cell.after.rotation = (cell.after.rotation + 1) % 4;
                break;
            case kSetBillboard:
                cell.after.billboard = request.value;
                break;
            case kShowChip:
                cell.after.chip = request.value;
                cell.after.rotation = request.rotation;
                break;
            }
        }
        if (cell.after != cell.before) {
            m_cells.push_back(cell);
        }
    }
    m_requests.clear();
    m_requests.shrink_to_fit();
    m_cells.shrink_to_fit();
    if (m_cells.empty()) {
        return;
    }
    // The cells are in index order: the rows run from the first to the last.
    m_area = MapArea{m_mapWidth, m_cells.front().index / m_mapWidth, -1, m_cells.back().index / m_mapWidth};
    for (const Cell& cell : m_cells) {
        m_area.left = std::min(m_area.left, cell.index % m_mapWidth);
        m_area.right = std::max(m_area.right, cell.index % m_mapWidth);
    }
}

void CellStep::WriteAll(COxelD3DTerrainChipManager& terrain, CellState Cell::*state) const
{
    // Chips, turns and billboards leave the ground's shape as it is: each
    // cell's picture is laid anew and nothing around it is touched, so a fill
    // of a large map costs what its cells do.
    for (const Cell& cell : m_cells) {
        COxelD3DMapChipData& data = terrain.m_cells[cell.index];
        data.m_chipIndex = (cell.*state).chip;
        data.m_rotation = (cell.*state).rotation;
        data.m_billboard = (cell.*state).billboard;
        terrain.UpdateCellPicture(cell.index);
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
