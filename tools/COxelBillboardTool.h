#pragma once

#include "tools/COxelTool.h"

// "ビルボードを置く": the left button puts the billboard picked in the
// billboard dialog on the brush's cells (or, with "塗りつぶし", on the cells
// connected to the one clicked that share its billboard), the right button
// takes the brush's cells' billboards off. With no billboard picked the left
// button changes nothing, and the first time says why.
class COxelBillboardTool : public COxelTool {
public:
    explicit COxelBillboardTool(COxelD3DTerrainEditor& editor);

    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    void Reach(const std::vector<GridPoint>& points) override;

private:
    // The billboard the action places; -1 takes billboards off.
    int m_billboard;
    bool m_toldNonePicked;
};
