#pragma once

#include "tools/COxelCellTool.h"

// "ビルボードを置く": the left button puts the billboard picked in the
// billboard dialog on the brush's cells (or, with "塗りつぶし", on the cells
// connected to the one clicked that share its billboard), the right button
// takes the brush's cells' billboards off. With no billboard picked the left
// button changes nothing, and the first time says why.
class COxelBillboardTool : public COxelCellTool {
public:
    explicit COxelBillboardTool(COxelD3DTerrainEditor& editor);

    void Begin(MapPoint start, bool right) override;
    // Nothing while the left button has no billboard to place.
    void Reach(const std::vector<GridPoint>& points) override;

protected:
    void Fill(GridPoint start) override;
    void Paint(const std::vector<GridPoint>& cells) override;

private:
    // The billboard the action places; -1 takes billboards off.
    int m_billboard;
    bool m_toldNonePicked;
};
