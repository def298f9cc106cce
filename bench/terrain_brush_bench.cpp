// Prints what a stroke of the terrain brush costs on a 512 x 512 map of the
// built-in atlas with terrains, with every window open: each pointer move
// across the texture mapping window with the 1 x 1 and the 9 x 9 brush, until
// every window has repainted what changed. Sand is painted into grass, and
// shallow water, which the set joins to grass only through a ring of sand. The
// target is 16 ms a move. The argument sets the number of pointer moves (60).

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kMapSize = 512;
const int kSquare = 10;

// One stroke along a row of the texture mapping window, a square per pointer
// move; the time of each move.
std::vector<double> Stroke(const EditorSession& session, int row, int moves)
{
    HWND hwnd = session.handle(kTextureMappingWindow);
    const int y = row * kSquare + kSquare / 2;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kSquare / 2, y));
    std::vector<double> times;
    for (int column = 1; column <= moves; ++column) {
        const double start = SecondsNow();
        SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(column * kSquare + kSquare / 2, y));
        times.push_back((SecondsNow() - start) * 1000.0);
    }
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(moves * kSquare + kSquare / 2, y));
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    const int moves = argc > 1 ? std::max(2, std::atoi(argv[1])) : 60;
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(kMapSize, kMapSize);
    editor.m_terrains.UseTerrainAtlas();
    editor.OpenWindow(kMapEditWindow);
    auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    mapping->SetCellSize(kSquare, kSquare);
    mapping->Refresh();
    editor.m_tools.m_dragPaint = 1;

    std::printf("terrain_brush_bench: a stroke on a %d x %d map, every window open, per pointer move, median and "
                "best of %d moves (ms; target 16)\n",
                kMapSize, kMapSize, moves);
    std::printf("%-40s %8s %8s\n", "", "median", "best");
    const struct {
        const char* name;
        int brush;
        int terrain;
    } strokes[] = {
        {"1 x 1 brush, sand into grass", 1, 1},
        {"9 x 9 brush, sand into grass", 9, 1},
        {"9 x 9 brush, shallow water into grass", 9, 5},
    };
    int row = 20;
    for (const auto& stroke : strokes) {
        editor.m_tools.m_brushSize = stroke.brush;
        editor.m_terrains.Pick(stroke.terrain);
        PrintTiming(stroke.name, TimingOf(Stroke(session, row, moves)), "< 16");
        row += 20;
    }
    return 0;
}
