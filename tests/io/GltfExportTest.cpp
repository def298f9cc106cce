#include "io/GltfExport.h"
#include "io/MapFileDisk.h"

#include "support/BlackPng.h"
#include "support/GlbFile.h"
#include "support/SampleMaps.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

const int kSize = 16;

struct Vertex {
    std::array<float, 3> position;
    std::array<float, 3> normal;
    std::array<float, 2> uv;
};

// A flat 16 x 16 map at height 2 with straight-up normals and chip 0, three planes.
MapFileContents FlatMap()
{
    MapFileContents map;
    map.width = kSize;
    map.height = kSize;
    map.cells.resize(kSize * kSize);
    for (int i = 0; i < kSize * kSize; ++i) {
        MapFileCell& cell = map.cells[i];
        cell.index = i;
        for (int k = 0; k < 4; ++k) {
            cell.heights[k] = 2.0;
            cell.normals[k][1] = 1.0f;
        }
    }
    map.planes.resize(3);
    map.planes[0].y = 3.5f;
    map.planes[0].repeat = 1;
    map.planes[0].visible = 1;
    map.planes[1].y = 5.0f;
    map.planes[1].visible = 0;
    map.planes[2].y = 6.25f;
    map.planes[2].repeat = 0;
    map.planes[2].visible = 1;
    return map;
}

MapFileCell& Cell(MapFileContents& map, int column, int row)
{
    return map.cells[row * map.width + column];
}

class GltfExportTest : public ::testing::Test {
protected:
    void Export()
    {
        GltfAtlas atlas;
        atlas.width = 1024;
        atlas.height = 512;
        atlas.png = atlasPng;
        std::vector<GltfPlaneImage> images(3);
        images[0].png = planePng;
        const std::vector<unsigned char> bytes = EncodeTerrainGlb(map, atlas, images);
        ASSERT_TRUE(glb.Read(bytes)) << glb.error;
    }

    Vertex TerrainVertex(int index) const
    {
        const nlohmann::json& attributes = glb.Primitive("Terrain")["attributes"];
        const std::vector<float> p = glb.Floats(attributes["POSITION"]);
        const std::vector<float> n = glb.Floats(attributes["NORMAL"]);
        const std::vector<float> t = glb.Floats(attributes["TEXCOORD_0"]);
        return {{p[index * 3], p[index * 3 + 1], p[index * 3 + 2]},
                {n[index * 3], n[index * 3 + 1], n[index * 3 + 2]},
                {t[index * 2], t[index * 2 + 1]}};
    }

    MapFileContents map = FlatMap();
    std::vector<unsigned char> atlasPng = {0x89, 'P', 'N', 'G', 1, 2, 3};
    std::vector<unsigned char> planePng = {0x89, 'P', 'N', 'G', 9, 8, 7, 6, 5};
    GlbFile glb;
};

}  // namespace

TEST_F(GltfExportTest, TerrainIsOneMeshOfFourVerticesACellFacingUp)
{
    Cell(map, 3, 2).heights[0] = 1.0;
    Cell(map, 3, 2).heights[3] = 4.0;
    Export();
    EXPECT_EQ("2.0", glb.document["asset"]["version"]);
    const nlohmann::json& primitive = glb.Primitive("Terrain");
    const nlohmann::json& positions = glb.document["accessors"][primitive["attributes"]["POSITION"].get<int>()];
    EXPECT_EQ(4 * kSize * kSize, positions["count"]);
    EXPECT_EQ((std::vector<float>{0, 1, -16}), positions["min"].get<std::vector<float>>());
    EXPECT_EQ((std::vector<float>{16, 4, 0}), positions["max"].get<std::vector<float>>());
    // Every triangle turns counter-clockwise seen from above: its normal points up.
    const std::vector<float> p = glb.Floats(primitive["attributes"]["POSITION"]);
    const std::vector<std::uint32_t> indices = glb.Indices(primitive["indices"]);
    ASSERT_EQ(static_cast<size_t>(6 * kSize * kSize), indices.size());
    for (size_t t = 0; t < indices.size(); t += 3) {
        const float* a = &p.at(indices[t] * 3);
        const float* b = &p.at(indices[t + 1] * 3);
        const float* c = &p.at(indices[t + 2] * 3);
        const float upward = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
        ASSERT_GT(upward, 0.0f) << "triangle " << t / 3;
    }
    // The atlas is embedded as given and is the terrain's base colour.
    const int material = primitive["material"];
    const int texture = glb.document["materials"][material]["pbrMetallicRoughness"]["baseColorTexture"]["index"];
    EXPECT_EQ(atlasPng, glb.Image(glb.document["textures"][texture]["source"]));
    EXPECT_EQ("image/png", glb.document["images"][0]["mimeType"]);
}

TEST_F(GltfExportTest, CellsLieAtColumnHeightMinusRowWithTheirChipTurnedAsInThePreview)
{
    // Chip 9 of the built-in atlas: u 0.125 .. 0.25, v 0.25 .. 0.5, its right edge first.
    struct Case {
        int column;
        int row;
        int rotation;
        std::array<std::array<float, 2>, 4> uv;  // vertices 0..3
    };
    const Case cases[] = {
        {3, 2, 0, {{{0.25f, 0.25f}, {0.25f, 0.5f}, {0.125f, 0.25f}, {0.125f, 0.5f}}}},
        {4, 2, 1, {{{0.125f, 0.25f}, {0.25f, 0.25f}, {0.125f, 0.5f}, {0.25f, 0.5f}}}},
        {5, 2, 2, {{{0.125f, 0.5f}, {0.125f, 0.25f}, {0.25f, 0.5f}, {0.25f, 0.25f}}}},
        {15, 15, 3, {{{0.25f, 0.5f}, {0.125f, 0.5f}, {0.25f, 0.25f}, {0.125f, 0.25f}}}},
    };
    for (const Case& c : cases) {
        MapFileCell& cell = Cell(map, c.column, c.row);
        cell.chip = 9;
        cell.rotation = c.rotation;
        for (int k = 0; k < 4; ++k) {
            cell.heights[k] = 1.0 + k + c.rotation;
        }
        cell.normals[1][0] = 0.0f;
        cell.normals[1][1] = 0.6f;
        cell.normals[1][2] = 0.8f;
    }
    Export();
    for (const Case& c : cases) {
        SCOPED_TRACE("rotation " + std::to_string(c.rotation));
        const int first = 4 * (c.row * kSize + c.column);
        for (int k = 0; k < 4; ++k) {
            const Vertex v = TerrainVertex(first + k);
            const float x = static_cast<float>(c.column + (k >= 2 ? 1 : 0));
            const float z = static_cast<float>(c.row + (k % 2));
            EXPECT_EQ((std::array<float, 3>{x, 1.0f + k + c.rotation, -z}), v.position) << "vertex " << k;
            EXPECT_EQ(c.uv[k], v.uv) << "vertex " << k;
            // z turns round with the frame.
            const std::array<float, 3> normal = k == 1 ? std::array<float, 3>{0.0f, 0.6f, -0.8f}
                                                       : std::array<float, 3>{0.0f, 1.0f, 0.0f};
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(normal[axis], v.normal[axis], 1e-6) << "vertex " << k;
            }
        }
    }
}

TEST_F(GltfExportTest, OnlyVisiblePlanesAreWrittenEachWithItsImageHeightAndRepeat)
{
    Export();
    EXPECT_NE(nullptr, glb.Node("Plane 0"));
    EXPECT_EQ(nullptr, glb.Node("Plane 1"));
    EXPECT_NE(nullptr, glb.Node("Plane 2"));
    EXPECT_EQ(3u, glb.document["nodes"].size());
    EXPECT_EQ(3u, glb.document["scenes"][0]["nodes"].size());

    struct Case {
        const char* name;
        float y;
        float uvMax;  // 31 repeats on a 32-cell plane, 1 shows the image once
        bool textured;
    };
    for (const Case& c : {Case{"Plane 0", 3.5f, 31.0f, true}, Case{"Plane 2", 6.25f, 1.0f, false}}) {
        SCOPED_TRACE(c.name);
        const nlohmann::json& primitive = glb.Primitive(c.name);
        const nlohmann::json& positions = glb.document["accessors"][primitive["attributes"]["POSITION"].get<int>()];
        EXPECT_EQ((std::vector<float>{0, c.y, -32}), positions["min"].get<std::vector<float>>());
        EXPECT_EQ((std::vector<float>{32, c.y, 0}), positions["max"].get<std::vector<float>>());
        const std::vector<float> uv = glb.Floats(primitive["attributes"]["TEXCOORD_0"]);
        EXPECT_EQ(c.uvMax, *std::max_element(uv.begin(), uv.end()));
        const nlohmann::json& material = glb.document["materials"][primitive["material"].get<int>()];
        EXPECT_EQ("BLEND", material["alphaMode"]);
        EXPECT_EQ(true, material["doubleSided"]);
        const bool textured = material["pbrMetallicRoughness"].contains("baseColorTexture");
        ASSERT_EQ(c.textured, textured);
        if (textured) {
            const int texture = material["pbrMetallicRoughness"]["baseColorTexture"]["index"];
            EXPECT_EQ(planePng, glb.Image(glb.document["textures"][texture]["source"]));
        }
    }
}

TEST(GltfExport, AMapWithoutItsCellsGivesNoFile)
{
    MapFileContents map = FlatMap();
    map.cells.pop_back();
    EXPECT_TRUE(EncodeTerrainGlb(map, GltfAtlas(), {}).empty());
}

TEST(GltfExport, EachBillboardIsOneQuadStandingOnEveryCellThatNamesIt)
{
    MapFileContents map = FlatMap();
    map.billboards.resize(3);
    map.billboards[0].repeat = 0;
    map.billboards[1].repeat = 1;
    map.billboards[2].repeat = 0;  // named by no cell: left out
    for (MapFileCell& cell : map.cells) {
        cell.billboard = -1;
    }
    Cell(map, 3, 2).billboard = 0;
    Cell(map, 3, 2).heights[0] = 1.0;
    Cell(map, 3, 2).heights[3] = 4.0;
    Cell(map, 0, 0).billboard = 1;
    Cell(map, 15, 15).billboard = 1;
    Cell(map, 5, 5).billboard = 7;  // no such billboard: nothing stands there, as in the preview
    std::vector<GltfPlaneImage> billboardImages(3);
    const std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 4, 4};
    billboardImages[0].png = png;
    GlbFile glb;
    ASSERT_TRUE(glb.Read(EncodeTerrainGlb(map, GltfAtlas(), {}, billboardImages))) << glb.error;
    EXPECT_EQ(nullptr, glb.Node("Billboard 2"));

    struct Case {
        const char* name;
        std::vector<std::array<float, 3>> places;  // the cells' middles, half way up each
        float uvMax;                               // 31 repeats, 1 shows the image once
        bool textured;
    };
    const Case cases[] = {
        {"Billboard 0", {{3.5f, 2.5f, -2.5f}}, 1.0f, true},
        {"Billboard 1", {{0.5f, 2.0f, -0.5f}, {15.5f, 2.0f, -15.5f}}, 31.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const nlohmann::json* node = glb.Node(c.name);
        ASSERT_NE(nullptr, node);
        // Listed in the scene, with a child at each cell that holds the one mesh.
        const std::vector<int> sceneNodes = glb.document["scenes"][0]["nodes"].get<std::vector<int>>();
        int mesh = -1;
        std::vector<std::array<float, 3>> places;
        for (int child : (*node)["children"].get<std::vector<int>>()) {
            const nlohmann::json& placed = glb.document["nodes"][child];
            EXPECT_TRUE(mesh < 0 || placed["mesh"] == mesh);
            mesh = placed["mesh"];
            places.push_back(placed["translation"].get<std::array<float, 3>>());
        }
        EXPECT_EQ(c.places, places);
        ASSERT_GE(mesh, 0);
        // An upright unit quad, its bottom middle at the node, facing +z.
        const nlohmann::json& primitive = glb.document["meshes"][mesh]["primitives"][0];
        const nlohmann::json& positions = glb.document["accessors"][primitive["attributes"]["POSITION"].get<int>()];
        EXPECT_EQ((std::vector<float>{-0.5f, 0, 0}), positions["min"].get<std::vector<float>>());
        EXPECT_EQ((std::vector<float>{0.5f, 1, 0}), positions["max"].get<std::vector<float>>());
        const std::vector<float> normals = glb.Floats(primitive["attributes"]["NORMAL"]);
        EXPECT_EQ((std::vector<float>{0, 0, 1}), std::vector<float>(normals.begin(), normals.begin() + 3));
        // The image's top at the top, as the preview turns it.
        const std::vector<float> uv = glb.Floats(primitive["attributes"]["TEXCOORD_0"]);
        EXPECT_EQ((std::vector<float>{c.uvMax, 0, 0, 0, c.uvMax, c.uvMax, 0, c.uvMax}), uv);
        const nlohmann::json& material = glb.document["materials"][primitive["material"].get<int>()];
        EXPECT_EQ("BLEND", material["alphaMode"]);
        EXPECT_EQ(true, material["doubleSided"]);
        EXPECT_TRUE(material["extensions"].contains("KHR_materials_unlit"));
        ASSERT_EQ(c.textured, material["pbrMetallicRoughness"].contains("baseColorTexture"));
        if (c.textured) {
            const int texture = material["pbrMetallicRoughness"]["baseColorTexture"]["index"];
            EXPECT_EQ(png, glb.Image(glb.document["textures"][texture]["source"]));
        }
        const int index = static_cast<int>(node - &glb.document["nodes"][0]);
        EXPECT_NE(sceneNodes.end(), std::find(sceneNodes.begin(), sceneNodes.end(), index));
    }
    EXPECT_EQ((std::vector<std::string>{"KHR_materials_unlit"}),
              glb.document["extensionsUsed"].get<std::vector<std::string>>());
}

// Run by the glTF-Validator's test for large maps (see CMakeLists.txt), which
// names a folder in QUELMORA_EXPORT_SAMPLES: the model is left there.
TEST(GltfExport, ALargeMapIsOneMeshWhoseIndicesReachItsLastCell)
{
    const int size = 512;
    // A visible plane, and a billboard on every cell, as a new billboard stands.
    const MapFileContents map = SampleMap(size, 1, 1);
    GltfAtlas atlas;
    atlas.width = 1024;
    atlas.height = 512;
    atlas.png = BlackPng(1024, 512);
    const std::vector<unsigned char> bytes = EncodeTerrainGlb(map, atlas, std::vector<GltfPlaneImage>(1));
    GlbFile glb;
    ASSERT_TRUE(glb.Read(bytes)) << glb.error;
    const nlohmann::json& primitive = glb.Primitive("Terrain");
    // 32-bit indices: 16 bits reach 16,384 cells.
    EXPECT_EQ(5125, glb.document["accessors"][primitive["indices"].get<int>()]["componentType"]);
    const std::vector<std::uint32_t> indices = glb.Indices(primitive["indices"]);
    ASSERT_EQ(static_cast<size_t>(6 * size * size), indices.size());
    EXPECT_EQ(static_cast<std::uint32_t>(4 * size * size - 1), *std::max_element(indices.begin(), indices.end()));
    // The last vertex is the far corner of the last cell: column 512, row 512.
    const std::vector<float> p = glb.Floats(primitive["attributes"]["POSITION"]);
    EXPECT_EQ(static_cast<float>(size), p[p.size() - 3]);
    EXPECT_EQ(static_cast<float>(-size), p[p.size() - 1]);
    ASSERT_NE(nullptr, glb.Node("Billboard 0"));
    EXPECT_EQ(static_cast<size_t>(size * size), (*glb.Node("Billboard 0"))["children"].size());

    char samples[MAX_PATH] = {};
    if (GetEnvironmentVariableA("QUELMORA_EXPORT_SAMPLES", samples, MAX_PATH)) {
        const std::string path = std::string(samples) + "\\large-map.glb";
        EXPECT_TRUE(WriteFileSafely(path.c_str(), bytes.data(), bytes.size()));
    }
}
