#include "terrain/TerrainCorners.h"

#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

TerrainCorners::TerrainCorners(const TerrainSet& set, int width, int height, CellAt cellAt)
    : m_set(set),
      m_width(width),
      m_height(height),
      m_cellAt(std::move(cellAt)),
      m_vertices(static_cast<size_t>(width) * height, kUnread),
      m_queued(static_cast<size_t>(width) * height, 0),
      m_held(static_cast<size_t>(width) * height, 0),
      m_reach(static_cast<size_t>(width) * height, 255),
      m_moveCorners(true)
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
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            unsigned char& reach = m_reach[VertexIndex(column + dx, row + dy)];
            reach = std::min<unsigned char>(reach, static_cast<unsigned char>(std::max(std::abs(dx), std::abs(dy))));
        }
    }
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

void TerrainCorners::Settle(const std::vector<int>& priority, const std::function<bool(int index)>& fixed,
                            bool moveCorners)
{
    m_fixed = fixed;
    m_moveCorners = moveCorners;
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
    // The cell is to show one terrain, or two that meet; its other corners
    // take one of them. A corner painted with the terrain that ranks first
    // stays, and so does one too far from the painting or that would go back
    // to a terrain it held before in this action: a stroke changes the ground
    // round it, never far across the map, and two cells cannot hand a corner
    // back and forth. Of the ways left, the one that leaves the fewest cells
    // round the changed corners unjoined wins, then the one that changes the
    // fewest corners, then the one whose changed corners take the terrains
    // that rank last: the terrain painted, or a rule's that comes first, holds
    // its own ground and does not creep along the edges of others.
    // The terrains it may show: its own, and those that meet one of its own
    // that some other of its own does not meet.
    std::vector<char> allowed(m_set.Count(), 0);
    for (int corner = 0; corner < 4; ++corner) {
        allowed[corners.terrain[corner]] = 1;
    }
    for (int x : corners.terrain) {
        for (int y : corners.terrain) {
            if (x == y || m_set.Joins(x, y)) {
                continue;
            }
            for (int t = 0; t < m_set.Count(); ++t) {
                allowed[t] = allowed[t] || m_set.Joins(t, x);
            }
        }
    }
    Choice best;
    for (int a = 0; a < m_set.Count(); ++a) {
        for (int b = a; b < m_set.Count(); ++b) {
            if (!allowed[a] || !allowed[b] || (a != b && !m_set.Joins(a, b))) {
                continue;
            }
            Choice choice;
            choice.partner = a;
            bool possible = true;
            for (int corner = 0; corner < 4 && possible; ++corner) {
                const int v = vertices[corner];
                if (corners.terrain[corner] == a || corners.terrain[corner] == b) {
                    continue;
                }
                const bool movable = m_moveCorners && m_reach[v] <= kReach &&
                                     !(m_reach[v] == 0 && rank(m_vertices[v]) == 0);
                const bool toA = movable && !HeldBefore(v, a);
                const bool toB = movable && !HeldBefore(v, b);
                possible = toA || toB;
                Choice withA = choice;
                withA.Add(v, a);
                Choice withB = choice;
                withB.Add(v, b);
                const bool takesB = toB && (!toA || Unshowable(withB) < Unshowable(withA) ||
                                            (Unshowable(withB) == Unshowable(withA) && rank(b) > rank(a)));
                choice = takesB ? withB : withA;
            }
            if (!possible) {
                continue;
            }
            choice.unshowable = Unshowable(choice);
            for (int k = 0; k < choice.count; ++k) {
                choice.changedBefore += m_held[choice.vertex[k]] != 0 ? 1 : 0;
            }
            choice.rank = 0;
            for (int k = 0; k < choice.count; ++k) {
                choice.rank -= rank(choice.terrain[k]);
            }
            if (best.partner == kNoChoice || choice.Before(best)) {
                best = choice;
            }
        }
    }
    if (best.partner == kNoChoice || best.count == 0) {
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
        const int v = best.vertex[k];
        m_held[v] |= Bit(m_vertices[v]) | Bit(best.terrain[k]);
        m_vertices[v] = best.terrain[k];
        QueueAround(best.vertex[k]);
    }
}

uint64_t TerrainCorners::Bit(int terrain)
{
    return terrain >= 0 && terrain < 64 ? uint64_t{1} << terrain : 0;
}

bool TerrainCorners::HeldBefore(int vertex, int terrain) const
{
    return (m_held[vertex] & Bit(terrain)) != 0;
}

void TerrainCorners::Choice::Add(int v, int t)
{
    vertex[count] = v;
    terrain[count] = t;
    ++count;
}

bool TerrainCorners::Choice::Before(const Choice& other) const
{
    if (unshowable != other.unshowable) {
        return unshowable < other.unshowable;
    }
    if (count != other.count) {
        return count < other.count;
    }
    if (changedBefore != other.changedBefore) {
        return changedBefore < other.changedBefore;
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
