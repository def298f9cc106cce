#pragma once

#include "editor/MapStep.h"
#include "tools/MapRegion.h"

#include <vector>

// A region put down on the map with its top-left cell (as the views show it)
// on grid cell `topLeft`, wrapping round the map's edges: every vertex takes
// the region's height and every cell its chip, turn and billboard. A paste of
// a stamp or a cut is one such step. Holds the rectangle's state before and
// after, so a large region costs a few bytes a vertex and a cell.
class RegionStep : public MapStep {
public:
    RegionStep(const MapRegion& region, GridPoint topLeft);

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    std::size_t Bytes() const override;

private:
    // Writes `heights` and `cells` (in the region's order) to the map.
    void Write(EditedMap& map, const std::vector<double>& heights, const std::vector<CellState>& cells) const;

    MapRegion m_after;
    GridPoint m_topLeft;
    std::vector<double> m_heightsBefore;
    std::vector<CellState> m_cellsBefore;
};
