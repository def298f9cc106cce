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
    // One map copy: its ground, then its billboards.
    virtual void Render();
    // The same in two halves, for a frame that draws something between the
    // ground of every copy and the billboards (see the chip manager).
    virtual void RenderGround();
    virtual void RenderBillboards();

    // Null only when it could not be allocated.
    COxelD3DTerrainChipManager* m_pChipManager;

private:
    COxelD3DTerrainBase(const COxelD3DTerrainBase&) = delete;
    COxelD3DTerrainBase& operator=(const COxelD3DTerrainBase&) = delete;
};
