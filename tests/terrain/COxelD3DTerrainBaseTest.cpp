#include "terrain/COxelD3DTerrainBase.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/ResourceBitmap.h"
#include "support/StartView.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "terrain/QuadGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

const D3DCOLOR kClear = 0xFFFF00FF;
const float kGround = 2.0f;

// Where the ray through the centre of pixel (x, y) meets the flat ground.
bool GroundPoint(float x, float y, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                 const D3DXMATRIX& view, D3DXVECTOR3& hit)
{
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 nearPoint;
    D3DXVECTOR3 farPoint;
    const D3DXVECTOR3 onNear(x, y, 0.0f);
    const D3DXVECTOR3 onFar(x, y, 1.0f);
    D3DXVec3Unproject(&nearPoint, &onNear, &viewport, &projection, &view, &world);
    D3DXVec3Unproject(&farPoint, &onFar, &viewport, &projection, &view, &world);
    if (nearPoint.y <= kGround || farPoint.y >= kGround) {
        return false;
    }
    const float t = (nearPoint.y - kGround) / (nearPoint.y - farPoint.y);
    hit = nearPoint + (farPoint - nearPoint) * t;
    return true;
}

}  // namespace

TEST(COxelD3DTerrainBase, MakesTheStartMapOf32By32WithTheBuiltInAtlas)
{
    TestDevice device;
    COxelD3DTerrainBase terrain;
    ASSERT_NE(nullptr, terrain.m_pChipManager);
    EXPECT_EQ(32, terrain.m_pChipManager->m_mapWidth);
    EXPECT_EQ(32, terrain.m_pChipManager->m_mapHeight);
    EXPECT_NE(nullptr, terrain.m_pChipManager->m_pRoot);
    EXPECT_STREQ("IDB_MAPCHIP", terrain.m_pChipManager->m_chipImage.fileName);
}

// Every pixel that shows the ground shows the atlas texel of the tile, turn and
// spot of the cell beneath it; the rest of the picture stays clear.
TEST(COxelD3DTerrainBase, StartViewShowsTheAtlasTilesOfTheCells)
{
    TestDevice device(1024, 1024);
    const ResourceBitmap atlas("IDB_MAPCHIP");
    ASSERT_TRUE(atlas.ok());
    COxelD3DTerrainBase terrain;
    COxelD3DTerrainChipManager& chips = *terrain.m_pChipManager;
    for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < 32; ++c) {
            chips.SetMapChip(c, r, (c + 3 * r) % 32);
            chips.SetMapChipRotation(c, r, (7 * c + r) % 4);
        }
    }
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_device->SetTransform(D3DTS_WORLD, &identity);
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->BeginScene();
    device.Clear(kClear);
    terrain.Render();
    g_device->EndScene();
    const std::vector<uint32_t> pixels = device.ReadPixels();
    ASSERT_FALSE(pixels.empty());

    D3DVIEWPORT9 viewport;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    g_device->GetViewport(&viewport);
    g_device->GetTransform(D3DTS_VIEW, &view);
    g_device->GetTransform(D3DTS_PROJECTION, &projection);
    int checked = 0;
    int wrong = 0;
    std::set<int> chipsSeen;
    for (UINT y = 0; y < device.height(); y += 5) {
        for (UINT x = 0; x < device.width(); x += 5) {
            const uint32_t pixel = pixels[static_cast<size_t>(y) * device.width() + x];
            D3DXVECTOR3 ground;
            const bool hits = GroundPoint(static_cast<float>(x), static_cast<float>(y), viewport, projection, view,
                                          ground);
            if (!hits || ground.x < 0 || ground.x > 32 || ground.z < 0 || ground.z > 32) {
                EXPECT_EQ(kClear, pixel) << "off the map at " << x << ", " << y;
                continue;
            }
            const int c = static_cast<int>(ground.x);
            const int r = static_cast<int>(ground.z);
            const float s = ground.x - c;
            const float t = ground.z - r;
            if (s < 0.02f || s > 0.98f || t < 0.02f || t > 0.98f) {
                continue;  // too near a cell edge to tell the tiles apart
            }
            const ChipTexRect rect = MapChipTexRect(chips.GetMapChip(c, r), 8, 1024, 512);
            QuadTexCoord corner[4];
            QuadTexCoords(static_cast<float>(rect.uRight), static_cast<float>(rect.vTop),
                          static_cast<float>(rect.uLeft), static_cast<float>(rect.vBottom),
                          chips.GetMapChipRotation(c, r), corner);
            // Vertex 0 at (c, r), vertex 2 one step along x, vertex 1 one step along z.
            const float u = corner[0].u + s * (corner[2].u - corner[0].u) + t * (corner[1].u - corner[0].u);
            const float v = corner[0].v + s * (corner[2].v - corner[0].v) + t * (corner[1].v - corner[0].v);
            ++checked;
            chipsSeen.insert(chips.GetMapChip(c, r));
            if (!atlas.HasNear(static_cast<int>(u * atlas.width()), static_cast<int>(v * atlas.height()), 2,
                               pixel & 0xFFFFFF, 0)) {
                ++wrong;
                ADD_FAILURE() << "pixel " << x << ", " << y << " over cell " << c << ", " << r << " shows "
                              << std::hex << pixel;
                if (wrong > 10) {
                    return;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000);
    EXPECT_GE(chipsSeen.size(), 16u);
}
