// Prints what the fill and the exports cost on a 512 x 512 map, through the
// editor as its menu items and tools do them, with the 2D windows hidden: at
// this size they are still as large as the map, and repainting them is their
// own figure. A fill of the whole uniform map as one action, its undo and its
// redo, and the bytes the history keeps for it; then the map varied (heights
// in waves, the fill's chip turned in places, a billboard on every cell as a
// new one stands) and its heightmap, glTF model and picture written through a
// temporary file as the menu writes them. Under each export, its encoding
// alone, in memory. The argument sets the number of runs of each (5).

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/MapImportExport.h"
#include "editor/MapPainting.h"
#include "io/GltfExport.h"
#include "io/Heightmap.h"
#include "io/MapPicture.h"
#include "io/OpenedMap.h"
#include "support/EditorSession.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kMapSize = 512;
const int kFillChip = 5;

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    for (int index = 0; index < kEditorWindowCount; ++index) {
        if (HWND window = session.handle(index)) {
            ShowWindow(window, SW_HIDE);
        }
    }
    const double made = SecondsNow();
    editor.NewMap(kMapSize, kMapSize);
    const double newMapMs = (SecondsNow() - made) * 1e3;
    std::printf("large_map_tools_bench: %d x %d map through the editor, its 2D windows hidden (ms)\n", kMapSize,
                kMapSize);
    std::printf("%-44s %8.1f\n", "new map", newMapMs);
    std::printf("%-44s %8s %8s\n", "", "median", "best");

    // Each fill covers the whole map, which its undo makes uniform again.
    std::vector<double> fills;
    std::vector<double> undos;
    std::vector<double> redos;
    size_t fillBytes = 0;
    for (int run = 0; run < repeats; ++run) {
        const size_t before = editor.m_history.Bytes();
        double start = SecondsNow();
        BeginPaintAction(editor);
        FillChips(editor, GridPoint{run, run}, kFillChip);
        EndPaintAction(editor);
        fills.push_back((SecondsNow() - start) * 1e3);
        if (run == 0) {
            fillBytes = editor.m_history.Bytes() - before;  // later fills replace the one undone
        }
        start = SecondsNow();
        editor.Undo();
        undos.push_back((SecondsNow() - start) * 1e3);
        start = SecondsNow();
        editor.Redo();
        redos.push_back((SecondsNow() - start) * 1e3);
        editor.Undo();
    }
    const auto timing = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return RunTiming{times[times.size() / 2], times[0]};
    };
    PrintTiming("fill of the whole uniform map", timing(fills), "(target 200)");
    PrintTiming("  its undo", timing(undos), "(target 100)");
    PrintTiming("  its redo", timing(redos), "");
    std::printf("%-44s %8.2f MB (%zu bytes, %.1f a cell)\n", "  the history's bytes for it", fillBytes / 1048576.0,
                fillBytes, static_cast<double>(fillBytes) / (kMapSize * kMapSize));

    // A varied map to export.
    editor.Redo();
    std::vector<double> heights(static_cast<size_t>(kMapSize) * kMapSize);
    for (int row = 0; row < kMapSize; ++row) {
        for (int column = 0; column < kMapSize; ++column) {
            heights[static_cast<size_t>(row) * kMapSize + column] =
                8.0 + 6.0 * std::sin(column / 40.0) * std::cos(row / 30.0);
        }
    }
    editor.ReplaceHeights(heights);
    std::vector<GridPoint> turned;
    for (int i = 0; i < kMapSize * kMapSize; i += 7) {
        turned.push_back(GridPoint{i % kMapSize, i / kMapSize});
    }
    TurnChips(editor, turned);
    editor.m_terrain->AddBillboard();

    const ScratchFolder folder("quelmora_large_map_tools_bench");
    const std::string heightmap = folder.path() + "heights.png";
    const std::string model = folder.path() + "map.glb";
    const std::string picture = folder.path() + "map.png";
    MapFileContents map;
    editor.m_mapFile->Gather(&map);
    PrintTiming("heightmap export", TimeRuns(repeats, [&] { ExportHeightmap(&editor, nullptr, heightmap.c_str()); }),
                "(target 300)");
    PrintTiming("  of which encoding the PNG", TimeRuns(repeats, [&] {
                    std::vector<unsigned char> png;
                    EncodeHeightmap(VertexHeights(map), map.width, map.height, &png);
                }),
                "");
    PrintTiming("glTF export", TimeRuns(repeats, [&] { ExportGltf(&editor, nullptr, model.c_str()); }),
                "(target 3000)");
    GltfAtlas atlas;
    atlas.width = editor.m_terrain->m_chipImage.width;
    atlas.height = editor.m_terrain->m_chipImage.height;
    PrintTiming("  of which the model without its pictures",
                TimeRuns(repeats, [&] { EncodeTerrainGlb(map, atlas, {}, {}); }), "");
    PrintTiming("map picture export", TimeRuns(repeats, [&] { ExportMapPicture(&editor, nullptr, picture.c_str()); }),
                "");
    std::printf("\nfile sizes: heightmap %lld bytes, glTF %lld bytes, map picture %lld bytes (%d pixels a side)\n",
                FileSize(heightmap), FileSize(model), FileSize(picture),
                kMapSize * MapPictureCellPixels(kMapSize, kMapSize));
    return 0;
}
