#include "terrain/TerrainCorners.h"

#include "terrain/MapGridMath.h"

#include <algorithm>
#include <utility>

TerrainCorners::TerrainCorners(const TerrainSet& set, int width, int height, CellAt cellAt)
    : m_set(set),
      m_width(width),
      m_height(height),
      m_cellAt(std::move(cellAt)),
      m_vertices(static_cast<size_t>(width) * height, kUnread),
      m_queued(static_cast<size_t>(width) * height, 0),
      m_changes(static_cast<size_t>(width) * height, 0)
{
}

int TerrainCorners::VertexIndex(int column, int row) const
{
    return WrapIndex(row, m_height) * m_width + WrapIndex(column, m_width);
}

void TerrainCorners::CornerVertices(int index, int vertices[4]) const
{
    const int column = index % m_width;
    const int row = index / m_width;
    vertices[0] = VertexIndex(column, row);
    vertices[1] = VertexIndex(column, row + 1);
    vertices[2] = VertexIndex(column + 1, row);
    vertices[3] = VertexIndex(column + 1, row + 1);
}

int TerrainCorners::Vertex(int column, int row)
{
    int& terrain = m_vertices[VertexIndex(column, row)];
    if (terrain != kUnread) {
        return terrain;
    }
    // The cells whose corner 0, 1, 2 and 3 the vertex is.
    const int cells[4] = {VertexIndex(column, row), VertexIndex(column, row - 1), VertexIndex(column - 1, row),
                          VertexIndex(column - 1, row - 1)};
    int votes[4];
    for (int corner = 0; corner < 4; ++corner) {
        CellCorners corners;
        votes[corner] = m_set.Read(m_cellAt(cells[corner]), &corners) ? corners.terrain[corner] : -1;
    }
    terrain = -1;
    int best = 0;
    for (int vote : votes) {
        const int count = static_cast<int>(std::count(std::begin(votes), std::end(votes), vote));
        if (vote >= 0 && (count > best || (count == best && vote < terrain))) {
            terrain = vote;
            best = count;
        }
    }
    return terrain;
}

void TerrainCorners::Paint(int column, int row, int terrain)
{
    const int vertex = VertexIndex(column, row);
    m_vertices[vertex] = terrain;
    QueueAround(vertex);
}

void TerrainCorners::QueueAround(int vertex)
{
    const int column = vertex % m_width;
    const int row = vertex / m_width;
    for (const int cell : {VertexIndex(column, row), VertexIndex(column, row - 1), VertexIndex(column - 1, row),
                           VertexIndex(column - 1, row - 1)}) {
        if (!m_queued[cell]) {
            m_queued[cell] = 1;
            m_queue.push_back(cell);
        }
    }
}

std::vector<int> TerrainCorners::PaintedFirst(const TerrainSet& set, int painted)
{
    std::vector<int> priority(set.Count());
    for (int terrain = 0; terrain < set.Count(); ++terrain) {
        priority[terrain] = terrain == painted ? 0 : terrain + 1;
    }
    return priority;
}

void TerrainCorners::Settle(const std::vector<int>& priority, const std::function<bool(int index)>& fixed)
{
    m_fixed = fixed;
    while (!m_queue.empty()) {
        const int cell = m_queue.back();
        m_queue.pop_back();
        m_queued[cell] = 0;
        if (m_fixed && m_fixed(cell)) {
            continue;
        }
        SettleCell(cell, priority);
    }
}

void TerrainCorners::SettleCell(int index, const std::vector<int>& priority)
{
    int vertices[4];
    CornerVertices(index, vertices);
    CellCorners corners;
    for (int corner = 0; corner < 4; ++corner) {
        corners.terrain[corner] = Vertex(vertices[corner] % m_width, vertices[corner] / m_width);
    }
    const auto rank = [&](int terrain) {
        return terrain >= 0 && terrain < static_cast<int>(priority.size()) ? priority[terrain] : m_set.Count() + 1;
    };
    int first = -1;
    for (int terrain : corners.terrain) {
        if (terrain >= 0 && (first < 0 || rank(terrain) < rank(first))) {
            first = terrain;
        }
    }
    if (first < 0) {
        return;  // nothing known to paint it with
    }
    // A corner no cell reads belongs to no other picture: it follows this cell.
    for (int corner = 0; corner < 4; ++corner) {
        if (corners.terrain[corner] < 0) {
            corners.terrain[corner] = first;
            m_vertices[vertices[corner]] = first;
        }
    }
    const ChipTurn current = m_cellAt(index);
    ChipTurn chosen;
    if (m_set.Choose(corners, current, &chosen)) {
        if (chosen == current) {
            m_changed.erase(index);
        } else {
            m_changed[index] = chosen;
        }
        return;
    }
    // The cell keeps `first` and at most one terrain that meets it; each
    // corner of any other terrain takes one of the two. Of every such choice,
    // the one that leaves the fewest cells round the changed corners without a
    // chip wins, changing corners changed before in this action as little as
    // possible (so that two cells do not hand a corner back and forth), then
    // as few corners as it can, then keeping the terrain that ranks first.
    Choice best;
    for (int partner = -1; partner < m_set.Count(); ++partner) {
        if (partner == first || (partner >= 0 && !m_set.Joins(first, partner))) {
            continue;
        }
        Choice choice;
        choice.partner = partner;
        for (int corner = 0; corner < 4; ++corner) {
            const int terrain = corners.terrain[corner];
            if (terrain == first || terrain == partner) {
                continue;
            }
            // Each corner to whichever of the two suits the cells round it best.
            Choice withPartner = choice;
            withPartner.Add(vertices[corner], partner);
            Choice withFirst = choice;
            withFirst.Add(vertices[corner], first);
            // A corner changed before in this action may only become the
            // first terrain: each change then ranks the corner higher, and two
            // cells cannot hand it back and forth.
            const bool partnerFits = partner >= 0 && m_changes[vertices[corner]] == 0 &&
                                     Unshowable(withPartner) <= Unshowable(withFirst);
            choice = partnerFits ? withPartner : withFirst;
        }
        choice.unshowable = Unshowable(choice);
        for (int k = 0; k < choice.count; ++k) {
            choice.changedBefore += m_changes[choice.vertex[k]] > 0 ? 1 : 0;
        }
        choice.rank = partner >= 0 ? rank(partner) : m_set.Count() + 2;
        if (best.partner == kNoChoice || choice.Before(best)) {
            best = choice;
        }
    }
    const bool takesOver = best.partner != kNoChoice && best.count > 0 &&
                           std::none_of(best.vertex, best.vertex + best.count,
                                        [&](int v) { return m_changes[v] >= kMostChanges; });
    if (!takesOver) {
        // The set cannot join these corners: the cell shows the first terrain whole.
        const std::vector<int>& chips = m_set.m_terrains[first].chips;
        const ChipTurn whole = std::find(chips.begin(), chips.end(), current.chip) != chips.end()
                                   ? current
                                   : ChipTurn{chips.front(), 0};
        if (whole == current) {
            m_changed.erase(index);
        } else {
            m_changed[index] = whole;
        }
        return;
    }
    for (int k = 0; k < best.count; ++k) {
        m_vertices[best.vertex[k]] = best.terrain[k];
        ++m_changes[best.vertex[k]];
        QueueAround(best.vertex[k]);
    }
}

void TerrainCorners::Choice::Add(int v, int t)
{
    vertex[count] = v;
    terrain[count] = t;
    ++count;
}

bool TerrainCorners::Choice::Before(const Choice& other) const
{
    if (changedBefore != other.changedBefore) {
        return changedBefore < other.changedBefore;
    }
    if (unshowable != other.unshowable) {
        return unshowable < other.unshowable;
    }
    if (count != other.count) {
        return count < other.count;
    }
    return rank < other.rank;
}

int TerrainCorners::Unshowable(const Choice& choice)
{
    int cells[16];
    int cellCount = 0;
    for (int k = 0; k < choice.count; ++k) {
        const int column = choice.vertex[k] % m_width;
        const int row = choice.vertex[k] / m_width;
        for (const int cell : {VertexIndex(column, row), VertexIndex(column, row - 1), VertexIndex(column - 1, row),
                               VertexIndex(column - 1, row - 1)}) {
            if (std::find(cells, cells + cellCount, cell) == cells + cellCount) {
                cells[cellCount++] = cell;
            }
        }
    }
    int unshowable = 0;
    for (int c = 0; c < cellCount; ++c) {
        if (m_fixed && m_fixed(cells[c])) {
            continue;
        }
        int vertices[4];
        CornerVertices(cells[c], vertices);
        int terrains[4];
        for (int corner = 0; corner < 4; ++corner) {
            const int* changed = std::find(choice.vertex, choice.vertex + choice.count, vertices[corner]);
            terrains[corner] = changed != choice.vertex + choice.count
                                   ? choice.terrain[changed - choice.vertex]
                                   : Vertex(vertices[corner] % m_width, vertices[corner] / m_width);
        }
        unshowable += Showable(terrains) ? 0 : 1;
    }
    return unshowable;
}

bool TerrainCorners::Showable(const int terrains[4]) const
{
    int a = -1;
    int b = -1;
    for (int corner = 0; corner < 4; ++corner) {
        const int t = terrains[corner];
        if (t < 0 || t == a || t == b) {
            continue;  // a corner no cell reads fits anything
        }
        if (a < 0) {
            a = t;
        } else if (b < 0) {
            b = t;
        } else {
            return false;
        }
    }
    return b < 0 || m_set.Joins(a, b);
}

std::vector<CellChipChange> TerrainCorners::Changes() const
{
    std::vector<CellChipChange> changes;
    changes.reserve(m_changed.size());
    for (const auto& change : m_changed) {
        changes.push_back(CellChipChange{change.first, change.second});
    }
    std::sort(changes.begin(), changes.end(),
              [](const CellChipChange& a, const CellChipChange& b) { return a.index < b.index; });
    return changes;
}
