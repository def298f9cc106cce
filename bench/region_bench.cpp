// Prints what a 128 x 128 region costs on a 512 x 512 varied map, through the
// editor with its windows as a session opens them: copying it from the map,
// turning it into the clipboard's bytes and back, and putting it down as one
// step until every window has been told; then its undo and redo, and the bytes
// the history keeps for it. The argument sets the number of runs of each (9).

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/RegionStep.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/MapRegion.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const int kMapSize = 512;
const int kRegionSize = 128;

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    session.MakeVariedMap(kMapSize, 0, false);
    COxelD3DTerrainChipManager& terrain = session.terrain();
    std::printf("region_bench: a %d x %d region on a %d x %d varied map, median and best of %d runs (ms)\n",
                kRegionSize, kRegionSize, kMapSize, kMapSize, repeats);
    std::printf("%-40s %8s %8s\n", "", "median", "best");

    // Across the map's right and bottom edges, as the views show them.
    const MapRect rect{GridPoint{60, 450}, kRegionSize, kRegionSize};
    MapRegion region;
    PrintTiming("copy", TimeRuns(repeats, [&] { region = CopyRegion(terrain, rect); }), "");
    std::vector<unsigned char> bytes;
    PrintTiming("encode", TimeRuns(repeats, [&] { bytes = EncodeRegion(region); }), "");
    MapRegion decoded;
    PrintTiming("decode", TimeRuns(repeats, [&] { DecodeRegion(bytes.data(), bytes.size(), &decoded); }), "");
    const MapRegion turned = TurnedClockwise(decoded);
    PrintTiming("turn", TimeRuns(repeats, [&] { TurnedClockwise(decoded); }), "");

    // Each run puts the turned region down somewhere else and takes it back,
    // so that every run changes the map.
    std::vector<double> puts;
    std::vector<double> undos;
    std::vector<double> redos;
    std::size_t stepBytes = 0;
    std::size_t historyBytes = 0;
    for (int run = 0; run < repeats; ++run) {
        editor.ForgetHistory();
        auto step = std::make_unique<RegionStep>(turned, GridPoint{200 + 37 * run, 500 - 29 * run});
        const RegionStep* held = step.get();
        double start = SecondsNow();
        if (!editor.Perform(std::move(step))) {
            std::printf("the region changed nothing\n");
            return 1;
        }
        puts.push_back((SecondsNow() - start) * 1e3);
        stepBytes = held->Bytes();
        historyBytes = editor.m_history.Bytes();
        start = SecondsNow();
        editor.Undo();
        undos.push_back((SecondsNow() - start) * 1e3);
        start = SecondsNow();
        editor.Redo();
        redos.push_back((SecondsNow() - start) * 1e3);
        editor.Undo();
    }
    PrintTiming("put down (Perform, windows told)", TimingOf(puts), "< 100");
    PrintTiming("undo", TimingOf(undos), "");
    PrintTiming("redo", TimingOf(redos), "");
    std::printf("clipboard bytes: %zu\n", bytes.size());
    std::printf("step bytes: %zu (%.1f a cell), history bytes: %zu\n", stepBytes,
                static_cast<double>(stepBytes) / (kRegionSize * kRegionSize), historyBytes);
    return 0;
}
