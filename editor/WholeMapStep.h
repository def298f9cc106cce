#pragma once

#include "editor/CellStep.h"
#include "editor/MapStep.h"

#include <functional>
#include <vector>

// An operation that may change every vertex and cell of the grid at once (an
// import, a generated landscape): keeps a copy of the grid from before and
// after it. The map's size stays as it is.
class WholeMapStep : public MapStep {
public:
    // `operation` changes the grid through the chip manager, as it likes; it
    // runs once, on the first Redo.
    explicit WholeMapStep(std::function<void(EditedMap&)> operation);

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    std::size_t Bytes() const override;

private:
    // The grid's heights (vertex (c, r) at r * width + c) and cells; a part
    // that the operation left alone is empty in both copies.
    struct Grid {
        std::vector<double> heights;
        std::vector<CellState> cells;
    };

    Grid Copy(const COxelD3DTerrainChipManager& terrain) const;
    void Put(COxelD3DTerrainChipManager& terrain, const Grid& grid) const;

    std::function<void(EditedMap&)> m_operation;
    int m_width;
    int m_height;
    Grid m_before;
    Grid m_after;
};
