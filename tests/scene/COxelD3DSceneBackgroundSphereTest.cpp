#include "scene/COxelD3DSceneBackgroundSphere.h"

#include "app/COxelD3DApplication.h"
#include "app/SafeRelease.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/ResourceBitmap.h"
#include "support/TestDevice.h"

#include <d3dx9.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

const float kPi = 3.14159265f;

D3DXVECTOR3 At(const std::vector<SceneVertex>& vertices, size_t i)
{
    return D3DXVECTOR3(vertices[i].x, vertices[i].y, vertices[i].z);
}

// Degrees between a vertex and the top pole, seen from the centre.
float DegreesFromTop(const SceneVertex& vertex)
{
    const D3DXVECTOR3 p(vertex.x, vertex.y, vertex.z);
    return std::acos(vertex.y / D3DXVec3Length(&p)) * 180.0f / kPi;
}

bool SameVertex(const SceneVertex& a, const SceneVertex& b)
{
    const float e = 1e-4f;
    return std::fabs(a.x - b.x) < e && std::fabs(a.y - b.y) < e && std::fabs(a.z - b.z) < e &&
           std::fabs(a.nx - b.nx) < e && std::fabs(a.ny - b.ny) < e && std::fabs(a.nz - b.nz) < e &&
           std::fabs(a.u - b.u) < e && std::fabs(a.v - b.v) < e;
}

// A camera at `eye` looking along `direction`, applied to the device.
void Look(COxelD3DCameraBase& camera, const D3DXVECTOR3& eye, const D3DXVECTOR3& direction)
{
    camera.SetPosition(eye.x, eye.y, eye.z);
    camera.SetTarget(eye.x + direction.x, eye.y + direction.y, eye.z + direction.z);
    camera.SetUp(0, 1, 0);
    camera.Apply();
}

void Draw(TestDevice& device, COxelD3DSceneBackgroundSphere& sphere)
{
    g_device->BeginScene();
    device.Clear(0xFF000000);
    // In a running frame the cull mode is the one the scene left, none.
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    sphere.Render();
    g_device->EndScene();
}

bool AllPixelsAre(const std::vector<uint32_t>& pixels, uint32_t color)
{
    for (uint32_t pixel : pixels) {
        if ((pixel & 0xFFFFFF) != (color & 0xFFFFFF)) {
            return false;
        }
    }
    return !pixels.empty();
}

}  // namespace

TEST(SphereVertices, SizesBelowTheMinimumAreClamped)
{
    const SphereSize small = ClampSphereSize(3, 2, 0.5f);
    EXPECT_EQ(6, small.slices);
    EXPECT_EQ(6, small.stacks);
    EXPECT_EQ(1.0f, small.radius);
    const SphereSize kept = ClampSphereSize(7, 6, 1.0f);
    EXPECT_EQ(7, kept.slices);
    EXPECT_EQ(6, kept.stacks);
    EXPECT_EQ(1.0f, kept.radius);

    const std::vector<SceneVertex> clamped = SphereVertices(small);
    const std::vector<SceneVertex> minimum = SphereVertices(ClampSphereSize(6, 6, 1.0f));
    ASSERT_EQ(42u, clamped.size());
    ASSERT_EQ(minimum.size(), clamped.size());
    for (size_t i = 0; i < clamped.size(); ++i) {
        EXPECT_TRUE(SameVertex(minimum[i], clamped[i])) << i;
    }
}

TEST(SphereVertices, TheSkyMeshHasPolesRingsEvery18DegreesAndASeam)
{
    const std::vector<SceneVertex> v = SphereVertices(ClampSphereSize(20, 10, 45.0f));
    ASSERT_EQ(210u, v.size());

    EXPECT_EQ(D3DXVECTOR3(0, 45, 0), At(v, 0));
    EXPECT_EQ(D3DXVECTOR3(0, -45, 0), At(v, 9));
    EXPECT_NEAR(18.0f, DegreesFromTop(v[1]), 1e-3f);
    EXPECT_NEAR(144.0f, DegreesFromTop(v[8]), 1e-3f);
    // The bottom pole is placed directly, a whole 36 degrees after the last ring.
    EXPECT_NEAR(180.0f, DegreesFromTop(v[9]), 1e-3f);

    // v counts in slices, not stacks: the rings above the bottom pole use only
    // the top 40 % of the image.
    const float expectedV[10] = {0.0f, 0.05f, 0.10f, 0.15f, 0.20f, 0.25f, 0.30f, 0.35f, 0.40f, 1.0f};
    for (int meridian = 0; meridian <= 20; ++meridian) {
        for (int j = 0; j < 10; ++j) {
            const SceneVertex& vertex = v[meridian * 10 + j];
            EXPECT_FLOAT_EQ(expectedV[j], vertex.v) << meridian << "," << j;
            const float expectedU = meridian == 20 ? 1.0f : meridian / 20.0f;
            EXPECT_FLOAT_EQ(expectedU, vertex.u) << meridian << "," << j;
            const D3DXVECTOR3 p = At(v, meridian * 10 + j);
            EXPECT_NEAR(45.0f, D3DXVec3Length(&p), 1e-3f);
            EXPECT_EQ(vertex.x, vertex.nx);
            EXPECT_EQ(vertex.y, vertex.ny);
            EXPECT_EQ(vertex.z, vertex.nz);
        }
    }

    // Meridian 5 is a quarter turn round from meridian 0.
    EXPECT_NEAR(0.0f, v[55].x, 1e-3f);
    EXPECT_GT(v[55].z, 40.0f);
    EXPECT_LT(v[5].x, -40.0f);

    // The seam repeats meridian 0 exactly, apart from u.
    for (int j = 0; j < 10; ++j) {
        SceneVertex seam = v[200 + j];
        EXPECT_EQ(1.0f, seam.u);
        seam.u = v[j].u;
        EXPECT_EQ(0, memcmp(&seam, &v[j], sizeof seam)) << j;
    }
}

TEST(SphereIndices, ListsEachBandsStripTriangleByTriangleInStripOrder)
{
    const std::vector<WORD> indices = SphereIndices(ClampSphereSize(20, 10, 45.0f));
    // 20 bands of 18 triangles.
    ASSERT_EQ(1080u, indices.size());
    // Band 0 runs along the pairs 0, 10, 1, 11, ...; odd triangles swap their
    // last two vertices, as a strip does.
    const WORD firstTriangles[] = {0, 10, 1, 10, 11, 1, 1, 11, 2, 11, 12, 2};
    EXPECT_TRUE(std::equal(firstTriangles, firstTriangles + 12, indices.begin()));
    // The last triangle of band 0 and the first of band 1.
    const WORD aroundBand1[] = {18, 19, 9, 10, 20, 11};
    EXPECT_TRUE(std::equal(aroundBand1, aroundBand1 + 6, indices.begin() + 51));
    // The last band closes the seam: meridian 19 with meridian 20.
    const WORD lastTriangle[] = {208, 209, 199};
    EXPECT_TRUE(std::equal(lastTriangle, lastTriangle + 3, indices.end() - 3));

    const std::vector<WORD> strip = SphereBandStrip(ClampSphereSize(20, 10, 45.0f));
    const std::vector<WORD> expectedStrip = {0, 10, 1, 11, 2, 12, 3, 13, 4, 14, 5, 15, 6, 16, 7, 17, 8, 18, 9, 19};
    EXPECT_EQ(expectedStrip, strip);
}

TEST(COxelD3DSceneBackgroundSphere, BuildFillsBuffersOfTheDocumentedSizes)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBackgroundSphere sphere;
    ASSERT_EQ(0, sphere.Build(3, 2, 0.5f));
    EXPECT_EQ(6, sphere.m_slices);
    EXPECT_EQ(6, sphere.m_stacks);
    EXPECT_EQ(1.0, sphere.m_radius);

    ASSERT_EQ(0, sphere.Build(20, 10, 45.0f));
    D3DVERTEXBUFFER_DESC vertexDesc;
    sphere.m_vertices->GetDesc(&vertexDesc);
    EXPECT_EQ(210u * 32u, vertexDesc.Size);
    EXPECT_EQ(kSceneVertexFVF, vertexDesc.FVF);
    EXPECT_EQ(D3DPOOL_DEFAULT, vertexDesc.Pool);
    D3DINDEXBUFFER_DESC indexDesc;
    sphere.m_indices->GetDesc(&indexDesc);
    EXPECT_EQ((1080u + 20u) * 2u, indexDesc.Size);
    EXPECT_EQ(D3DFMT_INDEX16, indexDesc.Format);
    EXPECT_EQ(D3DPOOL_MANAGED, indexDesc.Pool);

    const std::vector<SceneVertex> expected = SphereVertices(ClampSphereSize(20, 10, 45.0f));
    void* data = nullptr;
    ASSERT_EQ(D3D_OK, sphere.m_vertices->Lock(0, 0, &data, D3DLOCK_READONLY));
    EXPECT_EQ(0, memcmp(data, expected.data(), expected.size() * sizeof(SceneVertex)));
    sphere.m_vertices->Unlock();
    std::vector<WORD> indices = SphereIndices(ClampSphereSize(20, 10, 45.0f));
    const std::vector<WORD> strip = SphereBandStrip(ClampSphereSize(20, 10, 45.0f));
    indices.insert(indices.end(), strip.begin(), strip.end());
    ASSERT_EQ(D3D_OK, sphere.m_indices->Lock(0, 0, &data, D3DLOCK_READONLY));
    EXPECT_EQ(0, memcmp(data, indices.data(), indices.size() * sizeof(WORD)));
    sphere.m_indices->Unlock();
}

TEST(COxelD3DSceneBackgroundSphere, RefusesAMeshTooLargeFor16BitIndices)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBackgroundSphere sphere;
    EXPECT_EQ(0, sphere.Build(255, 256, 45.0f));  // exactly 65536 vertices
    EXPECT_EQ(E_FAIL, sphere.Build(256, 256, 45.0f));
    EXPECT_EQ(nullptr, sphere.m_vertices);
    EXPECT_EQ(E_FAIL, sphere.Build(0x7FFFFFFF, 0x7FFFFFFF, 45.0f));
}

TEST(COxelD3DSceneBackgroundSphere, DrawsThePanoramaAllAroundTheEyeWithoutDepthWritesLightOrFog)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    const ResourceBitmap panorama("IDB_BACKGROUND");
    ASSERT_TRUE(panorama.ok());
    COxelD3DSceneBackgroundSphere sphere;
    ASSERT_NE(nullptr, sphere.m_texture);
    ASSERT_EQ(0, sphere.Build(20, 10, 45.0f));
    COxelD3DCameraBase camera;

    // Halfway between meridians 5 and 6 (90 and 108 degrees round) and between
    // rings 4 and 5 (9 degrees above the horizon), seen from a far-off eye.
    const D3DXVECTOR3 eye(100, 7, -60);
    const float around = 99.0f * kPi / 180.0f;
    const float fromTop = 81.0f * kPi / 180.0f;
    const D3DXVECTOR3 direction(-std::cos(around) * std::sin(fromTop), std::cos(fromTop),
                                std::sin(around) * std::sin(fromTop));
    Look(camera, eye, direction);
    sphere.SetPosition(eye.x, eye.y, eye.z);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    Draw(device, sphere);

    DWORD state = 1;
    g_device->GetRenderState(D3DRS_LIGHTING, &state);
    EXPECT_EQ(FALSE, state);
    g_device->GetRenderState(D3DRS_FOGENABLE, &state);
    EXPECT_EQ(FALSE, state);
    g_device->GetRenderState(D3DRS_ZWRITEENABLE, &state);
    EXPECT_EQ(FALSE, state);

    const std::vector<uint32_t> pixels = device.ReadPixels();
    ASSERT_FALSE(pixels.empty());
    // Inside the far distance everywhere: no pixel keeps the clear colour.
    for (uint32_t pixel : pixels) {
        ASSERT_NE(0u, pixel & 0xFFFFFF);
    }
    // u = 0.275 and v = 0.225, give or take the flat facets.
    const uint32_t centre = pixels[128 * 256 + 128] & 0xFFFFFF;
    const int x = static_cast<int>(0.275f * panorama.width());
    const int y = static_cast<int>(0.225f * panorama.height());
    EXPECT_TRUE(panorama.HasNear(x, y, panorama.width() / 100, centre, 6)) << std::hex << centre;
}

TEST(COxelD3DSceneBackgroundSphere, ReleasedTextureDrawsUntexturedAndAnotherImageCanBeLoaded)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBackgroundSphere sphere;
    ASSERT_EQ(0, sphere.Build(20, 10, 45.0f));
    COxelD3DCameraBase camera;
    Look(camera, D3DXVECTOR3(0, 2, 0), D3DXVECTOR3(0.3f, 0.1f, 1));

    sphere.ReleaseTexture();
    EXPECT_EQ(nullptr, sphere.m_texture);
    sphere.ReleaseTexture();
    Draw(device, sphere);
    EXPECT_TRUE(AllPixelsAre(device.ReadPixels(), 0xFFFFFF));

    // A one-colour image from a file.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "quelmora-sky-test.bmp";
    IDirect3DSurface9* image = nullptr;
    ASSERT_EQ(D3D_OK, g_device->CreateOffscreenPlainSurface(64, 32, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &image,
                                                            nullptr));
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, image->LockRect(&locked, nullptr, 0));
    for (int row = 0; row < 32; ++row) {
        uint32_t* line = reinterpret_cast<uint32_t*>(static_cast<char*>(locked.pBits) + row * locked.Pitch);
        for (int column = 0; column < 64; ++column) {
            line[column] = 0xFF3366CC;
        }
    }
    image->UnlockRect();
    ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, image, nullptr, nullptr));
    SafeRelease(image);

    EXPECT_EQ(D3D_OK, sphere.LoadTexture(path.c_str()));
    ASSERT_NE(nullptr, sphere.m_texture);
    Draw(device, sphere);
    EXPECT_TRUE(AllPixelsAre(device.ReadPixels(), 0x3366CC));
    DeleteFileA(path.c_str());

    sphere.ReleaseTexture();
    EXPECT_LT(sphere.LoadTexture("no-such-sky.bmp"), 0);
    EXPECT_EQ(nullptr, sphere.m_texture);
}

TEST(COxelD3DSceneBackgroundSphere, DestroyingTheSkyClearsTheGlobal)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    g_backgroundSphere = new COxelD3DSceneBackgroundSphere();
    delete g_backgroundSphere;
    EXPECT_EQ(nullptr, g_backgroundSphere);
}
