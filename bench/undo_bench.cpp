// Prints what undo and redo cost on a 64 x 64 map with every editor window
// open: one height click and one chip click taken back and done again, until
// every window has repainted, and until the next frame is drawn as well; then
// the history's memory after 1,000 height clicks and after 1,000 chip clicks.

#include "app/COxelD3DApplication.h"
#include "editor/CellStep.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/HeightStep.h"
#include "support/EditorSession.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const int kRepeats = 21;

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Draws the next frame now, whatever the frame timer says.
void DrawFrame(COxelD3DApplication& application)
{
    static DWORD now = 1000000;
    now += 1000;
    application.RenderFrame(now);
}

}  // namespace

int main()
{
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(64, 64);
    editor.OpenWindow(kMapEditWindow);
    editor.OpenWindow(kBillboardSettingWindow);
    COxelD3DTerrainChipManager& terrain = session.terrain();
    for (int row = 0; row < 64; ++row) {
        for (int column = 0; column < 64; ++column) {
            terrain.SetMapChip(column, row, (column + 3 * row) % 32);
        }
    }
    ShowWindow(session.application().m_hWnd, SW_SHOWNOACTIVATE);
    DrawFrame(session.application());

    std::printf("Undo and redo of one click on a 64 x 64 map, every window open, median of %d runs (ms)\n",
                kRepeats);
    std::printf("%-14s %12s %12s %18s %18s\n", "click", "undo", "redo", "undo + frame", "redo + frame");
    const struct {
        const char* name;
        int window;
        bool right;
    } clicks[] = {{"height", kHeightWindow, false}, {"chip turn", kTextureMappingWindow, true}};
    for (const auto& click : clicks) {
        editor.ForgetHistory();
        session.Click(click.window, POINT{205, 205}, click.right);
        // Undo and redo by turns, each timed alone: without and with the frame.
        std::vector<double> times[4];
        for (int run = 0; run < kRepeats; ++run) {
            for (int withFrame = 0; withFrame < 2; ++withFrame) {
                for (int redo = 0; redo < 2; ++redo) {
                    const double start = SecondsNow();
                    if (redo) {
                        editor.Redo();
                    } else {
                        editor.Undo();
                    }
                    if (withFrame) {
                        DrawFrame(session.application());
                    }
                    times[withFrame * 2 + redo].push_back((SecondsNow() - start) * 1000.0);
                }
            }
        }
        std::vector<double> frames;
        for (int run = 0; run < kRepeats; ++run) {
            const double start = SecondsNow();
            DrawFrame(session.application());
            frames.push_back((SecondsNow() - start) * 1000.0);
        }
        std::printf("%-14s %12.2f %12.2f %18.2f %18.2f   (a frame alone: %.2f)\n", click.name, Median(times[0]),
                    Median(times[1]), Median(times[2]), Median(times[3]), Median(frames));
    }

    std::printf("\nHistory memory, 64 x 64 map\n");
    editor.ForgetHistory();
    for (int click = 0; click < 1000; ++click) {
        const int column = click % 64;
        const int row = click / 64;
        editor.Perform(std::make_unique<HeightStep>(column, row, terrain.GetHeight(column, row) + 0.5));
    }
    std::printf("1,000 height clicks: %zu steps, %zu bytes (%.1f KiB), %.0f bytes a click\n", editor.m_history.Count(),
                editor.m_history.Bytes(), editor.m_history.Bytes() / 1024.0, editor.m_history.Bytes() / 1000.0);
    editor.ForgetHistory();
    for (int click = 0; click < 1000; ++click) {
        auto step = std::make_unique<CellStep>();
        step->Turn(click % 64, click / 64);
        editor.Perform(std::move(step));
    }
    std::printf("1,000 chip clicks:   %zu steps, %zu bytes (%.1f KiB), %.0f bytes a click\n", editor.m_history.Count(),
                editor.m_history.Bytes(), editor.m_history.Bytes() / 1024.0, editor.m_history.Bytes() / 1000.0);
    std::printf("memory bound of the history: %zu MiB\n", MapHistory::kDefaultByteLimit >> 20);
    return 0;
}
