#pragma once

#include "tools/COxelTool.h"

// A tool on cells (chips, billboards): the left button paints the brush's
// cells or, with "塗りつぶし", fills from the cell clicked, which a stroke
// never does; the right button paints the brush's cells its own way.
class COxelCellTool : public COxelTool {
public:
    explicit COxelCellTool(COxelD3DTerrainEditor& editor);

    // With fill on, the left button fills on a click; the right button still strokes.
    bool Strokes(bool right) const override;
    void Reach(const std::vector<GridPoint>& points) override;

protected:
    // The region of like cells around `start`, with the left button.
    virtual void Fill(GridPoint start) = 0;
    // The brushes' cells of the points reached, in order (a cell of
    // overlapping brushes once for each).
    virtual void Paint(const std::vector<GridPoint>& cells) = 0;
};
