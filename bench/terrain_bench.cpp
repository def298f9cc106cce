// Prints what the terrain's edits and one frame cost on a 64 x 64 map: making
// the map, the grid operations that loading a whole map file performs, one
// height edit in the middle, and one render from the start camera.

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraBase.h"
#include "support/BenchPreview.h"
#include "support/StartView.h"
#include "support/Stopwatch.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

namespace {

const int kMapSize = 64;
const int kEditRepeats = 1000;

// Heights as a map file might hold them: rolling hills.
double HillHeight(int column, int row)
{
    return 4.0 + 3.0 * std::sin(column * 0.3) * std::cos(row * 0.2);
}

// The grid operations of loading a map file, cell by cell in cell order.
void LoadWholeMap(COxelD3DTerrainChipManager& terrain)
{
    const int w = terrain.m_mapWidth;
    const int h = terrain.m_mapHeight;
    for (int cell = 0; cell < w * h; ++cell) {
        const int x = cell % w;
        const int y = cell / w;
        terrain.SetHeight(x, y, HillHeight(x, y));
        terrain.SetHeight(x, (y + 1) % h, HillHeight(x, (y + 1) % h));
        terrain.SetHeight((x + 1) % w, y, HillHeight((x + 1) % w, y));
        terrain.SetHeight((x + 1) % w, (y + 1) % h, HillHeight((x + 1) % w, (y + 1) % h));
        COxelD3DTerrainChipBase* quad = terrain.GetTerrainChip(cell);
        for (int corner = 0; corner < 4; ++corner) {
            quad->SetNormal(corner, 0.0f, 1.0f, 0.0f);
        }
        terrain.SetMapChip(x, y, (x + 3 * y) % 32);
        terrain.SetMapChipRotation(x, y, (x + y) % 4);
    }
}

struct FrameFigures {
    double submit;
    double finished;
    int cells;
    int nodes;
    int drawCalls;
};

FrameFigures RenderFrame(COxelD3DTerrainChipManager& terrain, TestDevice& device)
{
    FrameFigures figures = {};
    g_device->BeginScene();
    device.Clear(0xFF000000);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_device->SetTransform(D3DTS_WORLD, &identity);
    const double start = SecondsNow();
    terrain.Render();
    figures.submit = SecondsNow() - start;
    g_device->EndScene();
    WaitUntilDrawn(g_device);
    figures.finished = SecondsNow() - start;
    figures.cells = terrain.m_cellsDrawn;
    figures.nodes = terrain.m_nodesTested;
    figures.drawCalls = static_cast<int>(terrain.m_runs.size()) + terrain.m_billboardsDrawn;
    return figures;
}

void PrintFrame(const char* title, const FrameFigures& figures)
{
    printf("%-40s %9.3f ms submitted, %9.3f ms finished; %d cells drawn, %d nodes tested, %d draw calls\n", title,
           figures.submit * 1e3, figures.finished * 1e3, figures.cells, figures.nodes, figures.drawCalls);
}

}  // namespace

int main()
{
    TestDevice device(1024, 1024);
    if (!device.ok()) {
        printf("no Direct3D device\n");
        return 1;
    }
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();

    // The device's first frame pays for setting itself up; a small map takes
    // that cost so that the figures below are the terrain's own.
    {
        COxelD3DTerrainChipManager warmUp;
        warmUp.Create(2, 2);
        RenderFrame(warmUp, device);
    }

    COxelD3DTerrainChipManager terrain;
    double start = SecondsNow();
    terrain.Create(kMapSize, kMapSize);
    const double create = SecondsNow() - start;

    start = SecondsNow();
    LoadWholeMap(terrain);
    const double load = SecondsNow() - start;

    start = SecondsNow();
    terrain.SetHeight(kMapSize / 2, kMapSize / 2, 6.5);
    const double oneEdit = SecondsNow() - start;

    start = SecondsNow();
    for (int k = 0; k < kEditRepeats; ++k) {
        terrain.SetHeight(kMapSize / 2, kMapSize / 2, (k % 2) ? 6.5 : 7.0);
    }
    const double editAverage = (SecondsNow() - start) / kEditRepeats;

    const FrameFigures firstFrame = RenderFrame(terrain, device);
    const FrameFigures nextFrame = RenderFrame(terrain, device);
    terrain.SetHeight(kMapSize / 2, kMapSize / 2, 3.0);
    const FrameFigures frameAfterEdit = RenderFrame(terrain, device);

    printf("terrain_bench: %d x %d map\n", kMapSize, kMapSize);
    printf("%-40s %9.3f ms\n", "Create(64, 64)", create * 1e3);
    printf("%-40s %9.3f ms   (target < 200 ms)\n", "whole-map load sequence", load * 1e3);
    printf("%-40s %9.4f ms   (target < 0.05 ms)\n", "one SetHeight in the middle", oneEdit * 1e3);
    printf("%-40s %9.4f ms   (mean of %d)\n", "SetHeight in the middle", editAverage * 1e3, kEditRepeats);
    PrintFrame("first Render from the start camera", firstFrame);
    PrintFrame("next Render", nextFrame);
    PrintFrame("Render after one SetHeight", frameAfterEdit);
    return 0;
}
