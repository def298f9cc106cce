// Prints what the painting tools cost on a 64 x 64 map with the map edit window
// open beside the others: each pointer move of a stroke with the 9 x 9 brush
// across the height and the texture mapping window, until every window has
// repainted what changed; and a fill of the whole uniform map, repainted.
// With the argument "alone" the map edit window stays closed, as at start.

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"
#include "tools/COxelPaintTools.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kMapSize = 64;
const int kFills = 7;

struct Figures {
    double median;
    double worst;
    // Processor time of the whole process per run: on a machine shared with
    // other work the wall-clock times above stretch, this does much less.
    double cpu;
};

Figures Summary(std::vector<double> times, double cpuSeconds)
{
    std::sort(times.begin(), times.end());
    return Figures{times[times.size() / 2], times.back(), cpuSeconds * 1000.0 / times.size()};
}

// One stroke across row 32 of window `index`, whose squares are `square`
// pixels, moving `step` squares per pointer move; the time of each move.
std::vector<double> Stroke(const EditorSession& session, int index, int square, int step, bool right)
{
    HWND hwnd = session.handle(index);
    const int y = 32 * square + square / 2;
    SendMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, 0, MAKELPARAM(square / 2, y));
    std::vector<double> times;
    for (int column = step; column < kMapSize; column += step) {
        const double start = SecondsNow();
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(column * square + square / 2, y));
        times.push_back((SecondsNow() - start) * 1000.0);
    }
    SendMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM((kMapSize - 1) * square, y));
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    // "alone": without the map edit window, to see what it adds.
    const bool withMapEdit = !(argc > 1 && std::string(argv[1]) == "alone");
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(kMapSize, kMapSize);
    if (withMapEdit) {
        editor.OpenWindow(kMapEditWindow);
    }
    auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    mapping->SetCellSize(10, 10);
    mapping->Refresh();
    COxelPaintTools& tools = editor.m_tools;
    tools.m_brushSize = 9;
    tools.m_dragPaint = 1;
    editor.m_selectedChip = 5;

    std::printf("Painting tools on a %d x %d map, every window repainted%s (ms)\n", kMapSize, kMapSize,
                withMapEdit ? ", the map edit window open too" : "");
    std::printf("%-46s %8s %8s %8s %6s\n", "stroke with the 9 x 9 brush, per pointer move", "median", "worst", "CPU",
                "runs");
    const struct {
        const char* name;
        int window;
        int tool;
        bool right;
    } strokes[] = {
        {"height window, raise", kHeightWindow, COxelPaintTools::kRaiseLower, false},
        {"height window, smooth", kHeightWindow, COxelPaintTools::kSmooth, false},
        {"height window, flatten", kHeightWindow, COxelPaintTools::kFlatten, false},
        {"texture mapping window, chips", kTextureMappingWindow, COxelPaintTools::kRaiseLower, false},
        {"texture mapping window, turns", kTextureMappingWindow, COxelPaintTools::kRaiseLower, true},
    };
    for (const auto& stroke : strokes) {
        tools.m_heightTool = stroke.tool;
        for (int step : {1, 8}) {
            // Each stroke on a fresh map with a hill in it, so that every tool has something to do.
            editor.NewMap(kMapSize, kMapSize);
            for (int row = 28; row <= 36; ++row) {
                for (int column = 0; column < kMapSize; column += 3) {
                    session.terrain().SetHeight(column, row, 2.0 + (row + column) % 5);
                }
            }
            const double cpu = ProcessCpuSecondsNow();
            const std::vector<double> times = Stroke(session, stroke.window, 10, step, stroke.right);
            const Figures figures = Summary(times, ProcessCpuSecondsNow() - cpu);
            char name[64];
            std::snprintf(name, sizeof name, "%s, %d square%s a move", stroke.name, step, step > 1 ? "s" : "");
            std::printf("%-46s %8.2f %8.2f %8.2f %6d\n", name, figures.median, figures.worst, figures.cpu,
                        (kMapSize - 1) / step);
        }
    }

    // The whole map is one region of chip 0: the fill covers all 4,096 cells.
    tools.m_dragPaint = 0;
    tools.m_fill = 1;
    std::vector<double> fills;
    double fillCpu = 0.0;
    for (int run = 0; run < kFills; ++run) {
        editor.NewMap(kMapSize, kMapSize);
        const double cpu = ProcessCpuSecondsNow();
        const double start = SecondsNow();
        session.Click(kTextureMappingWindow, POINT{5, 5});
        fills.push_back((SecondsNow() - start) * 1000.0);
        fillCpu += ProcessCpuSecondsNow() - cpu;
    }
    const Figures fill = Summary(fills, fillCpu);
    std::printf("%-46s %8.2f %8.2f %8.2f %6d\n", "fill of the whole uniform map", fill.median, fill.worst, fill.cpu,
                kFills);
    return 0;
}
