// Prints what a large map costs the preview next to the 32 x 32 start map, in
// one run: the frame at the start view (offscreen, sky on, infinite display on
// and off), making the map, one height edit and one 9 x 9 piece of edits until
// the preview's vertex buffer holds them, and the memory the map adds.
//
// Frames are timed in blocks of ten, as in scene_bench, and the sizes take
// turns for several rounds, each round starting with the other size, so that
// a busy moment of a shared machine falls on both; each row shows its round
// with the lowest median and the median of the rounds' own ratios (the two
// sizes measured next to each other), beside the draw calls and triangles of
// one frame, which do not depend on the machine.
//
// Memory is the growth from the start map to the large one, after a frame of
// each so that the renderer holds its buffers, of two counts: the process's
// working set, which under Wine is its whole resident memory as Linux counts
// it (the program's, Wine's and the software renderer's), and its private
// bytes as Wine counts them (page-file usage: what Wine has committed; it
// misses what the renderer allocates outside Wine).

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/BenchPreview.h"
#include "support/DrawCallLog.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int kStartSize = 32;
const int kWarmUpFrames = 20;
const int kFrames = 100;
const int kFramesPerBlock = 10;
const int kRounds = 5;
// Odd, so that the last round ends on the large map, which the edits use.
static_assert(kRounds % 2 == 1, "an odd number of rounds");
const int kEditRepeats = 21;

DWORD g_clock = 100000;

struct Frame {
    double ms;
    // The least time the scene's Render took to hand its calls to Direct3D:
    // the work of culling and queuing that a larger map could add, without
    // the drawing, the screen quad and Present, which only the view decides.
    double submitMs;
    size_t drawCalls;
    UINT triangles;
};

// Median milliseconds per frame over blocks of frames, and what one frame
// draws: the same in every frame, since nothing moves.
Frame MeasureFrame(COxelD3DApplication& application, DrawCallLog& log)
{
    for (int frame = 0; frame < kWarmUpFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
    }
    WaitUntilDrawn(g_device);
    std::vector<double> blocks;
    double previous = SecondsNow();
    for (int frame = 1; frame <= kFrames; ++frame) {
        application.RenderFrame(g_clock += 16);
        if (frame % kFramesPerBlock == 0) {
            const double now = SecondsNow();
            blocks.push_back((now - previous) * 1e3 / kFramesPerBlock);
            previous = now;
        }
    }
    WaitUntilDrawn(g_device);
    std::sort(blocks.begin(), blocks.end());
    double submit = 1e9;
    for (int frame = 0; frame < kFrames; ++frame) {
        g_device->BeginScene();
        const double start = SecondsNow();
        application.m_scene->Render();
        submit = std::min(submit, SecondsNow() - start);
        g_device->EndScene();
        WaitUntilDrawn(g_device);
    }
    log.Clear();
    application.RenderFrame(g_clock += 16);
    Frame result = {blocks[blocks.size() / 2], submit * 1e3, log.draws.size(), 0};
    for (const DrawCallLog::Draw& draw : log.draws) {
        result.triangles += draw.primitiveCount;
    }
    log.Clear();
    return result;
}

struct Memory {
    double resident;
    double committed;
};

// Under Wine the working set is the resident memory of the whole process as
// Linux counts it, and the page-file usage is what Wine itself has committed.
Memory MemoryNow(COxelD3DApplication& application)
{
    application.RenderFrame(g_clock += 16);
    WaitUntilDrawn(g_device);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    const double megabyte = 1024.0 * 1024.0;
    return Memory{counters.WorkingSetSize / megabyte, counters.PagefileUsage / megabyte};
}
// A new map of size x size; false when it could not be made.
bool MakeMap(COxelD3DTerrainChipManager& map, int size, double* ms)
{
    map.Release();
    const double start = SecondsNow();
    const int result = map.Create(size, size);
    if (ms) {
        *ms = (SecondsNow() - start) * 1e3;
    }
    return result >= 0;
}

// An edit, then the write that the next frame would make before it draws: the
// edit's whole cost until the vertex buffer holds it. The middle of the map is
// where the quads of neighbouring cells lie farthest apart in the buffer.
template <class Edit>
RunTiming TimeEdit(COxelD3DTerrainChipManager& map, Edit edit)
{
    int round = 0;
    return TimeRuns(kEditRepeats, [&] {
        edit(++round % 2 ? 6.5 : 3.0);
        map.WriteChangedQuads();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    const int largeSize = argc > 1 ? atoi(argv[1]) : 512;
    BenchPreview preview;
    if (!preview.ok()) {
        printf("no Direct3D device\n");
        return 1;
    }
    COxelD3DApplication* application = preview.m_application;
    DrawCallLog log(g_device);
    COxelD3DSceneBase& scene = *application->m_scene;
    COxelD3DTerrainChipManager& map = *scene.m_terrain->m_pChipManager;
    application->m_renderToTexture = 1;
    const int sizes[2] = {kStartSize, largeSize};

    printf("large_map_bench: %d x %d next to the %d x %d start map, start view, offscreen, sky on\n", largeSize,
           largeSize, kStartSize, kStartSize);
    const Memory startMemory = MemoryNow(*application);
    double createMs = 0.0;
    if (!MakeMap(map, largeSize, &createMs)) {
        printf("Create(%d, %d) failed\n", largeSize, largeSize);
        return 1;
    }
    // The first frame writes every quad to the buffers and reads every
    // block's heights once.
    const double start = SecondsNow();
    application->RenderFrame(g_clock += 16);
    WaitUntilDrawn(g_device);
    const double firstFrameMs = (SecondsNow() - start) * 1e3;
    const Memory largeMemory = MemoryNow(*application);

    // Frames, the sizes taking turns.
    Frame frames[2][2] = {};
    for (auto& size : frames) {
        for (Frame& frame : size) {
            frame.ms = 1e9;
        }
    }
    std::vector<double> roundRatios[2];
    for (int round = 0; round < kRounds; ++round) {
        double roundMs[2][2] = {};
        for (const int k : {round % 2, (round + 1) % 2}) {
            if (!MakeMap(map, sizes[k], nullptr)) {
                return 1;
            }
            for (int infinite = 1; infinite >= 0; --infinite) {
                scene.m_showInfinite = infinite;
                const Frame frame = MeasureFrame(*application, log);
                roundMs[k][infinite] = frame.ms;
                if (frame.ms < frames[k][infinite].ms) {
                    frames[k][infinite] = frame;
                }
            }
            scene.m_showInfinite = 1;
        }
        for (int infinite = 0; infinite < 2; ++infinite) {
            roundRatios[infinite].push_back(roundMs[1][infinite] / roundMs[0][infinite]);
        }
    }

    // Edits on the large map, which the last round left in place.
    const int middle = largeSize / 2;
    const RunTiming oneEdit = TimeEdit(map, [&](double height) { map.SetHeight(middle, middle, height); });
    const RunTiming piece = TimeEdit(map, [&](double height) {
        for (int row = middle - 4; row <= middle + 4; ++row) {
            for (int column = middle - 4; column <= middle + 4; ++column) {
                map.SetHeight(column, row, height);
            }
        }
    });

    printf("\n%-22s %29s | %21s | %13s | %15s\n", "", "frame, median ms", "scene Render, min ms", "draw calls",
           "triangles");
    printf("%-22s %6s %6s %7s %7s | %6s %6s %7s | %6s %6s | %7s %7s\n", "", "32", "large", "ratio", "rounds", "32",
           "large", "ratio", "32", "large", "32", "large");
    for (int infinite = 1; infinite >= 0; --infinite) {
        const Frame& small = frames[0][infinite];
        const Frame& large = frames[1][infinite];
        std::vector<double>& ratios = roundRatios[infinite];
        std::sort(ratios.begin(), ratios.end());
        printf("%-22s %6.2f %6.2f %7.2f %7.2f | %6.3f %6.3f %7.2f | %6zu %6zu | %7u %7u\n",
               infinite ? "infinite display on" : "infinite display off", small.ms, large.ms, large.ms / small.ms,
               ratios[ratios.size() / 2], small.submitMs, large.submitMs, large.submitMs / small.submitMs, small.drawCalls, large.drawCalls,
               small.triangles, large.triangles);
    }
    printf("(target: ratio <= 1.10 where both views are filled, infinite display on)\n");
    printf("\n%-44s %8s %8s\n", "", "median", "best");
    printf("%-44s %8.1f ms   (target < 1000 ms)\n", "Create of the large map", createMs);
    printf("%-44s %8.1f ms\n", "its first frame", firstFrameMs);
    printf("%-44s %8.3f %8.3f ms   (target < 16 ms)\n", "one SetHeight + write to the buffer", oneEdit.median,
           oneEdit.best);
    printf("%-44s %8.3f %8.3f ms   (target < 16 ms)\n", "9 x 9 SetHeights + write to the buffer", piece.median,
           piece.best);
    printf("\n%-44s %8s %8s %8s\n", "memory, MB", "start", "large", "growth");
    printf("%-44s %8.1f %8.1f %8.1f   (target < 200 MB)\n", "working set (resident)", startMemory.resident,
           largeMemory.resident, largeMemory.resident - startMemory.resident);
    printf("%-44s %8.1f %8.1f %8.1f   (target < 200 MB)\n", "private bytes (Wine's page-file usage)",
           startMemory.committed, largeMemory.committed, largeMemory.committed - startMemory.committed);
    return 0;
}
