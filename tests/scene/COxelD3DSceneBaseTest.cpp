#include "scene/COxelD3DSceneBase.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "app/SafeRelease.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/ResourceBitmap.h"
#include "scene/SceneTestSupport.h"
#include "support/NothrowAllocations.h"
#include "support/ScratchFolder.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <d3dx9.h>
#include <gtest/gtest.h>
#include <mmsystem.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

const UINT kSize = 256;

// Where each terrain or plane render call found the world translation.
struct DrawCall {
    int id;  // -1 for the terrain
    float x;
    float z;
    bool operator==(const DrawCall& other) const { return id == other.id && x == other.x && z == other.z; }
};

std::vector<DrawCall>* g_drawLog = nullptr;
// The cull mode each of those calls found, with the id.
std::vector<std::pair<int, DWORD>>* g_cullLog = nullptr;

void LogDraw(int id)
{
    D3DXMATRIX world;
    g_device->GetTransform(D3DTS_WORLD, &world);
    if (g_drawLog) {
        g_drawLog->push_back(DrawCall{id, world._41, world._43});
    }
    DWORD cullMode = 0;
    g_device->GetRenderState(D3DRS_CULLMODE, &cullMode);
    if (g_cullLog) {
        g_cullLog->emplace_back(id, cullMode);
    }
}

DWORD Bits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool SameColor(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

class RecordingTerrain : public COxelD3DTerrainBase {
public:
    void RenderGround() override
    {
        LogDraw(-1);
        COxelD3DTerrainBase::RenderGround();
    }
};

class RecordingPlane : public COxelD3DTerrainPlane {
public:
    explicit RecordingPlane(int id) : COxelD3DTerrainPlane(id) {}
    void Render() override
    {
        LogDraw(m_id);
        COxelD3DTerrainPlane::Render();
    }
};

// The scene with its light and fog switched off, so the ground shows the
// atlas's own colours.
class UnlitScene : public COxelD3DSceneBase {
public:
    void SetupLights() override { g_device->SetRenderState(D3DRS_LIGHTING, FALSE); }
    void SetupFog() override { g_device->SetRenderState(D3DRS_FOGENABLE, FALSE); }
};

void ReplaceTerrain(COxelD3DSceneBase& scene)
{
    delete scene.m_terrain;
    scene.m_terrain = new RecordingTerrain();
}

void AddRecordingPlane(COxelD3DSceneBase& scene, float y)
{
    RecordingPlane* plane = new RecordingPlane(static_cast<int>(scene.m_planes.size()));
    scene.m_planes.push_back(plane);
    plane->Setup(32, 32, y, 1);
}

void Checkerboard(COxelD3DTerrainChipManager& map)
{
    for (int row = 0; row < map.m_mapHeight; ++row) {
        for (int column = 0; column < map.m_mapWidth; ++column) {
            map.SetMapChip(column, row, (column + row) % 2);
        }
    }
}

size_t CountDifferent(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    }
    return count;
}

size_t CountColor(const std::vector<uint32_t>& pixels, uint32_t color)
{
    size_t count = 0;
    for (uint32_t pixel : pixels) {
        count += (pixel & 0xFFFFFF) == color;
    }
    return count;
}

uint32_t At(const std::vector<uint32_t>& pixels, UINT x, UINT y)
{
    return pixels[static_cast<size_t>(y) * kSize + x] & 0xFFFFFF;
}

// The screen row of a world point in the last applied view, in the test target.
float ScreenRow(const D3DXVECTOR3& point)
{
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXMATRIX world;
    g_device->GetTransform(D3DTS_VIEW, &view);
    g_device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixIdentity(&world);
    const D3DVIEWPORT9 viewport = {0, 0, kSize, kSize, 0.0f, 1.0f};
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, &point, &viewport, &projection, &view, &world);
    return screen.y;
}

// A 16 x 16 A8R8G8B8 DDS file of one colour.
void WriteOneColorDds(const char* path, D3DCOLOR color)
{
    DWORD header[32] = {};
    header[0] = 0x20534444;  // "DDS "
    header[1] = 124;
    header[2] = 0x1 | 0x2 | 0x4 | 0x1000 | 0x8;  // caps, height, width, pixel format, pitch
    header[3] = 16;
    header[4] = 16;
    header[5] = 16 * 4;
    header[19] = 32;
    header[20] = 0x41;  // RGB with alpha
    header[22] = 32;
    header[23] = 0x00FF0000;
    header[24] = 0x0000FF00;
    header[25] = 0x000000FF;
    header[26] = 0xFF000000;
    header[27] = 0x1000;  // texture
    std::vector<D3DCOLOR> pixels(16 * 16, color);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, header, sizeof header, &written, nullptr);
    WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size() * sizeof(D3DCOLOR)), &written, nullptr);
    CloseHandle(file);
}

// A current directory of its own, holding an "effect.dds" of one translucent
// colour, or no such file when the colour is 0. Named after the test, so tests
// running side by side never share it.
class FolderWithEffectImage {
public:
    explicit FolderWithEffectImage(D3DCOLOR color) : m_folder(TestFolderName())
    {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        SetCurrentDirectoryA(m_folder.path().c_str());
        if (color) {
            WriteOneColorDds("effect.dds", color);
        }
    }

    // Out of the folder before it goes.
    ~FolderWithEffectImage() { SetCurrentDirectoryA(m_previous); }

private:
    static std::string TestFolderName()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string("quelmora-") + test->test_suite_name() + "-" + test->name();
    }

    char m_previous[MAX_PATH];
    ScratchFolder m_folder;
};

// A map of random heights, chips and turns, with billboards on a few cells.
void Scramble(COxelD3DTerrainChipManager& map, unsigned seed)
{
    std::mt19937 random(seed);
    for (int row = 0; row < map.m_mapHeight; ++row) {
        for (int column = 0; column < map.m_mapWidth; ++column) {
            map.SetHeight(column, row, random() % 64 / 8.0);
        }
    }
    map.AddBillboard();
    for (int cell = 0; cell < map.m_mapWidth * map.m_mapHeight; ++cell) {
        map.SetMapChip(cell, random() % 32);
        map.SetMapChipRotation(cell, random() % 4);
        map.m_cells[cell].m_billboard = random() % 16 == 0 ? 0 : -1;
    }
}

void LookFrom(COxelD3DCameraBase& camera, const D3DXVECTOR3& eye, const D3DXVECTOR3& target, const D3DXVECTOR3& up)
{
    camera.SetPosition(eye.x, eye.y, eye.z);
    camera.SetTarget(target.x, target.y, target.z);
    camera.SetUp(up.x, up.y, up.z);
}

// The scene drawn as the map was first drawn: the sky before the ground, and
// every cell and every sky band with a call of its own.
std::vector<uint32_t> DrawPieceByPiece(TestDevice& device, COxelD3DSceneBase& scene, DWORD fillMode = D3DFILL_SOLID)
{
    scene.m_terrain->m_pChipManager->m_drawEachCell = 1;
    g_backgroundSphere->m_drawEachBand = 1;
    scene.m_skyFirst = 1;
    const std::vector<uint32_t> picture = DrawSceneFrame(device, scene, fillMode);
    scene.m_terrain->m_pChipManager->m_drawEachCell = 0;
    g_backgroundSphere->m_drawEachBand = 0;
    scene.m_skyFirst = 0;
    return picture;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_device.ok());
        ASSERT_EQ(0, m_scene.Create());
    }

    TestDevice m_device{kSize, kSize};
    COxelD3DSceneBase m_scene;
};

}  // namespace

TEST(TileIndex, CountsTilesOutwardFromTheOrigin)
{
    struct Row {
        float v;
        int period;
        int tile;
    };
    const Row rows[] = {
        {0.0f, 32, 0},   {31.99f, 32, 0}, {32.0f, 32, 1},  {40.0f, 32, 1},   {-0.5f, 32, -1},
        {-31.9f, 32, -1}, {-32.0f, 32, -2}, {-32.5f, 32, -2}, {-4.7f, 32, -1},  {36.7f, 32, 1},
        {-38.0f, 32, -2}, {15.3f, 32, 0},  {-64.0f, 32, -3}, {17.0f, 16, 1},   {-0.01f, 64, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.tile, TileIndex(row.v, row.period)) << row.v << " / " << row.period;
    }
}

TEST(VisibleTiles, CoverTheFrustumBox)
{
    const TileRange wide = VisibleTiles(-0.5f, 40.0f, 0.0f, 10.0f, 32, 32);
    EXPECT_EQ(-1, wide.x0);
    EXPECT_EQ(1, wide.x1);
    EXPECT_EQ(0, wide.z0);
    EXPECT_EQ(0, wide.z1);
    // The start view over a 32 x 32 map: three by three tiles.
    const TileRange start = VisibleTiles(-4.7f, 36.7f, -38.0f, 15.3f, 32, 32);
    EXPECT_EQ(-1, start.x0);
    EXPECT_EQ(1, start.x1);
    EXPECT_EQ(-2, start.z0);
    EXPECT_EQ(0, start.z1);
    // Width and height are separate periods.
    const TileRange oblong = VisibleTiles(-4.7f, 36.7f, -38.0f, 15.3f, 64, 16);
    EXPECT_EQ(-1, oblong.x0);
    EXPECT_EQ(0, oblong.x1);
    EXPECT_EQ(-3, oblong.z0);
    EXPECT_EQ(0, oblong.z1);
}

TEST(DrawnBefore, PutsThePlaneFarthestFromTheEyesHeightFirst)
{
    EXPECT_TRUE(DrawnBefore(2.5f, 6.0f, 5.0f));
    EXPECT_FALSE(DrawnBefore(6.0f, 2.5f, 5.0f));
    EXPECT_TRUE(DrawnBefore(6.0f, 2.5f, 1.0f));
    EXPECT_TRUE(DrawnBefore(-3.0f, 10.0f, 4.0f));
    EXPECT_FALSE(DrawnBefore(-3.0f, 12.0f, 4.0f));
    // Equal distances: neither goes first.
    EXPECT_FALSE(DrawnBefore(3.0f, 7.0f, 5.0f));
    EXPECT_FALSE(DrawnBefore(7.0f, 3.0f, 5.0f));
}

TEST_F(SceneTest, CreateMakesTheStartViewTheMapTheSkyAndTheWallBox)
{
    const COxelD3DCameraBase& camera = *m_scene.m_camera;
    EXPECT_EQ(D3DXVECTOR3(16, 16, 16), camera.m_position);
    EXPECT_EQ(D3DXVECTOR3(16, 8, 0), camera.m_target);
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), camera.m_up);
    EXPECT_EQ(m_scene.m_camera, g_camera);

    ASSERT_NE(nullptr, m_scene.m_terrain);
    EXPECT_EQ(32, m_scene.m_terrain->m_pChipManager->m_mapWidth);
    EXPECT_EQ(32, m_scene.m_terrain->m_pChipManager->m_mapHeight);

    ASSERT_NE(nullptr, g_backgroundSphere);
    EXPECT_EQ(20, g_backgroundSphere->m_slices);
    EXPECT_EQ(10, g_backgroundSphere->m_stacks);
    EXPECT_EQ(45.0, g_backgroundSphere->m_radius);

    D3DVERTEXBUFFER_DESC vertices;
    m_scene.m_boxVertices->GetDesc(&vertices);
    EXPECT_EQ(256u, vertices.Size);
    D3DINDEXBUFFER_DESC indices;
    m_scene.m_boxIndices->GetDesc(&indices);
    EXPECT_EQ(20u, indices.Size);
    EXPECT_EQ(0, m_scene.m_autoRotate);
    EXPECT_EQ(1, m_scene.m_showInfinite);
    EXPECT_EQ(1, m_scene.m_showBackground);
    EXPECT_EQ(0, m_scene.m_showMapBorder);
    EXPECT_EQ(0, m_scene.m_showCursor);
}

TEST(COxelD3DSceneBase, AMissingEffectImageLeavesTheWallsUntexturedWithoutFailing)
{
    TestDevice device(kSize, kSize);
    ASSERT_TRUE(device.ok());
    FolderWithEffectImage folder(0);
    COxelD3DSceneBase scene;
    ASSERT_EQ(0, scene.Create());
    EXPECT_EQ(nullptr, scene.m_effectTexture);
    scene.m_showMapBorder = 1;
    const std::vector<uint32_t> picture = DrawSceneFrame(device, scene);
    // Untextured walls are opaque white under the fog.
    const float bottom = ScreenRow(D3DXVECTOR3(16, 0, 0));
    const float top = ScreenRow(D3DXVECTOR3(16, 8, 0));
    EXPECT_EQ(0xFFFFFFu, At(picture, kSize / 2, static_cast<UINT>((top + bottom) / 2)));
}

TEST(COxelD3DSceneBase, DestroyingTheSceneReleasesEverythingItMade)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    FolderWithEffectImage folder(0x80FF0000);
    COxelD3DSceneBase* scene = new COxelD3DSceneBase();
    ASSERT_EQ(0, scene->Create());
    ASSERT_NE(nullptr, scene->m_effectTexture);
    IDirect3DVertexBuffer9* vertices = scene->m_boxVertices;
    IDirect3DIndexBuffer9* indices = scene->m_boxIndices;
    IDirect3DTexture9* texture = scene->m_effectTexture;
    vertices->AddRef();
    indices->AddRef();
    texture->AddRef();
    delete scene;
    // Only the references taken here remain.
    EXPECT_EQ(0u, vertices->Release());
    EXPECT_EQ(0u, indices->Release());
    EXPECT_EQ(0u, texture->Release());
    EXPECT_EQ(nullptr, g_backgroundSphere);
    EXPECT_EQ(nullptr, g_camera);
}

TEST(COxelD3DSceneBase, DestroyingASceneLeavesAnotherScenesSky)
{
    TestDevice device(kSize, kSize);
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBase* first = new COxelD3DSceneBase();
    ASSERT_EQ(0, first->Create());
    COxelD3DSceneBase second;
    ASSERT_EQ(0, second.Create());
    COxelD3DSceneBackgroundSphere* secondSky = g_backgroundSphere;
    delete first;
    EXPECT_EQ(secondSky, g_backgroundSphere);
    second.OnKeyDown(VK_PRIOR);
    EXPECT_EQ(16.5f, g_backgroundSphere->m_position[1]);
}

TEST(COxelD3DSceneBase, CreateCopesWhereverMemoryRunsOut)
{
    TestDevice device(kSize, kSize);
    ASSERT_TRUE(device.ok());
    // The editor that the terrain makes reads the settings file once per
    // process: read before counting, every Create allocates the same.
    COxelSettingsFile::GetInstance();
    int total = 0;
    {
        NothrowAllocations counting;
        COxelD3DSceneBase scene;
        ASSERT_EQ(0, scene.Create());
        total = counting.count();
    }
    // The camera first and the sky last: without either there is no scene. In
    // between, a map whose cells or quad tree could not all be made is not drawn.
    for (int failing : {0, 1, 2, 3, total / 2, total - 1}) {
        COxelD3DSceneBase* scene = new COxelD3DSceneBase();
        HRESULT result = 0;
        {
            NothrowAllocations allocations(failing);
            result = scene->Create();
            EXPECT_TRUE(allocations.failed()) << failing;
        }
        EXPECT_TRUE(result == 0 || result == E_FAIL) << failing;
        if (failing == 0 || failing == total - 1) {
            EXPECT_EQ(E_FAIL, result) << failing;
        }
        if (result == 0) {
            DrawSceneFrame(device, *scene);
        }
        delete scene;
    }
}

TEST_F(SceneTest, APlaneThatCannotBeMadeIsNotAdded)
{
    for (int failing : {0, 1}) {
        NothrowAllocations allocations(failing);
        m_scene.AddPlane();
        EXPECT_TRUE(allocations.failed());
    }
    EXPECT_TRUE(m_scene.m_planes.empty());
    m_scene.AddPlane();
    ASSERT_EQ(1u, m_scene.m_planes.size());
    EXPECT_EQ(0, m_scene.m_planes[0]->m_id);
}

TEST_F(SceneTest, TheKeysMoveAndTurnTheCamera)
{
    struct Row {
        WPARAM key;
        D3DXVECTOR3 move;
        float pitch;
        float yaw;
    };
    const Row rows[] = {
        {VK_PRIOR, {0, 0.5f, 0}, 0, 0},     {VK_NEXT, {0, -0.5f, 0}, 0, 0},      {VK_LEFT, {0.5f, 0, 0}, 0, 0},
        {VK_UP, {0, 0, -0.5f}, 0, 0},       {VK_RIGHT, {-0.5f, 0, 0}, 0, 0},     {VK_DOWN, {0, 0, 0.5f}, 0, 0},
        {VK_NUMPAD2, {0, 0, 0}, -0.01f, 0}, {VK_NUMPAD8, {0, 0, 0}, 0.01f, 0},   {VK_NUMPAD4, {0, 0, 0}, 0, 0.01f},
        {VK_NUMPAD6, {0, 0, 0}, 0, -0.01f}, {0x100 | VK_LEFT, {0.5f, 0, 0}, 0, 0},  // only the low byte counts
        {'A', {0, 0, 0}, 0, 0},             {VK_HOME, {0, 0, 0}, 0, 0},         {VK_RETURN, {0, 0, 0}, 0, 0},
    };
    COxelD3DCameraBase& camera = *m_scene.m_camera;
    for (const Row& row : rows) {
        m_scene.OnKeyDown(VK_DELETE);
        m_scene.OnKeyDown(row.key);
        EXPECT_EQ(D3DXVECTOR3(16, 16, 16) + row.move, camera.m_position) << row.key;
        EXPECT_EQ(D3DXVECTOR3(16, 8, 0) + row.move, camera.m_target) << row.key;
        EXPECT_FLOAT_EQ(row.pitch, camera.m_pitch) << row.key;
        EXPECT_FLOAT_EQ(row.yaw, camera.m_yaw) << row.key;
        EXPECT_EQ(0.0f, camera.m_roll);
        EXPECT_EQ(0, m_scene.m_autoRotate);
        // The sky follows the eye after every key.
        EXPECT_EQ(camera.m_position.x, g_backgroundSphere->m_position[0]) << row.key;
        EXPECT_EQ(camera.m_position.y, g_backgroundSphere->m_position[1]) << row.key;
        EXPECT_EQ(camera.m_position.z, g_backgroundSphere->m_position[2]) << row.key;
    }

    // Without the background the sky is left where it was.
    m_scene.m_showBackground = 0;
    m_scene.OnKeyDown(VK_PRIOR);
    EXPECT_EQ(16.0f, g_backgroundSphere->m_position[1]);
}

TEST_F(SceneTest, DeleteRestoresTheStartViewHoweverFarTheCameraWent)
{
    SceneInApplication application(&m_scene);
    COxelD3DCameraBase& camera = *m_scene.m_camera;
    for (int i = 0; i < 100; ++i) {
        m_scene.OnKeyDown(VK_LEFT);
        m_scene.OnKeyDown(VK_PRIOR);
        m_scene.OnKeyDown(VK_NUMPAD4);
        m_scene.OnKeyDown(VK_NUMPAD8);
    }
    camera.SetRoll(0.3f, 0);
    m_scene.OnKeyDown(VK_DELETE);
    EXPECT_EQ(D3DXVECTOR3(16, 16, 16), camera.m_position);
    EXPECT_EQ(D3DXVECTOR3(16, 8, 0), camera.m_target);
    EXPECT_EQ(D3DXVECTOR3(0, 1, 0), camera.m_up);
    EXPECT_EQ(0.0f, camera.m_pitch);
    EXPECT_EQ(0.0f, camera.m_yaw);
    EXPECT_EQ(0.0f, camera.m_roll);
}

TEST_F(SceneTest, SpaceTogglesAutoRotationWhichSetsTheYawFromTheClock)
{
    m_scene.OnKeyDown(VK_SPACE);
    EXPECT_EQ(1, m_scene.m_autoRotate);
    const DWORD before = timeGetTime();
    DrawSceneFrame(m_device, m_scene);
    const DWORD after = timeGetTime();
    const float yaw = m_scene.m_camera->m_yaw;
    // A float of the clock's radians loses precision as the clock grows.
    const float slack = 0.001f + yaw * 1e-6f;
    EXPECT_GE(yaw, static_cast<float>(before / 3000.0) - slack);
    EXPECT_LE(yaw, static_cast<float>(after / 3000.0) + slack);

    m_scene.OnKeyDown(VK_SPACE);
    EXPECT_EQ(0, m_scene.m_autoRotate);
    Sleep(20);
    DrawSceneFrame(m_device, m_scene);
    // Manual again, keeping the yaw the rotation left.
    EXPECT_EQ(yaw, m_scene.m_camera->m_yaw);
    m_scene.OnKeyDown(VK_NUMPAD4);
    EXPECT_FLOAT_EQ(yaw + 0.01f, m_scene.m_camera->m_yaw);
}

TEST_F(SceneTest, PlanesAreNumberedInOrderAndRenumberedAfterADelete)
{
    m_scene.AddPlane();
    m_scene.AddPlane();
    m_scene.AddPlane();
    ASSERT_EQ(3u, m_scene.m_planes.size());
    for (int id = 0; id < 3; ++id) {
        COxelD3DTerrainPlane* plane = m_scene.FindPlane(id);
        ASSERT_NE(nullptr, plane);
        EXPECT_EQ(id, plane->m_id);
        EXPECT_EQ(2.5f, plane->m_y);
        EXPECT_EQ(32, plane->m_width);
        EXPECT_EQ(32, plane->m_depth);
        EXPECT_EQ(1, plane->m_repeat);
    }
    EXPECT_EQ(nullptr, m_scene.FindPlane(3));
    EXPECT_EQ(nullptr, m_scene.FindPlane(-1));

    // Drawing reorders the list; deleting goes by id all the same.
    COxelD3DTerrainPlane* first = m_scene.FindPlane(0);
    COxelD3DTerrainPlane* last = m_scene.FindPlane(2);
    m_scene.FindPlane(1)->SetHeight(9.0f);
    m_scene.FindPlane(2)->SetHeight(-4.0f);
    DrawSceneFrame(m_device, m_scene);
    m_scene.DeletePlane(1);
    ASSERT_EQ(2u, m_scene.m_planes.size());
    EXPECT_EQ(first, m_scene.m_planes[0]);
    EXPECT_EQ(last, m_scene.m_planes[1]);
    EXPECT_EQ(0, m_scene.m_planes[0]->m_id);
    EXPECT_EQ(1, m_scene.m_planes[1]->m_id);
    EXPECT_EQ(-4.0f, m_scene.FindPlane(1)->m_y);

    // An index no plane has changes nothing.
    m_scene.DeletePlane(2);
    m_scene.DeletePlane(-1);
    EXPECT_EQ(2u, m_scene.m_planes.size());

    m_scene.AddPlane();
    EXPECT_EQ(2, m_scene.m_planes.back()->m_id);
}

TEST_F(SceneTest, InfiniteDisplayDrawsTerrainThenPlanesOncePerVisibleTile)
{
    std::vector<DrawCall> log;
    g_drawLog = &log;
    ReplaceTerrain(m_scene);
    AddRecordingPlane(m_scene, 6.0f);
    AddRecordingPlane(m_scene, 2.5f);
    DrawSceneFrame(m_device, m_scene);
    g_drawLog = nullptr;

    // The start view's frustum box covers tiles x -1 to 1 and z -2 to 0.
    std::vector<DrawCall> expected;
    for (int z = -2; z <= 0; ++z) {
        for (int x = -1; x <= 1; ++x) {
            expected.push_back(DrawCall{-1, 32.0f * x, 32.0f * z});
        }
    }
    // The plane at 2.5 lies farther from the eye's height (16) than the one at 6.
    for (int z = -2; z <= 0; ++z) {
        for (int x = -1; x <= 1; ++x) {
            expected.push_back(DrawCall{1, 32.0f * x, 32.0f * z});
            expected.push_back(DrawCall{0, 32.0f * x, 32.0f * z});
        }
    }
    EXPECT_EQ(expected, log);
}

TEST_F(SceneTest, WithoutInfiniteDisplayTerrainAndPlanesAreDrawnOnceAtTheOrigin)
{
    std::vector<DrawCall> log;
    g_drawLog = &log;
    ReplaceTerrain(m_scene);
    AddRecordingPlane(m_scene, 2.5f);
    AddRecordingPlane(m_scene, 6.0f);
    m_scene.m_showInfinite = 0;
    // Billboards on every cell: the planes after them are still drawn at the origin.
    m_scene.m_terrain->m_pChipManager->AddBillboard();
    // An eye below both planes: the one at 6 is farther and goes first.
    m_scene.m_camera->SetPosition(16, 1, 16);
    DrawSceneFrame(m_device, m_scene);
    g_drawLog = nullptr;

    const std::vector<DrawCall> expected = {{-1, 0, 0}, {1, 0, 0}, {0, 0, 0}};
    EXPECT_EQ(expected, log);
}

TEST_F(SceneTest, AFrameSetsLightMaterialAndFogAndCullsOnlyTheTerrain)
{
    std::vector<std::pair<int, DWORD>> culling;
    g_cullLog = &culling;
    ReplaceTerrain(m_scene);
    AddRecordingPlane(m_scene, 2.5f);
    m_scene.m_showInfinite = 0;
    // The sky keeps whatever cull mode the frame before left.
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    DrawSceneFrame(m_device, m_scene);
    g_cullLog = nullptr;
    const std::vector<std::pair<int, DWORD>> expectedCulling = {{-1, D3DCULL_CCW}, {0, D3DCULL_NONE}};
    EXPECT_EQ(expectedCulling, culling);

    struct Row {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const Row rows[] = {
        {D3DRS_CULLMODE, D3DCULL_NONE},  // and so for the next frame's sky
        {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0xFF030303},
        {D3DRS_FOGENABLE, TRUE},
        {D3DRS_FOGCOLOR, 0x80FFFFFF},
        {D3DRS_FOGSTART, Bits(12.0f)},
        {D3DRS_FOGEND, Bits(40.0f)},
        {D3DRS_FOGDENSITY, Bits(0.8f)},
        {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
        {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    };
    for (const Row& row : rows) {
        DWORD value = 0xDEADBEEF;
        g_device->GetRenderState(row.state, &value);
        EXPECT_EQ(row.value, value) << "render state " << row.state;
    }

    D3DMATERIAL9 material;
    g_device->GetMaterial(&material);
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{1, 1, 1, 1}, material.Diffuse));
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{0.1f, 0.1f, 0.1f, 0.1f}, material.Ambient));
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{0, 0, 0, 0}, material.Specular));
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{0, 0, 0, 0}, material.Emissive));
    EXPECT_EQ(0.0f, material.Power);

    D3DLIGHT9 light;
    g_device->GetLight(0, &light);
    BOOL enabled = FALSE;
    g_device->GetLightEnable(0, &enabled);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(D3DLIGHT_DIRECTIONAL, light.Type);
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{1, 1, 1, 0}, light.Diffuse));
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{0, 0, 0, 0}, light.Specular));
    EXPECT_TRUE(SameColor(D3DCOLORVALUE{0, 0, 0, 0}, light.Ambient));
    const float s = 1.0f / std::sqrt(27.0f);
    EXPECT_NEAR(-s, light.Direction.x, 1e-6f);
    EXPECT_NEAR(-5.0f * s, light.Direction.y, 1e-6f);
    EXPECT_NEAR(-s, light.Direction.z, 1e-6f);
    EXPECT_EQ(1000.0f, light.Range);
    EXPECT_EQ(0.0f, light.Attenuation0);
    EXPECT_EQ(0.0f, light.Falloff);
}

TEST_F(SceneTest, StartViewShowsTheSkyAboveAndTheAtlasGroundBelow)
{
    const ResourceBitmap panorama("IDB_BACKGROUND");
    ASSERT_TRUE(panorama.ok());
    const Palette sky = panorama.Colors(0, 0, panorama.width(), panorama.height());
    const std::vector<uint32_t> picture = DrawSceneFrame(m_device, m_scene);
    for (UINT y = 0; y < kSize / 8; ++y) {
        for (UINT x = 0; x < kSize; x += 4) {
            ASSERT_TRUE(sky.Matches(At(picture, x, y))) << x << "," << y << " " << std::hex << At(picture, x, y);
        }
    }
    EXPECT_EQ(0u, CountColor(picture, 0x000000));

    // Unlit and without fog, the ground near the eye is the atlas tile of its cells.
    UnlitScene unlit;
    ASSERT_EQ(0, unlit.Create());
    const COxelD3DTerrainChipManager& map = *unlit.m_terrain->m_pChipManager;
    const ResourceBitmap atlas("IDB_MAPCHIP");
    ASSERT_TRUE(atlas.ok());
    const int chip = const_cast<COxelD3DTerrainChipManager&>(map).GetMapChip(16, 8);
    const int tileX = chip % map.m_chipColumns * 128;
    const int tileY = chip / map.m_chipColumns * 128;
    const Palette tile = atlas.Colors(tileX, tileY, tileX + 128, tileY + 128);
    const std::vector<uint32_t> ground = DrawSceneFrame(m_device, unlit);
    for (UINT y = kSize * 13 / 16; y < kSize - 2; ++y) {
        for (UINT x = kSize * 3 / 8; x < kSize * 5 / 8; ++x) {
            ASSERT_TRUE(tile.Matches(At(ground, x, y))) << x << "," << y << " " << std::hex << At(ground, x, y);
        }
    }
    // The lit, fogged scene shows the same place differently.
    EXPECT_NE(At(ground, kSize / 2, kSize - 4), At(picture, kSize / 2, kSize - 4));
}

TEST_F(SceneTest, ArrowKeysChangeThePictureAndDeleteBringsTheStartPictureBack)
{
    SceneInApplication application(&m_scene);
    Checkerboard(*m_scene.m_terrain->m_pChipManager);
    const std::vector<uint32_t> start = DrawSceneFrame(m_device, m_scene);
    const WPARAM keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_NUMPAD2, VK_NUMPAD4};
    for (WPARAM key : keys) {
        m_scene.OnKeyDown(key);
        EXPECT_GT(CountDifferent(start, DrawSceneFrame(m_device, m_scene)), kSize * kSize / 50) << key;
        m_scene.OnKeyDown(VK_DELETE);
    }
    for (int i = 0; i < 70; ++i) {
        m_scene.OnKeyDown(i % 2 ? VK_LEFT : VK_UP);
    }
    m_scene.OnKeyDown(VK_NUMPAD6);
    EXPECT_NE(0u, CountDifferent(start, DrawSceneFrame(m_device, m_scene)));
    m_scene.OnKeyDown(VK_DELETE);
    EXPECT_EQ(0u, CountDifferent(start, DrawSceneFrame(m_device, m_scene)));
}

TEST_F(SceneTest, WireframeLeavesTheBackgroundShowingBetweenTheLines)
{
    const std::vector<uint32_t> solid = DrawSceneFrame(m_device, m_scene, D3DFILL_SOLID);
    const std::vector<uint32_t> wireframe = DrawSceneFrame(m_device, m_scene, D3DFILL_WIREFRAME);
    EXPECT_EQ(0u, CountColor(solid, 0x000000));
    EXPECT_GT(CountColor(wireframe, 0x000000), kSize * kSize / 2);
    EXPECT_LT(CountColor(wireframe, 0x000000), kSize * kSize);
}

TEST(COxelD3DSceneBase, BorderWallsShowTheEffectImageOverTheMapsEdge)
{
    TestDevice device(kSize, kSize);
    ASSERT_TRUE(device.ok());
    FolderWithEffectImage folder(0x80FF0000);  // half-transparent red
    COxelD3DSceneBase scene;
    ASSERT_EQ(0, scene.Create());
    ASSERT_NE(nullptr, scene.m_effectTexture);
    const std::vector<uint32_t> plain = DrawSceneFrame(device, scene);
    scene.m_showMapBorder = 1;
    const std::vector<uint32_t> walls = DrawSceneFrame(device, scene);

    EXPECT_GT(CountDifferent(plain, walls), kSize * kSize / 20);
    size_t redder = 0;
    for (size_t i = 0; i < walls.size(); ++i) {
        const int before = static_cast<int>(plain[i] >> 16 & 0xFF);
        const int after = static_cast<int>(walls[i] >> 16 & 0xFF);
        EXPECT_GE(after + 2, before) << i;
        redder += after > before + 16;
    }
    EXPECT_GT(redder, kSize * kSize / 20);

    // The wall across the map's near edge (z = 0) rises in the middle of the view.
    const float bottom = ScreenRow(D3DXVECTOR3(16, 0, 0));
    const float top = ScreenRow(D3DXVECTOR3(16, 8, 0));
    ASSERT_LT(top + 4, bottom);
    const UINT middle = static_cast<UINT>((top + bottom) / 2);
    EXPECT_GT(At(walls, kSize / 2, middle) >> 16, At(plain, kSize / 2, middle) >> 16);
    EXPECT_EQ(At(walls, kSize / 2, static_cast<UINT>(top) - 3), At(plain, kSize / 2, static_cast<UINT>(top) - 3));
}

TEST_F(SceneTest, TheCursorColumnIsDrawnWithoutTheBorderWithLightingAndDepthWritesOff)
{
    const std::vector<uint32_t> plain = DrawSceneFrame(m_device, m_scene);
    m_scene.m_showCursor = 1;
    m_scene.m_cursorPosition[0] = 15.0f;
    m_scene.m_cursorPosition[1] = 2.0f;
    m_scene.m_cursorPosition[2] = 4.0f;
    const std::vector<uint32_t> cursor = DrawSceneFrame(m_device, m_scene);
    EXPECT_GT(CountDifferent(plain, cursor), 100u);
    DWORD lighting = TRUE;
    DWORD depthWrites = TRUE;
    g_device->GetRenderState(D3DRS_LIGHTING, &lighting);
    g_device->GetRenderState(D3DRS_ZWRITEENABLE, &depthWrites);
    EXPECT_EQ(FALSE, lighting);
    EXPECT_EQ(FALSE, depthWrites);

    // The column stands on the cursor's cell: from one below its height to seven above.
    const float top = ScreenRow(D3DXVECTOR3(15.5f, 9.0f, 4.0f));
    const UINT row = static_cast<UINT>(top) + 3;
    EXPECT_NE(At(plain, kSize / 2, row), At(cursor, kSize / 2, row));
    EXPECT_EQ(At(plain, kSize / 2, row - 6), At(cursor, kSize / 2, row - 6));
}

TEST_F(SceneTest, WithoutInfiniteDisplayTheGroundEndsAtTheMapsEdge)
{
    const std::vector<uint32_t> tiled = DrawSceneFrame(m_device, m_scene);
    m_scene.m_showInfinite = 0;
    const std::vector<uint32_t> single = DrawSceneFrame(m_device, m_scene);
    const ResourceBitmap panorama("IDB_BACKGROUND");
    const Palette sky = panorama.Colors(0, 0, panorama.width(), panorama.height());

    // The map's far edge (z = 0) straight ahead of the eye.
    const int edge = static_cast<int>(ScreenRow(D3DXVECTOR3(16, 2, 0)));
    ASSERT_GT(edge, static_cast<int>(kSize / 4));
    ASSERT_LT(edge, static_cast<int>(kSize));
    for (int y = edge + 2; y < static_cast<int>(kSize); ++y) {
        EXPECT_EQ(At(tiled, kSize / 2, y), At(single, kSize / 2, y)) << y;
    }
    for (int y = edge - 20; y < edge - 2; ++y) {
        EXPECT_NE(At(tiled, kSize / 2, y), At(single, kSize / 2, y)) << y;
        EXPECT_TRUE(sky.Matches(At(single, kSize / 2, y))) << y;
    }
}

TEST(COxelD3DSceneBase, RunsOfCellsAndTheSkyBehindTheGroundGiveThePixelsOfDrawingPieceByPieceSkyFirst)
{
    TestDevice device(512, 512);
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBase scene;
    ASSERT_EQ(0, scene.Create());
    COxelD3DTerrainChipManager& map = *scene.m_terrain->m_pChipManager;
    struct View {
        D3DXVECTOR3 eye;
        D3DXVECTOR3 target;
        D3DXVECTOR3 up;
        const char* name;
    };
    const View views[] = {
        {{16, 16, 16}, {16, 8, 0}, {0, 1, 0}, "start view"},
        {{20, 30, 12}, {20, 0, 12}, {0, 0, 1}, "straight down"},
        {{8, -3, 40}, {16, 4, 0}, {0, 1, 0}, "from below the ground"},
        {{30, 9, 34}, {0, 1, 10}, {0, 1, 0}, "low across a corner"},
    };
    // 512 x 512 spreads its quads over sixteen batches, and blocks in view
    // draw across their seams.
    for (int size : {16, 32, 64, 512}) {
        map.Release();
        ASSERT_EQ(0, map.Create(size, size));
        Scramble(map, static_cast<unsigned>(size));
        for (int infinite = 1; infinite >= 0; --infinite) {
            scene.m_showInfinite = infinite;
            for (const View& view : views) {
                LookFrom(*scene.m_camera, view.eye, view.target, view.up);
                const std::vector<uint32_t> pieces = DrawPieceByPiece(device, scene);
                EXPECT_EQ(0u, CountDifferent(pieces, DrawSceneFrame(device, scene)))
                    << size << " x " << size << ", infinite " << infinite << ", " << view.name;
            }
        }
        const std::vector<uint32_t> lines = DrawPieceByPiece(device, scene, D3DFILL_WIREFRAME);
        EXPECT_EQ(0u, CountDifferent(lines, DrawSceneFrame(device, scene, D3DFILL_WIREFRAME))) << size << " wireframe";
    }
}

TEST_F(SceneTest, AnEditAfterAFrameShowsInEveryCopyOfTheNextFrame)
{
    COxelD3DTerrainChipManager& map = *m_scene.m_terrain->m_pChipManager;
    Scramble(map, 7);
    const std::vector<uint32_t> before = DrawSceneFrame(m_device, m_scene);
    // Far apart in the tree's order, so the write spans slots that stay as they were.
    const auto edit = [](COxelD3DTerrainChipManager& edited) {
        edited.SetHeight(16, 8, 11.0);
        edited.SetMapChip(3, 29, 17);
        edited.SetMapChipRotation(30, 2, 3);
        edited.GetTerrainChip(20 * 32 + 12)->SetNormal(1, 0.6f, 0.8f, 0.0f);
    };
    edit(map);
    const std::vector<uint32_t> after = DrawSceneFrame(m_device, m_scene);

    // The same map made and edited before its first frame.
    COxelD3DSceneBase fresh;
    ASSERT_EQ(0, fresh.Create());
    Scramble(*fresh.m_terrain->m_pChipManager, 7);
    edit(*fresh.m_terrain->m_pChipManager);
    EXPECT_EQ(0u, CountDifferent(DrawSceneFrame(m_device, fresh), after));
    EXPECT_GT(CountDifferent(before, after), 500u);
}

// Billboards are drawn after the ground of every map copy, so none of their
// states reaches the ground of a copy drawn later: with every billboard hidden
// each copy looks as it does with none, lit and fogged like the first.
TEST_F(SceneTest, HiddenBillboardsLeaveTheGroundOfEveryCopyAsItIs)
{
    COxelD3DTerrainChipManager& map = *m_scene.m_terrain->m_pChipManager;
    Checkerboard(map);
    const std::vector<uint32_t> without = DrawSceneFrame(m_device, m_scene);
    map.AddBillboard();
    map.m_billboards[0]->m_visible = 0;
    EXPECT_EQ(0u, CountDifferent(without, DrawSceneFrame(m_device, m_scene)));
    map.m_billboards[0]->m_visible = 1;
    EXPECT_GT(CountDifferent(without, DrawSceneFrame(m_device, m_scene)), 1000u);
}
