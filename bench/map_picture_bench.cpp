// Prints what "マップ画像の書き出し..." costs on maps of 64, 256 and 512 cells a
// side whose cells show all 32 chips at every turn. First the picture made in
// memory, before (drawn pixel by pixel into one whole picture, then encoded
// whole) and after (drawn a band of rows at a time from tiles turned once,
// encoded as it goes), taking turns
// for the given number of rounds (2). Then the menu's export through the
// editor, to a file: how long it takes, and the longest time the window
// thread took to answer a message sent to the edit menu window meanwhile.

#include "editor/BitmapInfo.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/MapImportExport.h"
#include "io/MapPicture.h"
#include "support/EditorSession.h"
#include "support/MapPictureReference.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"
#include "terrain/ChipImageInfo.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kSizes[] = {64, 256, 512};

BgraImage BuiltInAtlas()
{
    BgraImage atlas;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), kBuiltInAtlasName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    atlas.width = info.bmWidth;
    atlas.height = info.bmHeight;
    atlas.pixels.resize(static_cast<size_t>(atlas.width) * atlas.height * 4);
    BITMAPINFO header = TopDownBgra32(atlas.width, atlas.height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, atlas.height, atlas.pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (size_t i = 3; i < atlas.pixels.size(); i += 4) {
        atlas.pixels[i] = 255;
    }
    return atlas;
}

MapFileContents VariedMap(int size)
{
    MapFileContents map;
    map.width = size;
    map.height = size;
    map.cells.resize(static_cast<size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            MapFileCell& cell = map.cells[static_cast<size_t>(row) * size + column];
            cell.chip = (column + 3 * row) % 32;
            cell.rotation = (column + row) % 4;
        }
    }
    return map;
}

RunTiming Timing(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return RunTiming{times[times.size() / 2], times[0]};
}

// Sends the window an empty message every 10 ms from a thread of its own,
// noting the longest wait for an answer, until stopped.
class AnswerWatch {
public:
    explicit AnswerWatch(HWND window)
        : m_longestMs(0.0), m_stop(false), m_stopped(false), m_thread([this, window] { Watch(window); })
    {
    }
    ~AnswerWatch() { Stop(); }
    // The longest wait of the messages sent before the call. Answers the
    // last message itself, which the window thread would otherwise only see
    // once this returned.
    double Stop()
    {
        m_stop = true;
        while (!m_stopped) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            Sleep(1);
        }
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_longestMs;
    }

private:
    void Watch(HWND window)
    {
        while (!m_stop) {
            const double start = SecondsNow();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            if (!m_stop) {
                m_longestMs = std::max(m_longestMs.load(), (SecondsNow() - start) * 1e3);
            }
            Sleep(10);
        }
        m_stopped = true;
    }

    std::atomic<double> m_longestMs;
    std::atomic<bool> m_stop;
    std::atomic<bool> m_stopped;
    std::thread m_thread;
};

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    const BgraImage atlas = BuiltInAtlas();
    const AtlasLayout layout = {atlas.width / 128, atlas.height / 128, atlas.height % 128};
    std::printf("map_picture_bench: the map picture in memory, %d rounds taking turns (ms)\n", rounds);
    std::printf("%-24s %9s %9s | %9s %9s | %6s | %10s %10s\n", "", "before", "", "after", "", "after/", "bytes", "bytes");
    std::printf("%-24s %9s %9s | %9s %9s | %6s | %10s %10s\n", "", "median", "best", "median", "best", "before",
                "before", "after");
    for (int size : kSizes) {
        const MapFileContents map = VariedMap(size);
        std::vector<double> before;
        std::vector<double> after;
        size_t beforeBytes = 0;
        size_t afterBytes = 0;
        for (int round = 0; round < rounds; ++round) {
            double start = SecondsNow();
            std::vector<unsigned char> png;
            EncodeBgraPng(ReferenceMapPicture(map, atlas, layout), &png);
            before.push_back((SecondsNow() - start) * 1e3);
            beforeBytes = png.size();
            start = SecondsNow();
            EncodeMapPicture(map, atlas, layout, &png);
            after.push_back((SecondsNow() - start) * 1e3);
            afterBytes = png.size();
        }
        const RunTiming b = Timing(before);
        const RunTiming a = Timing(after);
        const int side = size * MapPictureCellPixels(size, size);
        char label[64];
        std::snprintf(label, sizeof label, "%d x %d (%d px a side)", size, size, side);
        std::printf("%-24s %9.0f %9.0f | %9.0f %9.0f | %6.2f | %10zu %10zu\n", label, b.median, b.best, a.median,
                    a.best, a.median / b.median, beforeBytes, afterBytes);
    }

    EditorSession session;
    if (!session.okOrSaid()) {
        return 0;
    }
    COxelD3DTerrainEditor& editor = session.editor();
    const ScratchFolder folder("quelmora_map_picture_bench");
    const std::string picture = folder.path() + "map.png";
    std::printf("\nThe menu's export through the editor, to a file (ms)\n");
    std::printf("%-24s %9s %9s %22s %14s\n", "", "export", "watched", "longest answer wait", "command line");
    const std::string mapFile = folder.path() + "map.omd";
    for (int size : kSizes) {
        session.MakeVariedMap(size, 0, false);
        double start = SecondsNow();
        const bool written = ExportMapPicture(&editor, nullptr, picture.c_str());
        const double exportMs = (SecondsNow() - start) * 1e3;
        start = SecondsNow();
        AnswerWatch watch(session.handle(kEditMenuWindow));
        ExportMapPicture(&editor, nullptr, picture.c_str());
        const double longestMs = watch.Stop();
        const double watchedMs = (SecondsNow() - start) * 1e3;
        editor.m_mapFile->Save(mapFile.c_str());
        start = SecondsNow();
        ExportMapPictureOfMapFile(mapFile.c_str(), picture.c_str(), [](const char*, const std::string&) {});
        const double commandLineMs = (SecondsNow() - start) * 1e3;
        char label[64];
        std::snprintf(label, sizeof label, "%d x %d", size, size);
        std::printf("%-24s %9.0f %9.0f %22.0f %14.0f%s\n", label, exportMs, watchedMs, longestMs, commandLineMs,
                    written ? "" : " (not written)");
    }
    return 0;
}
