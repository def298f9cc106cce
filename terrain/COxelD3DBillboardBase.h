#pragma once

#include "terrain/COxelD3DTerrainPlane.h"

#include <d3dx9math.h>

// An upright unit quad that always faces the camera. The chip manager owns
// billboards and draws one on every visible cell that names it.
class COxelD3DBillboardBase : public COxelD3DTerrainPlane {
public:
    explicit COxelD3DBillboardBase(int id);
    ~COxelD3DBillboardBase() override;

    // Rewrites the quad; the height only moves where the billboard stands.
    void SetHeight(float y) override;
    // Turned to the current camera, standing at m_position. Leaves its world
    // transform set; the caller sets the blending states.
    void Render() override;

    void SetPosition(float x, float y, float z);

    // The middle of the bottom edge.
    D3DXVECTOR3 m_position;
};
