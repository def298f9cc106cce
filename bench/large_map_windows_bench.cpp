// Prints what a 512 x 512 map costs with the program's own windows shown: the
// editor as the program makes it, its height, texture and texture mapping
// windows up and the map edit window opened where a row says so.
//
// - New map, save and open through the editor, as the menu items do them once
//   their dialogs are answered; the windows follow each.
// - One click, and one pointer move of a stroke with the 9 x 9 brush, in the
//   height window scrolled to the map's far corner: the time until every open
//   window has repainted it and the preview's vertex buffer holds it (the
//   frame itself not counted).
// - With the map edit window open, on 64 x 64 and 512 x 512: a stroke's 9 x 9
//   raise move where the map edit window shows it and a fill of the whole uniform map from the texture mapping
//   window, every window repainted; at 512 the fill again with the map edit
//   window closed.
// - A whole repaint of each 2D window scrolled to the far corner of the map,
//   the texture mapping window at its smallest squares (10 pixels), where it
//   shows the most chips.
// - The wheel in the height and texture mapping windows: one notch, and a
//   hundred notches waiting in the queue at once, until the window shows them.
// - Memory: the growth from the 32 x 32 start map to the 512 x 512 map with
//   every window open and drawn, and a preview frame drawn, of the process's
//   working set (under Wine its whole resident memory as Linux counts it) and
//   of its private bytes (what Wine has committed).
// Times are the median and the best of several runs, and the processor time
// of the whole process per run, in milliseconds.

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "support/EditorSession.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"
#include "tools/COxelPaintTools.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kLargeSize = 512;
const int kRepeats = 9;
const int kMapWindows[] = {kHeightWindow, kTextureMappingWindow, kMapEditWindow};
const char* const kMapWindowNames[] = {"height window", "texture mapping window (10 px)", "map edit window"};

DWORD g_clock = 100000;

// The median and best wall-clock times of `repeats` runs of `work`, and the
// processor time of the whole process per run: on a shared machine the wall
// clock also counts other work, and under Wine the X server's.
struct Timing {
    RunTiming wall;
    double cpu;
};

template <class Work>
Timing Time(int repeats, Work work)
{
    const double cpu = ProcessCpuSecondsNow();
    const RunTiming wall = TimeRuns(repeats, work);
    return Timing{wall, (ProcessCpuSecondsNow() - cpu) * 1e3 / repeats};
}

void PrintRow(const char* what, const Timing& timing, const char* target)
{
    std::printf("%-52s %8.2f %8.2f %8.2f   %s\n", what, timing.wall.median, timing.wall.best, timing.cpu, target);
}

struct Memory {
    double resident;
    double committed;
};

// After a frame, so that the renderer holds the map's buffers.
Memory MemoryNow(COxelD3DApplication& application)
{
    application.RenderFrame(g_clock += 16);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    const double megabyte = 1024.0 * 1024.0;
    return Memory{counters.WorkingSetSize / megabyte, counters.PagefileUsage / megabyte};
}

// Scrolls window `index` to map pixel (x, y), as dragging its scroll bars'
// thumbs does (the window keeps the offset on the map).
void ScrollTo(const EditorSession& session, int index, int x, int y)
{
    HWND hwnd = session.handle(index);
    SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(x, 0)), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::max(y, 0)), 0);
    UpdateWindow(hwnd);
}

void ScrollToFarCorner(const EditorSession& session, int index)
{
    ScrollTo(session, index, 30000, 30000);
}

// Scrolls the map edit window (40 pixels a cell, its columns one to the left
// of the height window's) so that the stroke StrokeMoves makes is in view.
void ShowStrokeInMapEdit(const EditorSession& session)
{
    HWND height = session.handle(kHeightWindow);
    const SIZE client = ClientSize(height);
    const int column = (GetScrollPos(height, SB_HORZ) + client.cx / 4) / 10 + 4;
    const int row = (GetScrollPos(height, SB_VERT) + client.cy / 2) / 10;
    const SIZE mapEdit = ClientSize(session.handle(kMapEditWindow));
    ScrollTo(session, kMapEditWindow, (column - 1) * 40 - mapEdit.cx / 2, row * 40 - mapEdit.cy / 2);
}

// A press left of the middle of window `index`, then moves to the right by one
// square `square` pixels wide, each timed until the windows and the preview's
// buffer hold it; the release ends the stroke.
Timing StrokeMoves(const EditorSession& session, int index, int square)
{
    HWND hwnd = session.handle(index);
    const SIZE client = ClientSize(hwnd);
    const int y = client.cy / 2;
    int x = client.cx / 4;
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    const Timing timing = Time(kRepeats, [&] {
        x += square;
        SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        session.terrain().WriteChangedQuads();
    });
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return timing;
}

// A fill of the whole uniform map from the texture mapping window, every window repainted.
Timing Fill(const EditorSession& session)
{
    COxelD3DTerrainEditor& editor = session.editor();
    editor.m_tools.m_fill = 1;
    const Timing timing = Time(kRepeats, [&] {
        // The chip the map does not have, so that every run fills.
        editor.m_selectedChip = session.terrain().GetMapChip(0, 0) == 5 ? 0 : 5;
        session.Click(kTextureMappingWindow, POINT{5, 5});
        session.terrain().WriteChangedQuads();
    });
    editor.m_tools.m_fill = 0;
    return timing;
}

}  // namespace

int main()
{
    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    editor.ShowWindows();
    auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow));
    mapping->SetCellSize(10, 10);
    mapping->Refresh();
    COxelPaintTools& tools = editor.m_tools;
    std::printf("large_map_windows_bench: %d x %d map, the program's windows shown (ms)\n", kLargeSize, kLargeSize);
    std::printf("%-52s %8s %8s %8s\n", "", "median", "best", "CPU");

    editor.NewMap(32, 32);
    editor.OpenWindow(kMapEditWindow);
    const Memory startMemory = MemoryNow(session.application());

    const ScratchFolder folder("quelmora_large_map_windows_bench");
    const std::string path = folder.path() + "large.omd";
    PrintRow("new 512 x 512 map", Time(3, [&] { editor.NewMap(kLargeSize, kLargeSize); }), "(target 1000)");
    PrintRow("save it", Time(3, [&] { editor.m_mapFile->Save(path.c_str()); }), "(target 300)");
    PrintRow("open it", Time(3, [&] {
                    editor.MarkSaved();
                    editor.OpenMapFile(path.c_str());
                }),
                "(target 1500)");
    for (const int index : kMapWindows) {
        ScrollToFarCorner(session, index);
    }
    const Memory largeMemory = MemoryNow(session.application());

    // The map edit window is open from here on.
    tools.m_brushSize = 1;
    HWND height = session.handle(kHeightWindow);
    const SIZE heightClient = ClientSize(height);
    const POINT corner = {heightClient.cx - 3, heightClient.cy - 3};
    PrintRow("one click, height window at the far corner", Time(kRepeats, [&] {
                    session.Click(kHeightWindow, corner);
                    session.terrain().WriteChangedQuads();
                }),
                "(target 16)");
    tools.m_brushSize = 9;
    tools.m_dragPaint = 1;
    tools.m_heightTool = COxelPaintTools::kRaiseLower;
    ShowStrokeInMapEdit(session);
    const size_t historyBefore = editor.m_history.Bytes();
    PrintRow("9 x 9 raise move, height window scrolled", StrokeMoves(session, kHeightWindow, 10), "(target 16)");
    std::printf("  (the stroke kept %zu bytes of history)\n", editor.m_history.Bytes() - historyBefore);
    tools.m_dragPaint = 0;
    PrintRow("fill of the whole uniform map", Fill(session), "(target 50)");
    // Its difference to the row above is the map edit window's share.
    ShowWindow(session.handle(kMapEditWindow), SW_HIDE);
    PrintRow("  the same with the map edit window closed", Fill(session), "");
    editor.OpenWindow(kMapEditWindow);

    std::printf("\nrepaint of the whole client area, scrolled to the far corner\n");
    for (int i = 0; i < 3; ++i) {
        HWND hwnd = session.handle(kMapWindows[i]);
        const SIZE client = ClientSize(hwnd);
        char name[96];
        std::snprintf(name, sizeof name, "%s, %ld x %ld", kMapWindowNames[i], client.cx, client.cy);
        PrintRow(name, Time(kRepeats, [&] { session.window(kMapWindows[i])->Redraw(); }), "(target 16)");
    }

    // Notches posted at once, then the queue drained: the window takes all the
    // notches waiting as one scroll and paints only what comes into view.
    // Alone at the screen's corner each shows a whole page of 64 squares a
    // side, the most a notch could repaint.
    std::printf("\nthe wheel from the middle of the map, posted at once, until every notch is shown\n");
    for (int i = 0; i < 2; ++i) {
        HWND hwnd = session.handle(kMapWindows[i]);
        RECT home = {};
        GetWindowRect(hwnd, &home);
        std::vector<HWND> hidden;
        for (int index = 0; index < kEditorWindowCount; ++index) {
            HWND other = session.handle(index);
            if (other && other != hwnd && IsWindowVisible(other)) {
                ShowWindow(other, SW_HIDE);
                hidden.push_back(other);
            }
        }
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        session.window(kMapWindows[i])->Refresh();
        ScrollTo(session, kMapWindows[i], kLargeSize * 5, kLargeSize * 5);
        const SIZE client = ClientSize(hwnd);
        for (const int notches : {1, 100}) {
            // Down, then back up, so that every run scrolls.
            int direction = -1;
            char name[96];
            std::snprintf(name, sizeof name, "%s, %ld x %ld, %d notch%s", kMapWindowNames[i], client.cx, client.cy,
                          notches, notches == 1 ? "" : "es");
            PrintRow(name, Time(kRepeats, [&] {
                         for (int notch = 0; notch < notches; ++notch) {
                             PostMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(direction * WHEEL_DELTA)), 0);
                         }
                         direction = -direction;
                         MSG message;
                         while (PeekMessageA(&message, hwnd, 0, 0, PM_REMOVE)) {
                             DispatchMessageA(&message);
                         }
                     }),
                     "(target 16)");
        }
        for (HWND other : hidden) {
            ShowWindow(other, SW_SHOWNOACTIVATE);
        }
        SetWindowPos(hwnd, nullptr, home.left, home.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        session.window(kMapWindows[i])->Refresh();
    }

    std::printf("\n64 x 64, the map edit window open\n");
    editor.NewMap(64, 64);
    tools.m_dragPaint = 1;
    ShowStrokeInMapEdit(session);
    PrintRow("9 x 9 raise move, height window", StrokeMoves(session, kHeightWindow, 10), "(target 16)");
    tools.m_dragPaint = 0;
    PrintRow("fill of the whole uniform map", Fill(session), "(target 50)");

    std::printf("\n%-52s %8s %8s %8s\n", "memory, MB: the 32 x 32 start map, then 512 x 512", "start", "large",
                "growth");
    std::printf("%-52s %8.1f %8.1f %8.1f   (target < 200 MB)\n", "working set (resident)", startMemory.resident,
                largeMemory.resident, largeMemory.resident - startMemory.resident);
    std::printf("%-52s %8.1f %8.1f %8.1f   (target < 200 MB)\n", "private bytes (Wine's page-file usage)",
                startMemory.committed, largeMemory.committed, largeMemory.committed - startMemory.committed);
    return 0;
}
