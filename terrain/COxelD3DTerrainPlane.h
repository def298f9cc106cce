#pragma once

#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <windows.h>

#include <d3d9.h>

class COxelD3DTerrainChipBase;

// A horizontal textured rectangle at a height of its own, from the world origin
// along +x and +z, drawn alpha-blended over the terrain. The scene owns planes;
// the billboards derive from it.
class COxelD3DTerrainPlane : public COxelD3DTerrainChipTextureManagerBase {
public:
    // Starts with "planetexture.dds"; the creator calls Setup at once.
    explicit COxelD3DTerrainPlane(int id);
    ~COxelD3DTerrainPlane() override;

    void SetTexture() override;
    // Does not release the texture it replaces: callers ReleaseTexture first.
    // An image that cannot be loaded leaves the plane untextured (E_FAIL).
    int LoadTexture(const char* path) override;
    void ReleaseTexture() override;
    // Moves the plane to height y and rewrites its quad.
    virtual void SetHeight(float y);
    virtual void Render();

    int Setup(int width, int depth, float y, int repeat);
    // The quad's buffer around a reset of the device.
    void OnLostDevice();
    int OnResetDevice();
    // repeat != 0 tiles the image across the quad; the quad is rewritten at once.
    void SetRepeat(int repeat);

    int m_id;
    // Owned; null only when it could not be allocated, and then nothing is drawn.
    COxelD3DTerrainChipBase* m_pTerrainChip;
    IDirect3DTexture9* m_pTexture;
    int m_visible;
    float m_y;
    int m_width;
    int m_depth;
    int m_repeat;

protected:
    // The far corner of the texture rectangle that starts at (0, 0).
    void RepeatCounts(float* uB, float* vB) const;

private:
    COxelD3DTerrainPlane(const COxelD3DTerrainPlane&) = delete;
    COxelD3DTerrainPlane& operator=(const COxelD3DTerrainPlane&) = delete;
};
