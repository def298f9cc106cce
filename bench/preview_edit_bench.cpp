// Prints what editing in the preview costs on a 512 x 512 map of rolling
// hills. First the ground under the pointer: the time of one pick, through a
// grid of the preview's pixels, from four views (the start view's angle, the
// map framed with "F", a view low across the hills, one turned to look
// along a row), with the map repeated; the median and the slowest pick.
//
// Then the frame rate while the left button strokes "上げ下げ" with a 3 x 3
// brush across the preview, against the frame rate without a stroke, in
// turns in the same run, as the program's loop runs: each frame the pointer
// moves (a mouse message to the preview, whose stroke raises what it
// reaches), the messages waiting are dispatched, then the frame is drawn.
// The 2D windows are shown and repaint as they do for the user.

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/BenchPreview.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/GroundPick.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kMapSize = 512;
const int kRounds = 9;
const int kFramesPerRound = 60;

DWORD g_clock = 100000;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microseconds per pick through a 64 x 48 grid of pixels: median and slowest.
void PrintPicks(const char* view, COxelD3DSceneBase& scene, COxelD3DTerrainChipManager& map)
{
    std::vector<double> times;
    int met = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            D3DXVECTOR3 from;
            D3DXVECTOR3 to;
            GroundHit hit;
            const double start = SecondsNow();
            scene.m_camera->PixelRay(x * 10.0f + 5.0f, y * 10.0f + 5.0f, 640.0f, 480.0f, &from, &to);
            met += PickGround(map, from, to, true, &hit);
            times.push_back((SecondsNow() - start) * 1e6);
        }
    }
    std::printf("%-36s %9.1f %9.1f %7d\n", view, Median(times), *std::max_element(times.begin(), times.end()), met);
}

// Milliseconds spent, over all stroking rounds, in the pointer's messages and
// the repaints they cause, outside the frames.
double g_messageMs = 0.0;

// The preview's frames per second over one round, stroking or not.
double Round(COxelD3DApplication& application, HWND preview, bool stroking, int* step)
{
    RECT client;
    GetClientRect(preview, &client);
    const auto pointer = [&](int k) {
        const double angle = k * 0.02;
        return MAKELPARAM(client.right / 2 + static_cast<int>(180 * std::cos(angle)),
                          client.bottom / 2 + static_cast<int>(120 * std::sin(angle)));
    };
    if (stroking) {
        SendMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, pointer(*step));
    }
    const double start = SecondsNow();
    for (int frame = 0; frame < kFramesPerRound; ++frame) {
        const double messages = SecondsNow();
        if (stroking) {
            SendMessageA(preview, WM_MOUSEMOVE, MK_LBUTTON, pointer(++*step));
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            COxelD3DApplication::DispatchLoopMessage(&message);
        }
        if (stroking) {
            g_messageMs += (SecondsNow() - messages) * 1e3;
        }
        application.RenderFrame(g_clock += 16);
    }
    WaitUntilDrawn(g_device);
    const double seconds = SecondsNow() - start;
    if (stroking) {
        SendMessageA(preview, WM_LBUTTONUP, 0, pointer(*step));
    }
    return kFramesPerRound / seconds;
}

}  // namespace

int main()
{
    BenchPreview preview;
    if (!preview.ok()) {
        std::printf("no Direct3D device\n");
        return 0;
    }
    COxelD3DApplication& application = *preview.m_application;
    COxelD3DSceneBase& scene = *application.m_scene;
    COxelD3DTerrainEditor& editor = *COxelD3DTerrainEditor::GetInstance();
    editor.NewMap(kMapSize, kMapSize);
    COxelD3DTerrainChipManager& map = *scene.m_terrain->m_pChipManager;
    for (int row = 0; row < kMapSize; ++row) {
        for (int column = 0; column < kMapSize; ++column) {
            map.StoreHeight(column, row, 4.0 + 3.0 * std::sin(column * 0.11) * std::cos(row * 0.07));
        }
    }
    map.UpdateAllCells();
    editor.ForgetHistory();
    // As in the program, a frame has culled the map, and so brought the
    // quad tree's height ranges up to date, before the pointer moves.
    application.RenderFrame(g_clock += 16);

    std::printf("preview_edit_bench: %d x %d map of rolling hills, repeated\n", kMapSize, kMapSize);
    std::printf("%-36s %9s %9s %7s\n", "one pick (us), 64 x 48 pixels", "median", "slowest", "ground");
    COxelD3DCameraBase& camera = *scene.m_camera;
    camera.LookFrom(D3DXVECTOR3(256.0f, 16.0f, 272.0f), D3DXVECTOR3(256.0f, 8.0f, 256.0f));
    PrintPicks("the start view's angle", scene, map);
    scene.FrameMap();
    PrintPicks("framed (F)", scene, map);
    camera.LookFrom(D3DXVECTOR3(100.0f, 9.0f, 100.0f), D3DXVECTOR3(100.0f, 7.0f, 80.0f));
    PrintPicks("low across the hills", scene, map);
    camera.Turn(D3DX_PI / 2.0f, 0.1f);
    PrintPicks("turned along a row", scene, map);

    // Stroking where the user would look: the start view's angle.
    camera.LookFrom(D3DXVECTOR3(256.0f, 16.0f, 272.0f), D3DXVECTOR3(256.0f, 8.0f, 256.0f));
    editor.m_tools.m_previewEdit = COxelPaintTools::kPreviewHeights;
    editor.m_tools.m_dragPaint = 1;
    editor.m_tools.m_brushSize = 3;
    int step = 0;
    Round(application, preview.m_window, false, &step);
    std::vector<double> still;
    std::vector<double> stroking;
    for (int round = 0; round < kRounds; ++round) {
        still.push_back(Round(application, preview.m_window, false, &step));
        stroking.push_back(Round(application, preview.m_window, true, &step));
    }
    const double withoutStroke = Median(still);
    const double withStroke = Median(stroking);
    std::printf("\n%-36s %9s\n", "frames per second, median of rounds", "");
    std::printf("%-36s %9.1f\n", "without a stroke", withoutStroke);
    std::printf("%-36s %9.1f\n", "stroking (3 x 3 raise)", withStroke);
    std::printf("%-36s %9.2f (at least 0.9 wanted)\n", "stroking / without", withStroke / withoutStroke);
    std::printf("%-36s %9.2f\n", "ms a stroke piece takes, repaints too", g_messageMs / (kRounds * kFramesPerRound));
    std::printf("%-36s %9zu\n", "undo steps the strokes made", editor.m_history.Index());
    // The layout the program leaves beside itself keeps the tools: the
    // stroking tools chosen here are not the next run's.
    editor.m_tools = COxelPaintTools();
    return 0;
}
