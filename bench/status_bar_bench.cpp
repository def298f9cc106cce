// Prints what one mouse move's readout costs the edit menu's status bar on a
// 512 x 512 map: the text made and set (SetStatusText, which leaves the
// repaint to the next paint), and the same with the status bar repainted after
// every move, as when each move comes after the loop has gone idle; and a
// whole pointer move over the height and texture mapping windows (the tool's
// readout and the preview's cursor). Target: under 1 ms a mouse move.

#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/StatusReadout.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <cstdio>

namespace {

const int kMoves = 2000;
const int kRepeats = 9;

}  // namespace

int main()
{
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(512, 512);
    COxelD3DTerrainChipManager& terrain = session.terrain();
    auto* menu = static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow));
    ShowWindow(menu->m_hWnd, SW_SHOWNOACTIVATE);
    HWND status = menu->StatusBar();

    // Each move lands on another vertex or cell, so every text differs from the last.
    int move = 0;
    const auto readout = [&] {
        const int x = (move * 7) % 512;
        const int y = (move * 13) % 512;
        ++move;
        if (move % 2) {
            editor.ShowStatus(VertexReadout(x, y, terrain.GetHeight(x, y)));
        } else {
            editor.ShowStatus(CellReadout(x, y, terrain.GetMapChip(x, y), terrain.GetMapChipRotation(x, y), -1));
        }
    };
    std::printf("Status bar readout on a 512 x 512 map, per mouse move (%d moves a run, %d runs)\n", kMoves,
                kRepeats);
    const RunTiming set = TimeRuns(kRepeats, [&] {
        for (int i = 0; i < kMoves; ++i) {
            readout();
        }
    });
    const RunTiming painted = TimeRuns(kRepeats, [&] {
        for (int i = 0; i < kMoves; ++i) {
            readout();
            UpdateWindow(status);
        }
    });
    // The whole of a move as the height and texture mapping windows take it:
    // the tool's readout and the preview's cursor, the text set, nothing painted.
    const auto pointerMoves = [&](int index) {
        HWND window = session.handle(index);
        return TimeRuns(kRepeats, [&] {
            for (int i = 0; i < kMoves; ++i) {
                SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % 300, (i * 13) % 300));
            }
        });
    };
    const RunTiming heights = pointerMoves(kHeightWindow);
    const RunTiming mapping = pointerMoves(kTextureMappingWindow);
    std::printf("%-28s %10s %10s %8s\n", "", "median", "best", "target");
    std::printf("%-28s %8.4f ms %7.4f ms %8s\n", "move in the height window", heights.median / kMoves,
                heights.best / kMoves, "< 1 ms");
    std::printf("%-28s %8.4f ms %7.4f ms %8s\n", "move in texture mapping", mapping.median / kMoves,
                mapping.best / kMoves, "< 1 ms");
    std::printf("%-28s %8.4f ms %7.4f ms %8s\n", "text made and set", set.median / kMoves, set.best / kMoves, "< 1 ms");
    std::printf("%-28s %8.4f ms %7.4f ms %8s\n", "text set and painted", painted.median / kMoves,
                painted.best / kMoves, "< 1 ms");
    return 0;
}
