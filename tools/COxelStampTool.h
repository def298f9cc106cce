#pragma once

#include "tools/COxelTool.h"
#include "tools/MapRegion.h"

// A copy being put down, after "貼り付け": it follows the pointer in the 2D
// windows (their outline shows where it would go), a left click puts it down
// with its top-left cell under the pointer (in the height window, its
// top-left corner on the vertex), wrapping round the map's edges, one step of
// the history each; with Shift held the heights go down relative to the
// ground, the stamp's lowest vertex at the height of the vertex under its
// top-left corner. The right button ends it, as "R" turns it and Esc ends it
// through the editor.
class COxelStampTool : public COxelTool {
public:
    explicit COxelStampTool(COxelD3DTerrainEditor& editor);

    void Start(const MapRegion& region);
    void Stop();
    bool Active() const { return m_active; }
    // A quarter turn clockwise, as the views show it.
    void Turn();
    // Where a click would put it down; empty while the pointer has not been
    // over a view since it started.
    MapRect Footprint() const;

    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    void Reach(const std::vector<GridPoint>& points) override;
    void End() override;
    void Hover(MapPoint point) override;

private:
    // The top-left cell for the pointer at `point`.
    GridPoint TopLeftAt(MapPoint point) const;

    MapRegion m_region;
    bool m_active;
    bool m_placed;
    GridPoint m_topLeft;
};
