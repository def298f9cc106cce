#pragma once

#include "terrain/TerrainSet.h"

#include <functional>
#include <unordered_map>
#include <vector>

// A cell of the grid and the chip and turn it is to show.
struct CellChipChange {
    int index;
    ChipTurn shows;
    bool operator==(const CellChipChange& other) const { return index == other.index && shows == other.shows; }
};

// The terrains of a map's grid vertices, read back from the cells' chips and
// turns as they are needed, and the painting of terrains on them. Painted
// vertices change the cells around them, which Settle then gives the chips
// their corners call for; the map itself is not touched: Changes lists what to
// do to it, for one step of the history.
//
// Where a cell's corners hold terrains that no chip joins, the terrain that
// comes first by priority (the painted one, for a brush) decides:
// - two terrains that no transition joins: the other corners take a third
//   terrain that meets both (painting shallow water into grass leaves a ring of
//   sand), the first by priority when several do;
// - three or four terrains: of the others, the one it joins that holds the
//   most corners stays, and the rest of the corners take the first terrain.
// Those vertices then change the cells around them in turn, so the map shows
// no seam that the set could avoid. Where the set has no such terrain (or a
// vertex has changed hands four times in one action, which bounds the work),
// the cell shows the first terrain whole.
class TerrainCorners {
public:
    // The chip and turn of cell `index` (row * width + column) as the map holds it.
    using CellAt = std::function<ChipTurn(int index)>;

    TerrainCorners(const TerrainSet& set, int width, int height, CellAt cellAt);

    // The terrain of vertex (column, row) (both wrap): as painted, or else the
    // one that most of the four cells around it show at that corner, a tie
    // going to the terrain listed first; -1 when none of them shows one.
    int Vertex(int column, int row);
    // Gives vertex (column, row) terrain `terrain`; Settle brings the cells to it.
    void Paint(int column, int row, int terrain);
    // Every cell around a vertex painted since the last call takes the chip its
    // corners call for. `priority` ranks the terrains (by index, lower first)
    // for corners that cannot be joined; a corner no cell reads takes the
    // cell's first terrain. Cells for which `fixed` holds keep their chip.
    void Settle(const std::vector<int>& priority, const std::function<bool(int index)>& fixed = nullptr);
    // Ranks `painted` first and the others in the set's order.
    static std::vector<int> PaintedFirst(const TerrainSet& set, int painted);

    // The cells whose chip or turn the painting changed, by index.
    std::vector<CellChipChange> Changes() const;

private:
    static const int kUnread = -2;

    int VertexIndex(int column, int row) const;
    // The four vertex indexes of cell `index`, in the grid's corner order.
    void CornerVertices(int index, int vertices[4]) const;
    // Queues the four cells around vertex `vertex`.
    void QueueAround(int vertex);
    // One cell against its corners. A corner it takes over queues the cells
    // around that vertex, this one among them.
    void SettleCell(int index, const std::vector<int>& priority);

    // The terrain meeting both `a` and `b` that ranks first; -1 for none.
    template <typename Rank>
    int Between(int a, int b, Rank rank) const;

    static const unsigned char kMostChanges = 4;

    const TerrainSet& m_set;
    int m_width;
    int m_height;
    CellAt m_cellAt;
    // By vertex: its terrain, or kUnread.
    std::vector<int> m_vertices;
    std::vector<int> m_queue;
    std::vector<char> m_queued;
    // By vertex: how often a cell took it over.
    std::vector<unsigned char> m_changes;
    std::unordered_map<int, ChipTurn> m_changed;
};
