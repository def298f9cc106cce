// Prints what "高さと傾きで塗る" costs on a whole 512 x 512 map of rolling
// hills, through the editor with its windows as a session opens them: the
// rules worked out alone, then worked out and performed as one step until
// every window has been told; then its undo. The atlas is a plain one with a
// description of five terrains beside it, as a user's own would be. Five
// rules: water, sand, rock on steep ground, snow, grass for the rest. The
// argument sets the number of runs (9).

#include "editor/AtlasStep.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/PaintRulesDialog.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/PaintRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kMapSize = 512;

double HillHeight(int column, int row)
{
    return 6.0 + 5.5 * std::sin(column * 0.05) * std::cos(row * 0.04) + 1.5 * std::sin(column * 0.31 + row * 0.17);
}

// Chips 0 to 4 are the terrains whole; each pair that meets has four more.
const char kDescription[] =
    "[Terrains]\n"
    "water = 0\nsand = 1\ngrass = 2\nrock = 3\nsnow = 4\n"
    "[Transitions]\n"
    "water, sand = 5/0, 6/0, 7/0, 8/0\n"
    "sand, grass = 9/0, 10/0, 11/0, 12/0\n"
    "grass, rock = 13/0, 14/0, 15/0, 16/0\n"
    "rock, snow = 17/0, 18/0, 19/0, 20/0\n"
    "sand, rock = 21/0, 22/0, 23/0, 24/0\n";

// An atlas of 8 x 4 chips with the description beside it; its path.
std::string WriteAtlas()
{
    const std::string path =
        WriteTestBitmap("paint_rules_bench.bmp", 1024, 512, [](int x, int y) { return (x / 128 + 8 * (y / 128)) * 0x070503u; });
    const std::string description = path.substr(0, path.size() - 4) + ".terrain.ini";
    if (FILE* file = std::fopen(description.c_str(), "wb")) {
        std::fputs(kDescription, file);
        std::fclose(file);
    }
    return path;
}

PaintRule TerrainRule(const char* name, double heightFrom, double heightTo, double slopeFrom, double slopeTo)
{
    return PaintRule{-1, name, heightFrom, heightTo, slopeFrom, slopeTo};
}

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
    editor.Perform(std::make_unique<AtlasStep>(WriteAtlas().c_str()));
    COxelD3DTerrainChipManager& terrain = session.terrain();
    for (int row = 0; row < kMapSize; ++row) {
        for (int column = 0; column < kMapSize; ++column) {
            terrain.SetHeight(column, row, HillHeight(column, row));
        }
    }
    editor.ForgetHistory();
    const std::vector<PaintRule> rules = {
        TerrainRule("water", 0, 2, 0, 90),  TerrainRule("sand", 2, 3, 0, 90), TerrainRule("rock", 0, 16, 35, 90),
        TerrainRule("snow", 11, 16, 0, 90), TerrainRule("grass", 0, 16, 0, 90),
    };
    std::printf("paint_rules_bench: five rules on a %d x %d map of hills (%d terrains), median and best of %d runs "
                "(ms)\n",
                kMapSize, kMapSize, editor.m_terrains.Terrains().Count(), repeats);
    std::printf("%-40s %8s %8s\n", "", "median", "best");

    std::size_t changed = 0;
    PrintTiming("rules worked out", TimeRuns(repeats, [&] {
                    changed = ApplyPaintRules(
                                  rules, editor.m_terrains.Terrains(), kMapSize, kMapSize,
                                  [&](int column, int row) { return terrain.GetHeight(column, row); },
                                  [&](int index) {
                                      return ChipTurn{terrain.m_cells[index].m_chipIndex,
                                                      terrain.m_cells[index].m_rotation};
                                  })
                                  .size();
                }),
                "");
    std::vector<double> paints;
    std::vector<double> undos;
    for (int run = 0; run < repeats; ++run) {
        double start = SecondsNow();
        PaintMapByRules(editor, rules);
        paints.push_back((SecondsNow() - start) * 1e3);
        start = SecondsNow();
        editor.Undo();
        undos.push_back((SecondsNow() - start) * 1e3);
        editor.ForgetHistory();
    }
    PrintTiming("painted (worked out, Perform, told)", TimingOf(paints), "< 1000");
    PrintTiming("undo", TimingOf(undos), "");
    std::printf("cells changed: %zu of %d\n", changed, kMapSize * kMapSize);
    return 0;
}
