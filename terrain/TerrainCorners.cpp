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
    while (!m_queue.empty()) {
        const int cell = m_queue.back();
        m_queue.pop_back();
        m_queued[cell] = 0;
        if (fixed && fixed(cell)) {
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
    // The corners to take over, and what each becomes.
    int becomes[4] = {-1, -1, -1, -1};
    std::vector<int> others;
    for (int terrain : corners.terrain) {
        if (terrain != first && std::find(others.begin(), others.end(), terrain) == others.end()) {
            others.push_back(terrain);
        }
    }
    if (others.size() == 1) {
        // Two terrains that do not meet: a third that meets both comes between them.
        const int between = Between(first, others[0], rank);
        for (int corner = 0; corner < 4 && between >= 0; ++corner) {
            if (corners.terrain[corner] != first) {
                becomes[corner] = between;
            }
        }
    } else {
        // Three or four: the other terrain that `first` joins and that holds
        // the most corners stays; the rest become `first`.
        int kept = -1;
        int keptCorners = 0;
        for (int terrain : others) {
            const int count =
                static_cast<int>(std::count(std::begin(corners.terrain), std::end(corners.terrain), terrain));
            if (m_set.Joins(first, terrain) && (count > keptCorners || (count == keptCorners && rank(terrain) < rank(kept)))) {
                kept = terrain;
                keptCorners = count;
            }
        }
        for (int corner = 0; corner < 4; ++corner) {
            if (corners.terrain[corner] != first && corners.terrain[corner] != kept) {
                becomes[corner] = first;
            }
        }
    }
    const bool takesOver = std::any_of(std::begin(becomes), std::end(becomes), [](int t) { return t >= 0; }) &&
                           std::none_of(std::begin(vertices), std::end(vertices), [&](int v) {
                               return m_changes[v] >= kMostChanges;
                           });
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
    for (int corner = 0; corner < 4; ++corner) {
        if (becomes[corner] >= 0 && m_vertices[vertices[corner]] != becomes[corner]) {
            m_vertices[vertices[corner]] = becomes[corner];
            ++m_changes[vertices[corner]];
            QueueAround(vertices[corner]);
        }
    }
}

template <typename Rank>
int TerrainCorners::Between(int a, int b, Rank rank) const
{
    int between = -1;
    for (int terrain = 0; terrain < m_set.Count(); ++terrain) {
        if (m_set.Joins(a, terrain) && m_set.Joins(b, terrain) && (between < 0 || rank(terrain) < rank(between))) {
            between = terrain;
        }
    }
    return between;
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
