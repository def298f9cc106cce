#include "support/GlbFile.h"

#include <cstring>

namespace {

std::uint32_t Word(const std::vector<unsigned char>& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

}  // namespace

bool GlbFile::Read(const std::vector<unsigned char>& bytes)
{
    if (bytes.size() < 28 || Word(bytes, 0) != 0x46546C67u || Word(bytes, 4) != 2 || Word(bytes, 8) != bytes.size()) {
        error = "no GLB header, or its length is not the file's";
        return false;
    }
    std::size_t at = 12;
    int chunk = 0;
    while (at < bytes.size()) {
        if (at + 8 > bytes.size()) {
            error = "a chunk header runs past the end";
            return false;
        }
        const std::uint32_t length = Word(bytes, at);
        const std::uint32_t type = Word(bytes, at + 4);
        if (length % 4 != 0 || at + 8 + length > bytes.size()) {
            error = "a chunk is not a whole number of words or runs past the end";
            return false;
        }
        const unsigned char* data = &bytes[at + 8];
        if (chunk == 0) {
            if (type != 0x4E4F534Au) {
                error = "the first chunk is not JSON";
                return false;
            }
            document = nlohmann::json::parse(data, data + length, nullptr, false);
            if (document.is_discarded()) {
                error = "the JSON chunk does not parse";
                return false;
            }
        } else if (chunk == 1 && type == 0x004E4942u) {
            binary.assign(data, data + length);
        }
        at += 8 + length;
        ++chunk;
    }
    return true;
}

const unsigned char* GlbFile::View(int view, std::size_t* size) const
{
    const nlohmann::json& v = document["bufferViews"][view];
    *size = v["byteLength"].get<std::size_t>();
    return &binary.at(v.value("byteOffset", std::size_t(0)));
}

std::vector<float> GlbFile::Floats(int accessor) const
{
    const nlohmann::json& a = document["accessors"][accessor];
    const std::string type = a["type"];
    const std::size_t components = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : 4;
    std::vector<float> values(a["count"].get<std::size_t>() * components);
    std::size_t size = 0;
    const unsigned char* data = View(a["bufferView"], &size) + a.value("byteOffset", std::size_t(0));
    std::memcpy(values.data(), data, values.size() * sizeof(float));
    return values;
}

std::vector<std::uint32_t> GlbFile::Indices(int accessor) const
{
    const nlohmann::json& a = document["accessors"][accessor];
    std::vector<std::uint32_t> values(a["count"].get<std::size_t>());
    std::size_t size = 0;
    const unsigned char* data = View(a["bufferView"], &size) + a.value("byteOffset", std::size_t(0));
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (a["componentType"] == 5123) {
            std::uint16_t value = 0;
            std::memcpy(&value, data + i * 2, 2);
            values[i] = value;
        } else {
            std::memcpy(&values[i], data + i * 4, 4);
        }
    }
    return values;
}

std::vector<unsigned char> GlbFile::Image(int image) const
{
    std::size_t size = 0;
    const unsigned char* data = View(document["images"][image]["bufferView"], &size);
    return std::vector<unsigned char>(data, data + size);
}

const nlohmann::json* GlbFile::Node(const std::string& name) const
{
    for (const nlohmann::json& node : document["nodes"]) {
        if (node.value("name", "") == name) {
            return &node;
        }
    }
    return nullptr;
}

const nlohmann::json& GlbFile::Primitive(const std::string& name) const
{
    const nlohmann::json* node = Node(name);
    return document["meshes"][(*node)["mesh"].get<int>()]["primitives"][0];
}
