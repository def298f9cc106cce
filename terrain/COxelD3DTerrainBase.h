#pragma once

class COxelD3DTerrainChipManager;

// The terrain as the scene holds it: makes the chip manager with the start-up
// map and forwards the scene's per-frame render call. Owns the chip manager.
class COxelD3DTerrainBase {
public:
    COxelD3DTerrainBase();
    virtual ~COxelD3DTerrainBase();

    // Makes the 32 x 32 start-up map; 0.
    virtual int Initialize();
    virtual void Render();

    // Null only when it could not be allocated.
    COxelD3DTerrainChipManager* m_pChipManager;

private:
    COxelD3DTerrainBase(const COxelD3DTerrainBase&) = delete;
    COxelD3DTerrainBase& operator=(const COxelD3DTerrainBase&) = delete;
};
