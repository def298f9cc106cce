#pragma once

#include "tools/COxelTool.h"

// "地形ブラシ": the left button paints the terrain picked in "地形" on the
// corners of the brush's cells (so a 1 x 1 brush makes one cell wholly that
// terrain), or, over a vertex of the map edit window, on the brush's vertices;
// every cell around a painted vertex then shows the chip and turn its four
// corners call for. The right button picks up the terrain under the pointer.
class COxelTerrainTool : public COxelTool {
public:
    explicit COxelTerrainTool(COxelD3DTerrainEditor& editor);

    // The right button picks; it never strokes.
    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    void Reach(const std::vector<GridPoint>& points) override;
    // The map's readout, and the terrain the corner or the cell's corners hold.
    std::string StatusText(MapPoint point) const override;

private:
    // The terrain of vertex `vertex`, or the one most corners of cell `cell` hold; -1 for none.
    int TerrainAt(MapPoint point) const;

    MapPoint::Kind m_kind;
};
