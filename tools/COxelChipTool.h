#pragma once

#include "tools/COxelCellTool.h"

// The map chip tools on cells: the left button puts the chip picked in the
// texture window on the brush's cells (or, with "塗りつぶし", on the region
// of like cells around the one clicked), the right button turns the brush's
// chips a quarter clockwise, each cell once an action.
class COxelChipTool : public COxelCellTool {
public:
    explicit COxelChipTool(COxelD3DTerrainEditor& editor);

    void Begin(MapPoint start, bool right) override;

protected:
    void Fill(GridPoint start) override;
    void Paint(const std::vector<GridPoint>& cells) override;

private:
    // By cell: turned already in this action, so that overlapping brushes
    // turn no cell twice.
    std::vector<char> m_turned;
};
