#include "io/GltfExport.h"

#include "terrain/MapGridMath.h"
#include "terrain/QuadGeometry.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

using nlohmann::json;

namespace {

// glTF's numbers for the few enums used here.
const int kFloat = 5126;
const int kUnsignedInt = 5125;
const int kArrayBuffer = 34962;
const int kElementArrayBuffer = 34963;
const int kLinear = 9729;
const int kClampToEdge = 33071;
const int kRepeat = 10497;

struct Vec3 {
    float x;
    float y;
    float z;
};

struct Vec2 {
    float u;
    float v;
};

// The vertices and triangles of one mesh, as they go into the buffer.
struct MeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<std::uint32_t> indices;

    // Corners in the quad's order (x0, z0), (x0, z1), (x1, z0), (x1, z1), in
    // glTF's frame: the triangles (0, 2, 1) and (1, 2, 3) face up.
    void AddQuad(const Vec3 (&corners)[4], const Vec3 (&quadNormals)[4], const QuadTexCoord (&uv)[4])
    {
        const std::uint32_t base = static_cast<std::uint32_t>(positions.size());
        for (int k = 0; k < 4; ++k) {
            positions.push_back(corners[k]);
            normals.push_back(quadNormals[k]);
            texCoords.push_back({uv[k].u, uv[k].v});
        }
        for (std::uint32_t k : {0u, 2u, 1u, 1u, 2u, 3u}) {
            indices.push_back(base + k);
        }
    }
};

// A unit normal in glTF's frame from one in the map's (z turns round); one
// that cannot be made unit points up.
Vec3 GltfNormal(const float (&n)[3])
{
    const double length = std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    if (!std::isfinite(length) || length < 1e-6) {
        return {0.0f, 1.0f, 0.0f};
    }
    return {static_cast<float>(n[0] / length), static_cast<float>(n[1] / length), static_cast<float>(-n[2] / length)};
}

// The binary chunk and the buffer views and accessors that describe it.
class BinaryChunk {
public:
    json views = json::array();
    json accessors = json::array();
    std::vector<unsigned char> bytes;

    int AddView(const void* data, std::size_t size, int target)
    {
        bytes.resize((bytes.size() + 3) & ~std::size_t(3), 0);
        json view = {{"buffer", 0}, {"byteOffset", bytes.size()}, {"byteLength", size}};
        if (target) {
            view["target"] = target;
        }
        const unsigned char* from = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), from, from + size);
        views.push_back(view);
        return static_cast<int>(views.size()) - 1;
    }

    int AddAccessor(int view, int componentType, std::size_t count, const char* type)
    {
        accessors.push_back({{"bufferView", view}, {"componentType", componentType}, {"count", count}, {"type", type}});
        return static_cast<int>(accessors.size()) - 1;
    }

    // The mesh's four accessors; positions carry their bounds, as glTF requires.
    json AddPrimitive(const MeshData& mesh, int material)
    {
        Vec3 low = mesh.positions.front();
        Vec3 high = low;
        for (const Vec3& p : mesh.positions) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        const std::size_t count = mesh.positions.size();
        const int position =
            AddAccessor(AddView(mesh.positions.data(), count * sizeof(Vec3), kArrayBuffer), kFloat, count, "VEC3");
        accessors[position]["min"] = {low.x, low.y, low.z};
        accessors[position]["max"] = {high.x, high.y, high.z};
        const int normal =
            AddAccessor(AddView(mesh.normals.data(), count * sizeof(Vec3), kArrayBuffer), kFloat, count, "VEC3");
        const int texCoord =
            AddAccessor(AddView(mesh.texCoords.data(), count * sizeof(Vec2), kArrayBuffer), kFloat, count, "VEC2");
        const int index = AddAccessor(AddView(mesh.indices.data(), mesh.indices.size() * sizeof(std::uint32_t),
                                              kElementArrayBuffer),
                                      kUnsignedInt, mesh.indices.size(), "SCALAR");
        return {{"attributes", {{"POSITION", position}, {"NORMAL", normal}, {"TEXCOORD_0", texCoord}}},
                {"indices", index},
                {"material", material}};
    }
};

MeshData TerrainMesh(const MapFileContents& map, const GltfAtlas& atlas)
{
    MeshData mesh;
    const int columns = atlas.width / kChipSize;
    for (int i = 0; i < map.width * map.height; ++i) {
        const MapFileCell& cell = map.cells[i];
        const float x = static_cast<float>(i % map.width);
        const float z = static_cast<float>(i / map.width);
        const float xs[4] = {x, x, x + 1, x + 1};
        const float zs[4] = {z, z + 1, z, z + 1};
        Vec3 corners[4];
        Vec3 normals[4];
        for (int k = 0; k < 4; ++k) {
            corners[k] = {xs[k], static_cast<float>(cell.heights[k]), -zs[k]};
            normals[k] = GltfNormal(cell.normals[k]);
        }
        // The same rectangle and turn as the preview's quad: right edge first.
        const ChipTexRect rect = MapChipTexRect(cell.chip, columns, atlas.width, atlas.height);
        QuadTexCoord uv[4];
        QuadTexCoords(static_cast<float>(rect.uRight), static_cast<float>(rect.vTop), static_cast<float>(rect.uLeft),
                      static_cast<float>(rect.vBottom), cell.rotation, uv);
        mesh.AddQuad(corners, normals, uv);
    }
    return mesh;
}

// A quad with one normal at every corner and its image once, or repeated as
// the preview repeats it: a 32-cell quad shows it 31 times.
MeshData ImageQuad(const Vec3 (&corners)[4], const Vec3& normal, bool repeat, const GltfPlaneImage& image, int rotation)
{
    const float uB = repeat ? image.width - 1.0f : 1.0f;
    const float vB = repeat ? image.depth - 1.0f : 1.0f;
    const Vec3 normals[4] = {normal, normal, normal, normal};
    QuadTexCoord uv[4];
    QuadTexCoords(0.0f, 0.0f, uB, vB, rotation, uv);
    MeshData mesh;
    mesh.AddQuad(corners, normals, uv);
    return mesh;
}

MeshData PlaneMesh(const MapFilePlane& plane, const GltfPlaneImage& image)
{
    const float w = static_cast<float>(image.width);
    const float d = static_cast<float>(image.depth);
    const Vec3 corners[4] = {{0, plane.y, 0}, {0, plane.y, -d}, {w, plane.y, 0}, {w, plane.y, -d}};
    return ImageQuad(corners, {0, 1, 0}, plane.repeat != 0, image, 0);
}

// The preview's billboard quad: one unit wide and high, its bottom middle at
// the origin, turned a quarter as the preview turns it so the image stands
// upright; the map's frame and glTF's agree where z is 0.
MeshData BillboardMesh(const MapFileBillboard& billboard, const GltfPlaneImage& image)
{
    const Vec3 corners[4] = {{-0.5f, 1, 0}, {0.5f, 1, 0}, {-0.5f, 0, 0}, {0.5f, 0, 0}};
    return ImageQuad(corners, {0, 0, 1}, billboard.repeat != 0, image, 1);
}

// Where the preview stands a billboard on the cell: its middle, half way
// between the lowest and the highest corner, in glTF's frame.
json BillboardPlace(const MapFileContents& map, int cell)
{
    const double* heights = map.cells[cell].heights;
    const double low = std::min(std::min(heights[0], heights[1]), std::min(heights[2], heights[3]));
    const double high = std::max(std::max(heights[0], heights[1]), std::max(heights[2], heights[3]));
    return {cell % map.width + 0.5, (low + high) / 2, -(cell / map.width + 0.5)};
}

void AppendChunk(std::vector<unsigned char>& file, std::uint32_t type, const std::vector<unsigned char>& data,
                 unsigned char pad)
{
    const std::uint32_t length = static_cast<std::uint32_t>((data.size() + 3) & ~std::size_t(3));
    const std::uint32_t header[2] = {length, type};
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(header);
    file.insert(file.end(), raw, raw + sizeof header);
    file.insert(file.end(), data.begin(), data.end());
    file.resize(file.size() + (length - data.size()), pad);
}

}  // namespace

std::vector<unsigned char> EncodeTerrainGlb(const MapFileContents& map, const GltfAtlas& atlas,
                                            const std::vector<GltfPlaneImage>& planeImages,
                                            const std::vector<GltfPlaneImage>& billboardImages)
{
    if (map.width <= 0 || map.height <= 0 || map.cells.size() != static_cast<std::size_t>(map.width) * map.height) {
        return {};
    }
    BinaryChunk chunk;
    json images = json::array();
    json textures = json::array();
    json materials = json::array();
    json meshes = json::array();
    json nodes = json::array();
    json samplers = json::array({{{"magFilter", kLinear}, {"minFilter", kLinear}, {"wrapS", kClampToEdge},
                                  {"wrapT", kClampToEdge}},
                                 {{"magFilter", kLinear}, {"minFilter", kLinear}, {"wrapS", kRepeat},
                                  {"wrapT", kRepeat}}});

    json extensionsUsed = json::array();
    // A material with the picture as its base colour; without a picture, plain white.
    const auto addMaterial = [&](const std::string& name, const std::vector<unsigned char>& png, int sampler,
                                 bool blended, bool unlit = false) {
        json pbr = {{"metallicFactor", 0.0}, {"roughnessFactor", 1.0}};
        if (!png.empty()) {
            images.push_back({{"bufferView", chunk.AddView(png.data(), png.size(), 0)}, {"mimeType", "image/png"}});
            textures.push_back({{"source", images.size() - 1}, {"sampler", sampler}});
            pbr["baseColorTexture"] = {{"index", textures.size() - 1}};
        }
        json material = {{"name", name}, {"pbrMetallicRoughness", pbr}};
        if (blended) {
            material["alphaMode"] = "BLEND";
            material["doubleSided"] = true;
        }
        if (unlit) {
            material["extensions"] = {{"KHR_materials_unlit", json::object()}};
            extensionsUsed = json::array({"KHR_materials_unlit"});
        }
        materials.push_back(material);
        return static_cast<int>(materials.size()) - 1;
    };
    // The nodes the scene lists; the billboards' cells hang below their billboard's node.
    json sceneNodes = json::array();
    const auto addMesh = [&](const std::string& name, const json& primitive) {
        meshes.push_back({{"name", name}, {"primitives", json::array({primitive})}});
        return meshes.size() - 1;
    };
    const auto addNode = [&](const std::string& name, const json& primitive) {
        nodes.push_back({{"name", name}, {"mesh", addMesh(name, primitive)}});
        sceneNodes.push_back(nodes.size() - 1);
    };

    const MeshData terrain = TerrainMesh(map, atlas);
    const int atlasMaterial = addMaterial("Atlas", atlas.png, 0, false);
    addNode("Terrain", chunk.AddPrimitive(terrain, atlasMaterial));

    for (std::size_t id = 0; id < map.planes.size(); ++id) {
        const MapFilePlane& plane = map.planes[id];
        if (!plane.visible) {
            continue;
        }
        const GltfPlaneImage image = id < planeImages.size() ? planeImages[id] : GltfPlaneImage();
        const std::string name = "Plane " + std::to_string(id);
        const int material = addMaterial(name, image.png, 1, true);
        addNode(name, chunk.AddPrimitive(PlaneMesh(plane, image), material));
    }

    std::vector<json> billboardPlaces(map.billboards.size(), json::array());
    for (int cell = 0; cell < map.width * map.height; ++cell) {
        const std::int32_t id = map.cells[cell].billboard;
        if (id >= 0 && static_cast<std::size_t>(id) < map.billboards.size()) {
            billboardPlaces[id].push_back(BillboardPlace(map, cell));
        }
    }
    for (std::size_t id = 0; id < map.billboards.size(); ++id) {
        if (billboardPlaces[id].empty()) {
            continue;
        }
        const GltfPlaneImage image = id < billboardImages.size() ? billboardImages[id] : GltfPlaneImage();
        const std::string name = "Billboard " + std::to_string(id);
        const int material = addMaterial(name, image.png, 1, true, true);
        const auto mesh = addMesh(name, chunk.AddPrimitive(BillboardMesh(map.billboards[id], image), material));
        json standing = {{"name", name}, {"children", json::array()}};
        for (const json& place : billboardPlaces[id]) {
            nodes.push_back({{"mesh", mesh}, {"translation", place}});
            standing["children"].push_back(nodes.size() - 1);
        }
        nodes.push_back(standing);
        sceneNodes.push_back(nodes.size() - 1);
    }

    const json scene = {{"name", "Map"}, {"nodes", sceneNodes}};
    chunk.bytes.resize((chunk.bytes.size() + 3) & ~std::size_t(3), 0);
    json document = {
        {"asset", {{"version", "2.0"}, {"generator", "Quelmora"}}},
        {"scene", 0},
        {"scenes", json::array({scene})},
        {"nodes", nodes},
        {"meshes", meshes},
        {"materials", materials},
        {"accessors", chunk.accessors},
        {"bufferViews", chunk.views},
        {"buffers", json::array({{{"byteLength", chunk.bytes.size()}}})},
    };
    if (!extensionsUsed.empty()) {
        document["extensionsUsed"] = extensionsUsed;
    }
    if (!images.empty()) {
        document["images"] = images;
        document["textures"] = textures;
        document["samplers"] = samplers;
    }

    const std::string text = document.dump();
    const std::vector<unsigned char> jsonBytes(text.begin(), text.end());
    std::vector<unsigned char> file(12);
    AppendChunk(file, 0x4E4F534Au, jsonBytes, ' ');  // "JSON"
    AppendChunk(file, 0x004E4942u, chunk.bytes, 0);  // "BIN\0"
    const std::uint32_t header[3] = {0x46546C67u, 2, static_cast<std::uint32_t>(file.size())};  // "glTF", version 2
    std::memcpy(file.data(), header, sizeof header);
    return file;
}
