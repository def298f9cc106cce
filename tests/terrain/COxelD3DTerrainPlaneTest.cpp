#include "terrain/COxelD3DTerrainPlane.h"

#include "app/COxelD3DApplication.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipBase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(COxelD3DTerrainPlane, NewPlaneOfTheSceneTilesItsImageOneTimeFewerThanItHasCells)
{
    TestDevice device;
    COxelD3DTerrainPlane plane(3);
    EXPECT_EQ(3, plane.m_id);
    EXPECT_EQ(0, plane.m_visible);
    EXPECT_STREQ("planetexture.dds", plane.m_textureFile);
    ASSERT_EQ(0, plane.Setup(32, 32, 2.5f, 1));
    const COxelD3DTerrainChipBase& quad = *plane.m_pTerrainChip;
    EXPECT_EQ(D3DXVECTOR3(0, 2.5f, 0), quad.m_vMin);
    EXPECT_EQ(D3DXVECTOR3(32, 2.5f, 32), quad.m_vMax);
    EXPECT_EQ(0.0f, quad.GetVertex(0).u);
    EXPECT_EQ(0.0f, quad.GetVertex(0).v);
    EXPECT_EQ(31.0f, quad.GetVertex(3).u);
    EXPECT_EQ(31.0f, quad.GetVertex(3).v);
    EXPECT_EQ(32.0f, quad.GetVertex(3).x);  // u grows with x, v with z

    plane.SetRepeat(0);
    EXPECT_EQ(1.0f, quad.GetVertex(3).u);
    EXPECT_EQ(1.0f, quad.GetVertex(3).v);
    EXPECT_EQ(2.5f, quad.GetVertex(3).y);
    EXPECT_EQ(2.5f, plane.m_y);
}

TEST(COxelD3DTerrainPlane, OverlongImagePathIsCutToItsBufferAndLeavesThePlaneUntextured)
{
    TestDevice device;
    COxelD3DTerrainPlane plane(0);
    plane.ReleaseTexture();
    const std::string path(300, 'a');
    EXPECT_EQ(E_FAIL, plane.LoadTexture(path.c_str()));
    EXPECT_EQ(259u, strlen(plane.m_textureFile));
    EXPECT_EQ(nullptr, plane.m_pTexture);
}

TEST(COxelD3DTerrainPlane, VisiblePlaneDrawsLitAndTurnsBlendingOffAgain)
{
    TestDevice device;
    COxelD3DTerrainPlane plane(0);
    plane.Setup(4, 4, 1.0f, 1);
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->BeginScene();
    plane.Render();  // invisible: nothing changes
    DWORD lighting = 0;
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(FALSE, static_cast<BOOL>(lighting));
    plane.m_visible = 1;
    plane.Render();
    g_device->EndScene();
    DWORD blending = 0;
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    g_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(TRUE, static_cast<BOOL>(lighting));
    EXPECT_EQ(FALSE, static_cast<BOOL>(blending));
}
