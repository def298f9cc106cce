// Draws the program's built-in pictures (the map-chip atlases, the sky panorama and the small icon) and the sample
// textures that live in data/. Everything comes from integer hashes and a small generator of our own, so every run
// writes the same bytes and the repository needs to carry no large binaries.
//
//   generate_images OUTDIR                 writes OUTDIR/mapchip.bmp, OUTDIR/terrainchip.bmp, OUTDIR/background.bmp,
//                                          OUTDIR/smallicon.ico
//   generate_images --data DATADIR         writes DATADIR/effect.dds, DATADIR/planetexture.dds, DATADIR/billboard.dds
//   generate_images --check-data DATADIR   exits with 0 when the files in DATADIR are exactly what --data writes

#include "AtlasTiles.h"
#include "Encoders.h"
#include "Panorama.h"
#include "SmallImages.h"
#include "TransitionTiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace {

struct NamedFile {
    const char* name;
    std::vector<uint8_t> bytes;
};

std::vector<NamedFile> DataFiles()
{
    return {{"effect.dds", EncodeDds(DrawEffect())},
            {"planetexture.dds", EncodeDds(DrawPlaneWater())},
            {"billboard.dds", EncodeDds(DrawTree())}};
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "generate_images: cannot open %s for writing\n", path.string().c_str());
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    const bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed) {
        std::fprintf(stderr, "generate_images: failed writing %s\n", path.string().c_str());
        return false;
    }
    return true;
}

bool MakeDirectory(const std::filesystem::path& dir)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir, error)) {
        std::fprintf(stderr, "generate_images: cannot create directory %s\n", dir.string().c_str());
        return false;
    }
    return true;
}

int WriteResources(const std::filesystem::path& dir)
{
    if (!MakeDirectory(dir)) {
        return 1;
    }
    // The terrain atlas starts with the very chips of the map-chip atlas, drawn once for both.
    std::vector<Image> chips = DrawAtlasChips();
    if (!WriteBytes(dir / "mapchip.bmp", EncodeBmp(LayOutAtlas(chips)))) {
        return 1;
    }
    std::vector<Image> transitions = DrawTransitionChips(chips);
    chips.insert(chips.end(), std::make_move_iterator(transitions.begin()), std::make_move_iterator(transitions.end()));
    if (!WriteBytes(dir / "terrainchip.bmp", EncodeBmp(LayOutAtlas(chips)))) {
        return 1;
    }
    if (!WriteBytes(dir / "background.bmp", EncodePanorama())) {
        return 1;
    }
    if (!WriteBytes(dir / "smallicon.ico", EncodeIcon({DrawIcon(32), DrawIcon(16)}))) {
        return 1;
    }
    return 0;
}

int WriteData(const std::filesystem::path& dir)
{
    if (!MakeDirectory(dir)) {
        return 1;
    }
    for (const NamedFile& file : DataFiles()) {
        if (!WriteBytes(dir / file.name, file.bytes)) {
            return 1;
        }
    }
    return 0;
}

// The committed sample textures must be what this program draws, or a change
// to the drawing has not been carried into data/.
int CheckData(const std::filesystem::path& dir)
{
    int status = 0;
    for (const NamedFile& file : DataFiles()) {
        const std::filesystem::path path = dir / file.name;
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> found((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.is_open()) {
            std::fprintf(stderr, "generate_images: cannot read %s\n", path.string().c_str());
            status = 1;
        } else if (found != file.bytes) {
            std::fprintf(stderr, "generate_images: %s is not what the generator draws (generate_images --data)\n",
                         path.string().c_str());
            status = 1;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string option = argc >= 2 ? argv[1] : "";
    if (argc == 2 && option.rfind("--", 0) != 0) {
        return WriteResources(argv[1]);
    }
    if (argc == 3 && option == "--data") {
        return WriteData(argv[2]);
    }
    if (argc == 3 && option == "--check-data") {
        return CheckData(argv[2]);
    }
    std::fprintf(stderr,
                 "usage: generate_images OUTDIR\n"
                 "       generate_images --data DATADIR\n"
                 "       generate_images --check-data DATADIR\n");
    return 2;
}
