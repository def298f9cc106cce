// Prints what the editor's 2D windows cost for each map size and cell size: one
// full repaint of the height and texture windows; the texture mapping window
// drawn from scratch (after a refresh), repainted, and one click on it until it
// has repainted.

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const int kRepeats = 10;

// The median of `repeats` runs of `work`, in milliseconds.
template <class Work>
double MedianMs(Work work)
{
    const std::vector<double> times = SortedRunTimesMs(kRepeats, work);
    return times[times.size() / 2];
}

// A map whose cells all differ, so no tile repeats its neighbour's picture.
void PaintVariedMap(COxelD3DTerrainChipManager& terrain)
{
    for (int row = 0; row < terrain.m_mapHeight; ++row) {
        for (int column = 0; column < terrain.m_mapWidth; ++column) {
            terrain.SetMapChip(column, row, (column + 3 * row) % 32);
            terrain.SetMapChipRotation(column, row, (column + row) % 4);
        }
    }
}

}  // namespace

int main()
{
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    std::printf("Editor windows, median of %d runs (ms)\n", kRepeats);
    std::printf("%-8s %-6s %10s %10s %16s %10s %12s\n", "map", "cell", "height", "texture", "mapping fresh",
                "mapping", "click->paint");
    for (int size : {16, 32, 64}) {
        session.editor().NewMap(size, size);
        PaintVariedMap(session.terrain());
        for (int cell : {10, 16, 32}) {
            mapping->SetCellSize(cell, cell);
            mapping->Refresh();
            const double height = MedianMs([&] { session.window(kHeightWindow)->Redraw(); });
            const double texture = MedianMs([&] { session.window(kTextureWindow)->Redraw(); });
            const double fresh = MedianMs([&] { mapping->Refresh(); });
            const double paint = MedianMs([&] { mapping->Redraw(); });
            const POINT middle = {cell * size / 2 + 1, cell * size / 2 + 1};
            const double click = MedianMs([&] { session.Click(kTextureMappingWindow, middle, true); });
            std::printf("%2dx%-5d %-6d %10.2f %10.2f %16.2f %10.2f %12.2f\n", size, size, cell, height, texture, fresh,
                        paint, click);
        }
    }
    return 0;
}
