#pragma once

#include "tools/COxelTool.h"
#include "tools/MapRegion.h"

// "範囲選択": a left drag selects the rectangle of cells between the press
// and where the pointer is, shown as it grows; a click without a drag clears
// the selection. In the height window the drag runs from vertex to vertex and
// takes the cells between them (at least one each way), with their corners.
// The drag is followed square by square, so it keeps its way round the torus
// whichever edge of the map it crosses. The right button does nothing.
class COxelSelectTool : public COxelTool {
public:
    explicit COxelSelectTool(COxelD3DTerrainEditor& editor);

    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    void Reach(const std::vector<GridPoint>& points) override;
    void End() override;

private:
    MapRect Rect() const;

    MapPoint m_start;
    GridPoint m_last;
    // How far the pointer went from the press, in view squares: right and down.
    int m_across;
    int m_down;
    bool m_moved;
};
