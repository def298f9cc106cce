// Prints what the file menu's heightmap, glTF and picture commands cost on a
// 64 x 64 map with four visible planes, end to end as the menu does them after
// its dialog: gathering, encoding, and writing the file through a temporary
// one (or reading, decoding and applying it, with the windows brought up to
// date). Also the encoding alone, in memory.

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/MapImportExport.h"
#include "io/Heightmap.h"
#include "io/MapFileDisk.h"
#include "io/MapPicture.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/BlackPng.h"
#include "support/EditorSession.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRepeats = 10;
const int kMapSize = 64;
const int kPlanes = 4;

}  // namespace

int main()
{
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    session.MakeVariedMap(kMapSize, kPlanes, true);
    const COxelD3DTerrainChipManager& terrain = *editor.m_terrain;

    const ScratchFolder folder("quelmora_import_export_bench");
    const std::string heightmap = folder.path() + "heights.png";
    const std::string model = folder.path() + "map.glb";
    const std::string picture = folder.path() + "map.png";
    if (!ExportHeightmap(&editor, nullptr, heightmap.c_str())) {
        std::printf("the heightmap could not be written to %s\n", heightmap.c_str());
        return 0;
    }

    std::printf("Import and export, %dx%d map with %d visible planes, %d runs (ms)\n", kMapSize, kMapSize, kPlanes,
                kRepeats);
    std::printf("%-40s %8s %8s\n", "", "median", "best");
    PrintTiming("heightmap export", TimeRuns(kRepeats, [&] { ExportHeightmap(&editor, nullptr, heightmap.c_str()); }), "(target 100)");
    PrintTiming("heightmap import", TimeRuns(kRepeats, [&] { ImportHeightmap(&editor, nullptr, heightmap.c_str()); }), "(target 100)");
    std::vector<unsigned char> bytes;
    ReadMapFileBytes(heightmap.c_str(), &bytes);
    PrintTiming("  of which reading the picture", TimeRuns(kRepeats, [&] {
              std::vector<double> heights;
              DecodeHeightmap(bytes.data(), bytes.size(), kMapSize, kMapSize, &heights);
          }),
          "");
    PrintTiming("glTF export", TimeRuns(kRepeats, [&] { ExportGltf(&editor, nullptr, model.c_str()); }), "(target 300)");
    BgraImage atlas;
    atlas.width = terrain.m_chipImage.width;
    atlas.height = terrain.m_chipImage.height;
    atlas.pixels.resize(static_cast<size_t>(atlas.width) * atlas.height * 4);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, atlas.width, -atlas.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, terrain.m_chipImage.hBitmap, 0, atlas.height, atlas.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (size_t i = 3; i < atlas.pixels.size(); i += 4) {
        atlas.pixels[i] = 255;
    }
    PrintTiming("  of which encoding the atlas PNG", TimeRuns(kRepeats, [&] {
              std::vector<unsigned char> png;
              EncodeBgraPng(atlas, &png);
          }),
          "");
    PrintTiming("map picture export", TimeRuns(kRepeats, [&] { ExportMapPicture(&editor, nullptr, picture.c_str()); }),
          "(target 300)");
    std::vector<unsigned char> pictureBytes;
    ReadMapFileBytes(picture.c_str(), &pictureBytes);
    BgraImage drawn;
    DecodeBgra(pictureBytes.data(), pictureBytes.size(), &drawn);
    PrintTiming("  of which encoding the PNG", TimeRuns(kRepeats, [&] {
              std::vector<unsigned char> png;
              EncodeBgraPng(drawn, &png);
          }),
          "");
    // A picture far beyond the pixel limit is refused from its header, before it is decoded.
    const std::vector<unsigned char> huge = BlackPng(30000, 30000);
    char hugeLabel[64];
    std::snprintf(hugeLabel, sizeof hugeLabel, "refusing a 30000x30000 PNG (%.1f MB)", huge.size() / 1e6);
    PrintTiming(hugeLabel, TimeRuns(kRepeats, [&] {
                    std::vector<double> heights;
                    DecodeHeightmap(huge.data(), huge.size(), kMapSize, kMapSize, &heights);
                }),
                "(target 100)");
    std::vector<double> heights;
    DecodeHeightmap(bytes.data(), bytes.size(), kMapSize, kMapSize, &heights);
    std::sort(heights.begin(), heights.end());
    std::printf("\nheights in the heightmap: %d different values\n",
                static_cast<int>(std::unique(heights.begin(), heights.end()) - heights.begin()));
    std::printf("file sizes: heightmap %lld bytes, glTF %lld bytes, map picture %lld bytes\n", FileSize(heightmap),
                FileSize(model), FileSize(picture));
    return 0;
}
