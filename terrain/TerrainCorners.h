#pragma once

#include "terrain/TerrainSet.h"

#include <cstdint>
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
// Where a cell's corners hold terrains that no chip joins, the cell is made to
// show one terrain, or two that meet, leaving as few cells round it unjoined
// as it can: so shallow water painted into grass takes a ring of sand round
// it, which joins both. The painted corners stay (those of the terrain ranked
// first), and only corners within two vertices of a painted one change, never
// back to a terrain they held in the same action: a stroke changes the ground
// round it, never far across the map. The cells round a changed corner are
// then settled in turn, so the map shows no seam that the set could avoid
// there. Where no such change joins a cell's corners, the cell shows the
// terrain ranked first whole.
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
    // With `moveCorners` false no corner changes: a cell whose corners cannot
    // be joined shows its first terrain whole (for painting the whole map at
    // once, where every corner was chosen on purpose).
    void Settle(const std::vector<int>& priority, const std::function<bool(int index)>& fixed = nullptr,
                bool moveCorners = true);
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

    // A way to join an unjoined cell: the corners it changes and what they
    // become, and what it costs.
    struct Choice {
        // The first of the terrains it keeps; kNoChoice before one is found.
        int partner = kNoChoice;
        int vertex[4];
        int terrain[4];
        int count = 0;
        // Cells round the changed corners left unjoined.
        int unshowable = 0;
        // Changed corners that had changed before in this action.
        int changedBefore = 0;
        // Less for changed corners that take terrains ranked later.
        int rank = 0;
        void Add(int vertex, int terrain);
        bool Before(const Choice& other) const;
    };
    // How many cells round the corners `choice` changes would be left without a chip.
    int Unshowable(const Choice& choice);
    // Whether a chip shows corners of these terrains (-1 fits anything).
    bool Showable(const int terrains[4]) const;

    static uint64_t Bit(int terrain);
    // Whether vertex `vertex` held terrain `terrain` before it changed in this action.
    bool HeldBefore(int vertex, int terrain) const;

    static const int kNoChoice = -2;
    // How far from the painted vertices the cells' corners may change.
    static const int kReach = 2;

    const TerrainSet& m_set;
    int m_width;
    int m_height;
    CellAt m_cellAt;
    // By vertex: its terrain, or kUnread.
    std::vector<int> m_vertices;
    std::vector<int> m_queue;
    std::vector<char> m_queued;
    // By vertex: a bit for each terrain it held in this action, once it changed.
    std::vector<uint64_t> m_held;
    // By vertex: how far the nearest painted vertex is (0 to kReach), or more.
    std::vector<unsigned char> m_reach;
    std::unordered_map<int, ChipTurn> m_changed;
    // The cells Settle leaves as they are.
    std::function<bool(int index)> m_fixed;
    bool m_moveCorners;
};
