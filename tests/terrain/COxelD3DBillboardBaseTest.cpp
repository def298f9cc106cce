#include "terrain/COxelD3DBillboardBase.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipBase.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const D3DCOLOR kClear = 0xFFFF00FF;

}  // namespace

TEST(COxelD3DBillboardBase, UprightUnitQuadWithTheImageTopAtTheTop)
{
    TestDevice device;
    COxelD3DBillboardBase billboard(1);
    billboard.Setup(32, 32, 1.0f, 0);
    const COxelD3DTerrainChipBase& quad = *billboard.m_pTerrainChip;
    EXPECT_EQ(D3DXVECTOR3(-0.5f, 0, 0), quad.m_vMin);
    EXPECT_EQ(D3DXVECTOR3(0.5f, 1, 0), quad.m_vMax);
    const float expected[4][2] = {{1, 0}, {0, 0}, {1, 1}, {0, 1}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(expected[k][0], quad.GetVertex(k).u) << k;
        EXPECT_EQ(expected[k][1], quad.GetVertex(k).v) << k;
    }
    EXPECT_EQ(1.0f, quad.GetVertex(0).y);  // vertex 0 is a top corner

    // The height moves where it stands, not the quad.
    billboard.SetHeight(3.0f);
    EXPECT_EQ(3.0f, billboard.m_position.y);
    EXPECT_EQ(1.0f, quad.GetVertex(0).y);
}

TEST(COxelD3DBillboardBase, DrawsItsBottomCentreAtItsPositionTurnedToTheCamera)
{
    TestDevice device;
    COxelD3DCameraBase camera;
    // Looking down at the billboard from a few cells away.
    camera.SetPosition(4.5f, 5.0f, 13.5f);
    camera.SetTarget(4.5f, 2.5f, 7.5f);
    camera.SetUp(0, 1, 0);
    camera.Apply();
    COxelD3DBillboardBase billboard(0);
    billboard.Setup(32, 32, 1.0f, 0);
    billboard.ReleaseTexture();
    billboard.m_visible = 1;
    billboard.SetPosition(4.5f, 2.0f, 7.5f);
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_device->BeginScene();
    device.Clear(kClear);
    billboard.Render();
    g_device->EndScene();

    D3DVIEWPORT9 viewport;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXMATRIX world;
    g_device->GetViewport(&viewport);
    g_device->GetTransform(D3DTS_VIEW, &view);
    g_device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixIdentity(&world);
    auto screen = [&](const D3DXVECTOR3& p) {
        D3DXVECTOR3 s;
        D3DXVec3Project(&s, &p, &viewport, &projection, &view, &world);
        return s;
    };
    // Facing the camera, the quad's edges run along the camera's right and up.
    const D3DXVECTOR3 right(camera.m_viewRotationInverse._11, camera.m_viewRotationInverse._12,
                            camera.m_viewRotationInverse._13);
    const D3DXVECTOR3 up(camera.m_viewRotationInverse._21, camera.m_viewRotationInverse._22,
                         camera.m_viewRotationInverse._23);
    const D3DXVECTOR3 centre = billboard.m_position + up * 0.5f;
    const std::vector<uint32_t> pixels = device.ReadPixels();
    ASSERT_FALSE(pixels.empty());
    auto drawn = [&](const D3DXVECTOR3& p) {
        const D3DXVECTOR3 s = screen(p);
        EXPECT_TRUE(s.x >= 0 && s.y >= 0 && s.x < device.width() && s.y < device.height()) << s.x << ", " << s.y;
        const UINT x = std::min(static_cast<UINT>(std::max(s.x, 0.0f)), device.width() - 1);
        const UINT y = std::min(static_cast<UINT>(std::max(s.y, 0.0f)), device.height() - 1);
        return pixels[static_cast<size_t>(y) * device.width() + x] != kClear;
    };
    EXPECT_TRUE(drawn(centre));
    EXPECT_TRUE(drawn(billboard.m_position + up * 0.1f));
    EXPECT_FALSE(drawn(billboard.m_position - up * 0.1f));
    EXPECT_TRUE(drawn(centre + up * 0.4f));
    EXPECT_FALSE(drawn(centre + up * 0.6f));
    EXPECT_TRUE(drawn(centre + right * 0.4f));
    EXPECT_FALSE(drawn(centre + right * 0.6f));
    EXPECT_TRUE(drawn(centre - right * 0.4f));
    EXPECT_FALSE(drawn(centre - right * 0.6f));
}
