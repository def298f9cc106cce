#pragma once

#include <string>
#include <vector>

// A chip of the atlas in one of its quarter turns, as a cell shows it.
struct ChipTurn {
    int chip;
    int turn;
    bool operator==(const ChipTurn& other) const { return chip == other.chip && turn == other.turn; }
    bool operator!=(const ChipTurn& other) const { return !(*this == other); }
};

// The terrain at each corner of a cell, in the grid's corner order: 0 at
// (x, y), 1 at (x, y + 1), 2 at (x + 1, y), 3 at (x + 1, y + 1). -1 where the
// corner's terrain is not known.
struct CellCorners {
    int terrain[4];
    bool operator==(const CellCorners& other) const
    {
        for (int k = 0; k < 4; ++k) {
            if (terrain[k] != other.terrain[k]) {
                return false;
            }
        }
        return true;
    }
};

// The terrains an atlas describes: each terrain's full chips, and for each pair
// of terrains that meet, four transition chips. With every corner of a cell
// belonging to one of two terrains, the corners make one of four patterns (one
// corner, two adjacent, two opposite, three corners of the first), and a
// quarter turn of the one chip drawn for that pattern shows each of its
// placements. So the set never stores the terrains of a map: they are read
// back from the cells' chips and turns.
//
// A transition chip is described by the turn in which the first terrain holds
// its pattern's corners as the views show the cell: the top left corner; the
// top left and top right; the top left and bottom right; every corner but the
// bottom right.
class TerrainSet {
public:
    enum Pattern { kOneCorner = 0, kTwoAdjacent = 1, kTwoOpposite = 2, kThreeCorners = 3, kPatternCount = 4 };

    struct Terrain {
        // UTF-8.
        std::string name;
        // The first is the one a cell of this terrain gets; every one reads back as it.
        std::vector<int> chips;
    };
    struct Pair {
        int first;
        int second;
        // By Pattern.
        ChipTurn transitions[kPatternCount];
    };

    bool Empty() const { return m_terrains.empty(); }
    int Count() const { return static_cast<int>(m_terrains.size()); }
    // -1 for a name no terrain has.
    int Find(const std::string& name) const;
    // Whether a transition joins terrains `a` and `b`, either way round.
    bool Joins(int a, int b) const;

    // The chip and turn that show `corners` (every corner known): a full chip
    // of one terrain, or a transition of two that meet. `current` stays when it
    // shows them already. False when no chip of the set shows them.
    bool Choose(const CellCorners& corners, ChipTurn current, ChipTurn* chosen) const;
    // The terrains a cell showing `cell` has at its corners; false when the
    // chip is none of the set's.
    bool Read(ChipTurn cell, CellCorners* corners) const;

    std::vector<Terrain> m_terrains;
    std::vector<Pair> m_pairs;
};

// Reads a description in the text form of a `.terrain.ini` file (UTF-8, the
// README shows it). Chips must be below `chipCount`. False, with the
// one-based line at fault in `badLine`, for a description that cannot be used.
bool ParseTerrainSet(const std::string& text, int chipCount, TerrainSet* set, int* badLine);

// The terrains of the built-in atlas with transitions, under `names` (grass,
// sand, dirt, rock, snow, shallow water, in the program's language).
TerrainSet BuiltInTerrainSet(const std::vector<std::string>& names);
