// Prints what opening and saving a 64 x 64 map with four planes costs, end to
// end as the edit menu does it after its dialog: reading, checking and
// applying the file with every window brought up to date, and gathering,
// writing and flushing it. Also the reading and checking alone, and what
// opening the largest file the editor takes costs: the most planes and
// billboards, each with a real image. And what a recovery copy of that map
// costs the main loop (gathering and encoding it), and how long until its
// writer thread has the copy and its note on disk.

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/RecoveryCopy.h"
#include "io/MapFileDisk.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <windows.h>

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
    session.MakeVariedMap(kMapSize, kPlanes, false);

    const ScratchFolder folder("quelmora_map_file_bench");
    const std::string path = folder.path() + "bench.omd";
    COxelMapDataFile& file = *editor.m_mapFile;
    if (!file.Save(path.c_str())) {
        std::printf("the map could not be saved to %s\n", path.c_str());
        return 0;
    }

    std::printf("Map file, %dx%d map with %d planes, %d runs (ms)\n", kMapSize, kMapSize, kPlanes, kRepeats);
    std::printf("%-40s %8s %8s\n", "", "median", "best");
    PrintTiming("save", TimeRuns(kRepeats, [&] { file.Save(path.c_str()); }), "(target 50)");
    PrintTiming("open, end to end", TimeRuns(kRepeats, [&] { file.Load(path.c_str()); }), "(target 200)");
    PrintTiming("  of which reading and checking", TimeRuns(kRepeats, [&] {
              MapFileContents map;
              LoadMapFile(path.c_str(), &map);
          }),
          "");
    // The main loop gathers and encodes; the writer thread does the rest.
    RecoveryCopy recovery(folder.path());
    const auto handOver = [&] {
        MapFileContents map;
        file.Gather(&map);
        recovery.Write(map, path.c_str());
    };
    PrintTiming("recovery copy, the main loop's part", TimeRuns(kRepeats, handOver), "(target 16, a frame)");
    recovery.WaitForWrite();
    PrintTiming("recovery copy, until on disk", TimeRuns(kRepeats, [&] {
                    handOver();
                    recovery.WaitForWrite();
                }),
                "");
    // The new map that opening starts with: the grid and the built-in atlas made
    // again, and the five windows refreshed.
    PrintTiming("  of which the new map", TimeRuns(kRepeats, [&] { editor.NewMap(kMapSize, kMapSize); }), "");

    MapFileContents largest = SampleMap(kMapSize, kMaxMapFilePlanes, kMaxMapFileBillboards);
    CopyMapFileText(largest.atlasFile, "IDB_MAPCHIP");
    for (MapFilePlane& plane : largest.planes) {
        CopyMapFileText(plane.textureFile, "planetexture.dds");
    }
    for (MapFileBillboard& billboard : largest.billboards) {
        CopyMapFileText(billboard.textureFile, "billboard.dds");
    }
    const std::string largestPath = folder.path() + "largest.omd";
    if (SaveMapFile(largestPath.c_str(), largest)) {
        // Seconds, not milliseconds: one run tells enough.
        std::printf("%-40s %8.2f ms, once   (%u planes, %u billboards)\n", "open the largest accepted file",
                    SortedRunTimesMs(1, [&] { file.Load(largestPath.c_str()); })[0], kMaxMapFilePlanes,
                    kMaxMapFileBillboards);
    }
    return 0;
}
