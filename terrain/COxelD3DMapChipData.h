#pragma once

#include <windows.h>

class COxelD3DTerrainChipBase;
class COxelD3DTerrainChipBatch;
class COxelD3DTerrainChipTextureManagerBase;

// One cell of the map grid: its four corner heights, the atlas tile that covers
// it with its quarter turns, the billboard standing on it, and the quad that
// draws it (owned).
class COxelD3DMapChipData {
public:
    COxelD3DMapChipData();
    virtual ~COxelD3DMapChipData();

    // Makes the cell's quad as slot `slot` of the map's batch, drawing with
    // `textureOwner`'s texture; the quad's result, or E_FAIL when it cannot be
    // allocated.
    virtual int Create(COxelD3DTerrainChipTextureManagerBase* textureOwner, COxelD3DTerrainChipBatch* batch, int slot);

    COxelD3DTerrainChipBase* m_pTerrainChip;
    // Corner 0 at vertex (c, r), 1 at (c, r + 1), 2 at (c + 1, r), 3 at (c + 1, r + 1).
    double m_height[4];
    int m_chipIndex;
    int m_rotation;
    // Id of the billboard on this cell; -1 for none.
    int m_billboard;

private:
    COxelD3DMapChipData(const COxelD3DMapChipData&) = delete;
    COxelD3DMapChipData& operator=(const COxelD3DMapChipData&) = delete;
};
