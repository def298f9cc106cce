#pragma once

#include "tools/COxelTool.h"

// The map chip tools on cells: the left button puts the chip picked in the
// texture window on the brush's cells (or, with "塗りつぶし", on the region
// of like cells around the one clicked), the right button turns the brush's
// chips a quarter clockwise, each cell once an action.
class COxelChipTool : public COxelTool {
public:
    explicit COxelChipTool(COxelD3DTerrainEditor& editor);

    // With fill on, the left button fills on a click; the right button still strokes.
    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    void Reach(const std::vector<GridPoint>& points) override;

private:
    // By cell: turned already in this action, so that overlapping brushes
    // turn no cell twice.
    std::vector<char> m_turned;
};
