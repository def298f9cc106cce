#pragma once

#include "tools/COxelTool.h"

// The height tools on grid vertices: raise and lower, smooth, flatten, or a
// chosen height, each over the brush ("ツール(&T)"). A stroke's flatten keeps
// to the height where it began; with a chosen height the right button takes
// the height under the pointer as the new target instead of changing the map.
class COxelHeightTool : public COxelTool {
public:
    explicit COxelHeightTool(COxelD3DTerrainEditor& editor);

    bool Strokes(bool right) const override;
    void Begin(MapPoint start, bool right) override;
    // The brush acts around each point in turn, as one change: each reads the
    // heights the points before it left.
    void Reach(const std::vector<GridPoint>& points) override;

private:
    bool PicksTarget() const;

    double m_startHeight;
};
