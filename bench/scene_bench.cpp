// Prints what a frame of the preview costs from the start view, for 16 x 16,
// 32 x 32 and 64 x 64 maps, with the infinite display on and off, through the
// offscreen target and straight into the back buffer: the shortest and the
// median frame, the processor time of the whole process per frame, and draw
// calls and vertex-buffer locks per frame. Frames are timed in blocks of ten,
// since with Wine's command-stream thread a frame's calls may return long
// before it is drawn; the shortest and the median block count.
//
// "scene_bench before" draws the sky first and every cell and every sky band
// with a call of its own, as the map was first drawn; "scene_bench after"
// draws runs of cells, then the sky with one call behind them, and then takes
// the default frame apart.
// scripts/bench runs both in turns, the first with Wine's command-stream thread
// on, and puts the best rounds side by side. Frames follow one another without
// waiting, as in the program's loop, driven by a clock that advances 16 ms per
// call so that the frame-rate guard never skips one.

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/BenchPreview.h"
#include "support/DrawCallLog.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <d3d9.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kWarmUpFrames = 20;
const int kFrames = 200;
const int kFramesPerBlock = 10;

struct Figures {
    double minimum;
    double median;
    double cpu;
    double drawCalls;
    double locks;
};

DWORD g_clock = 100000;

// Milliseconds per frame over blocks of frames, each block timed from the end
// of the one before.
Figures Measure(COxelD3DApplication& application, DrawCallLog& log)
{
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
    }
    WaitUntilDrawn(g_device);
    log.Clear();
    size_t drawCalls = 0;
    size_t locks = 0;
    std::vector<double> blocks;
    const double cpuStart = ProcessCpuSecondsNow();
    double previous = SecondsNow();
    for (int frame = 1; frame <= kFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
        drawCalls += log.draws.size();
        locks += log.locks.size();
        log.Clear();
        if (frame % kFramesPerBlock == 0) {
            const double now = SecondsNow();
            blocks.push_back((now - previous) * 1e3 / kFramesPerBlock);
            previous = now;
        }
    }
    WaitUntilDrawn(g_device);
    const double cpu = (ProcessCpuSecondsNow() - cpuStart) * 1e3 / kFrames;
    std::sort(blocks.begin(), blocks.end());
    return Figures{blocks.front(), blocks[blocks.size() / 2], cpu, static_cast<double>(drawCalls) / kFrames,
                   static_cast<double>(locks) / kFrames};
}

void PrintHeader()
{
    printf("%-40s %7s %7s %7s %8s %6s\n", "", "min", "median", "CPU", "draw", "buffer");
    printf("%-40s %7s %7s %7s %8s %6s\n", "", "ms", "ms", "ms", "calls", "locks");
}

void Print(const char* title, const Figures& figures)
{
    printf("%-40s %7.2f %7.2f %7.2f %8.1f %6.1f\n", title, figures.minimum, figures.median, figures.cpu,
           figures.drawCalls, figures.locks);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool pieceByPiece = argc > 1 && strcmp(argv[1], "before") == 0;
    BenchPreview preview;
    if (!preview.ok()) {
        printf("no Direct3D device\n");
        return 1;
    }
    COxelD3DApplication* application = preview.m_application;
    DrawCallLog log(g_device);
    COxelD3DSceneBase& scene = *application->m_scene;
    COxelD3DTerrainChipManager& map = *scene.m_terrain->m_pChipManager;
    g_backgroundSphere->m_drawEachBand = pieceByPiece;
    scene.m_skyFirst = pieceByPiece;

    printf("scene_bench %s: start view, %d frames each after %d warm-up frames; %s\n", pieceByPiece ? "before" : "after",
           kFrames, kWarmUpFrames,
           pieceByPiece ? "the sky first, one draw call per cell and per sky band"
                        : "runs of cells, then the sky in one call behind them");
    PrintHeader();
    const int sizes[] = {16, 32, 64};
    for (int size : sizes) {
        map.Release();
        map.Create(size, size);
        map.m_drawEachCell = pieceByPiece;
        for (int toTexture = 1; toTexture >= 0; --toTexture) {
            for (int infinite = 1; infinite >= 0; --infinite) {
                application->m_renderToTexture = toTexture;
                scene.m_showInfinite = infinite;
                char title[64];
                snprintf(title, sizeof title, "%2d x %-2d %-12s infinite %s", size, size,
                         toTexture ? "offscreen" : "back buffer", infinite ? "on" : "off");
                Print(title, Measure(*application, log));
            }
        }
    }

    if (!pieceByPiece) {
        // Where the default frame's time goes now that draw calls hardly count.
        map.Release();
        map.Create(32, 32);
        application->m_renderToTexture = 1;
        scene.m_showInfinite = 1;
        printf("\nThe default frame (32 x 32, infinite, sky, offscreen) taken apart:\n");
        PrintHeader();
        Print("whole frame", Measure(*application, log));
        scene.m_skyFirst = 1;
        Print("the sky first, under the ground", Measure(*application, log));
        scene.m_skyFirst = 0;
        scene.m_showBackground = 0;
        Print("without the sky", Measure(*application, log));
        scene.m_showBackground = 1;
        application->m_fillMode = D3DFILL_WIREFRAME;
        Print("terrain and sky in wireframe", Measure(*application, log));
        application->m_fillMode = D3DFILL_SOLID;
        scene.m_showInfinite = 0;
        Print("one map copy", Measure(*application, log));
        scene.m_showInfinite = 1;
        // Clear, screen quad and Present with nothing drawn.
        application->m_scene = nullptr;
        Print("no scene: clear, screen quad, Present", Measure(*application, log));
        application->m_renderToTexture = 0;
        Print("no scene, back buffer: clear, Present", Measure(*application, log));
        application->m_scene = &scene;
    }
    return 0;
}
