#pragma once

#include "editor/MapStep.h"

#include <vector>

struct GridPoint;

// What one cell of the grid shows: its atlas tile, the tile's quarter turns
// and the billboard standing on it (-1 for none).
struct CellState {
    int chip;
    int rotation;
    int billboard;
    bool operator==(const CellState& other) const
    {
        return chip == other.chip && rotation == other.rotation && billboard == other.billboard;
    }
    bool operator!=(const CellState& other) const { return !(*this == other); }
};

// Changes to some cells: a click puts a chip on one or turns it, a stroke or a
// fill does it to many. Holds each cell with its state before and after.
class CellStep : public MapStep {
public:
    CellStep();

    // Each names a cell by column and row (both wrap) and is done in the
    // order given, as the grid does it: a new chip starts unturned, a turn
    // adds a quarter.
    void PlaceChip(int column, int row, int chip);
    void PlaceChips(const std::vector<GridPoint>& cells, int chip);
    void Turn(int column, int row);
    // The chip and its turn at once, as a terrain calls for them.
    void ShowChip(int column, int row, int chip, int rotation);
    void SetBillboard(int column, int row, int billboard);

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    // Takes in another cell step: its cells keep their first "before".
    bool MergeWith(const MapStep& next) override;
    std::size_t Bytes() const override;

    // A cell's state as the grid holds it.
    static CellState Read(const COxelD3DTerrainChipManager& terrain, int index);

private:
    struct Cell {
        int index;
        CellState before;
        CellState after;
    };
    enum Action { kPlaceChip, kTurn, kSetBillboard, kShowChip };
    struct Request {
        int column;
        int row;
        Action action;
        int value;
        // The turn of kShowChip.
        int rotation;
    };

    Cell* Find(int index);
    // Works out each named cell's state before and after the requests, and
    // keeps the cells that change.
    void Record(const COxelD3DTerrainChipManager& terrain);
    // Brings every cell held to its `state` (before or after).
    void WriteAll(COxelD3DTerrainChipManager& terrain, CellState Cell::*state) const;

    std::vector<Request> m_requests;
    std::vector<Cell> m_cells;
    int m_mapWidth;
    MapArea m_area;
};
