// Prints what "高さと傾きで塗る" costs on a whole 512 x 512 map of rolling
// hills over the built-in atlas with terrains, through the editor with its
// windows as a session opens them: the rules worked out alone, then worked
// out and performed as one step until every window has been told; then its
// undo. Five rules: shallow water, sand, rock on steep ground, snow, grass
// for the rest. The argument sets the number of runs (9).

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/PaintRulesDialog.h"
#include "io/TextEncoding.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/PaintRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kMapSize = 512;

double HillHeight(int column, int row)
{
    return 6.0 + 5.5 * std::sin(column * 0.05) * std::cos(row * 0.04) + 1.5 * std::sin(column * 0.31 + row * 0.17);
}

PaintRule TerrainRule(UINT name, double heightFrom, double heightTo, double slopeFrom, double slopeTo)
{
    return PaintRule{-1, Utf8FromAnsi(Text(name)), heightFrom, heightTo, slopeFrom, slopeTo};
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
    editor.m_terrains.UseTerrainAtlas();
    COxelD3DTerrainChipManager& terrain = session.terrain();
    for (int row = 0; row < kMapSize; ++row) {
        for (int column = 0; column < kMapSize; ++column) {
            terrain.SetHeight(column, row, HillHeight(column, row));
        }
    }
    editor.ForgetHistory();
    const std::vector<PaintRule> rules = {
        TerrainRule(IDS_TERRAIN_SHALLOW_WATER, 0, 2, 0, 90), TerrainRule(IDS_TERRAIN_SAND, 2, 3, 0, 90),
        TerrainRule(IDS_TERRAIN_ROCK, 0, 16, 35, 90),        TerrainRule(IDS_TERRAIN_SNOW, 11, 16, 0, 90),
        TerrainRule(IDS_TERRAIN_GRASS, 0, 16, 0, 90),
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
