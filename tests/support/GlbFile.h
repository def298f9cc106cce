#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

// A binary glTF file taken apart for tests: its JSON and its binary chunk, and
// the data of its accessors and images. Checks the container as it reads.
class GlbFile {
public:
    // False, with the reason in `error`, when the bytes are no well-formed GLB
    // (header, lengths, chunk types, 4-byte alignment).
    bool Read(const std::vector<unsigned char>& bytes);

    // The floats of a FLOAT accessor, components of each element together.
    std::vector<float> Floats(int accessor) const;
    // The values of an UNSIGNED_INT or UNSIGNED_SHORT accessor.
    std::vector<std::uint32_t> Indices(int accessor) const;
    // The bytes of image `image`.
    std::vector<unsigned char> Image(int image) const;
    // The node called `name`, or null.
    const nlohmann::json* Node(const std::string& name) const;
    // The first primitive of the mesh of the node called `name`.
    const nlohmann::json& Primitive(const std::string& name) const;

    nlohmann::json document;
    std::vector<unsigned char> binary;
    std::string error;

private:
    const unsigned char* View(int view, std::size_t* size) const;
};
