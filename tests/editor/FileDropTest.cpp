#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "io/Heightmap.h"
#include "io/MapFileDisk.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/ScratchFolder.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What Explorer hands a window when files are dropped on it.
HDROP MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace

// Each kind of drop on each kind of window, on a map with unsaved changes:
// a map opens after the question ("いいえ" drops the changes), a picture on
// the height window becomes the heights and a BMP on the texture window the
// atlas, each one undo step; anything else, or two files, is refused with a
// message and the map stays as it was.
TEST(FileDropTest, EachDropOpensWhatItsWindowTakesOrIsRefusedLeavingTheMap)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    ScratchFolder scratch("quelmora-file-drop-test");
    COxelD3DTerrainEditor& editor = session.editor();
    const std::string map64 = scratch.path() + "big map.omd";
    editor.NewMap(64, 64);
    ASSERT_TRUE(editor.m_mapFile->Save(map64.c_str()));
    const std::string picture = scratch.path() + "heights.png";
    std::vector<unsigned char> png;
    // Row 4 at the top, the rest at the bottom: the whole range, which nothing offers to stretch.
    std::vector<double> heights(32 * 32, 0.0);
    std::fill(heights.begin() + 4 * 32, heights.begin() + 5 * 32, 16.0);
    ASSERT_EQ(ImageError::None, EncodeHeightmap(heights, 32, 32, &png));
    ASSERT_TRUE(WriteFileSafely(picture.c_str(), png.data(), png.size()));
    const std::string atlas = WriteTestBitmap("quelmora-file-drop-atlas.bmp", 256, 128,
                                              [](int x, int) { return x < 128 ? 0xFF0000u : 0x0000FFu; });
    const std::string text = scratch.path() + "notes.txt";
    ASSERT_TRUE(WriteFileSafely(text.c_str(), "notes", 5));

    enum Outcome { kOpened, kHeights, kAtlas, kRefused };
    const HWND preview = session.application().m_hWnd;
    const struct {
        const char* what;
        HWND window;
        std::vector<std::string> files;
        Outcome outcome;
    } drops[] = {
        {"a map on the texture mapping window", session.handle(kTextureMappingWindow), {map64}, kOpened},
        {"a map on the preview", preview, {map64}, kOpened},
        {"a picture on the height window", session.handle(kHeightWindow), {picture}, kHeights},
        {"a BMP on the texture window", session.handle(kTextureWindow), {atlas}, kAtlas},
        {"a picture on the texture window", session.handle(kTextureWindow), {picture}, kRefused},
        {"a text file on the height window", session.handle(kHeightWindow), {text}, kRefused},
        {"a missing map on the edit menu", session.handle(kEditMenuWindow), {scratch.path() + "gone.omd"}, kRefused},
        {"two maps", session.handle(kTextureMappingWindow), {map64, map64}, kRefused},
    };
    auto& menu = *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow));
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.what);
        editor.NewMap(32, 32);
        menu.m_fileName[0] = '\0';
        editor.Perform(std::make_unique<HeightStep>(3, 4, 5.0));
        MessageBoxAnswer boxes(IDNO);
        SendMessageA(drop.window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(drop.files)), 0);
        COxelD3DTerrainChipManager& terrain = session.terrain();
        EXPECT_EQ(drop.outcome == kOpened ? 64 : 32, terrain.m_mapWidth);
        EXPECT_EQ(drop.outcome == kOpened ? 2.0 : drop.outcome == kHeights ? 16.0 : 5.0, terrain.GetHeight(3, 4));
        EXPECT_EQ(drop.outcome == kAtlas ? atlas : std::string("IDB_MAPCHIP"), terrain.m_chipImage.fileName);
        // The question about the changes, or the refusal.
        EXPECT_EQ(drop.outcome == kOpened || drop.outcome == kRefused ? 1 : 0, boxes.count);
        if (drop.outcome == kRefused) {
            EXPECT_EQ("Error", boxes.caption);
        }
        if (drop.outcome == kHeights || drop.outcome == kAtlas) {
            editor.Undo();
            EXPECT_EQ(5.0, terrain.GetHeight(3, 4));
            EXPECT_STREQ("IDB_MAPCHIP", terrain.m_chipImage.fileName);
        }
        EXPECT_EQ(drop.outcome == kOpened ? map64 : std::string(), menu.m_fileName);
    }
    DeleteFileA(atlas.c_str());
}

// A WM_DROPFILES whose handle cannot be read, as when the process that took
// the drop posts a handle to its own memory, says so and changes nothing;
// nothing is read from, or freed in, memory that is not a list of this
// process.
TEST(FileDropTest, AHandleThatCannotBeReadSaysSoAndLeavesTheMap)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    // A whole list, but in memory that is no block of the process.
    static DROPFILES elsewhere[4] = {{sizeof(DROPFILES), {0, 0}, FALSE, FALSE}};
    memcpy(elsewhere + 1, "C:\\map.omd\0", 12);
    const auto withBytes = [](std::vector<unsigned char> bytes) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
    };
    const auto list = [&](DWORD offset, BOOL wide, const std::string& names) {
        std::vector<unsigned char> bytes(sizeof(DROPFILES));
        DROPFILES header = {offset, {0, 0}, FALSE, wide};
        memcpy(bytes.data(), &header, sizeof header);
        bytes.insert(bytes.end(), names.begin(), names.end());
        return withBytes(bytes);
    };
    const std::string map = "C:\\m.omd";
    const struct {
        const char* what;
        std::function<HDROP()> make;
    } drops[] = {
        {"no handle", [] { return HDROP(); }},
        {"a handle freed already",
         [&] {
             HDROP freed = MakeDrop({map});
             GlobalFree(freed);
             return freed;
         }},
        {"memory that is no block of the process", [] { return reinterpret_cast<HDROP>(elsewhere); }},
        {"a block shorter than the header", [&] { return withBytes({1, 2, 3}); }},
        {"a list with no names", [&] { return list(sizeof(DROPFILES), FALSE, std::string(2, '\0')); }},
        {"a name that runs past the block", [&] { return list(sizeof(DROPFILES), FALSE, map); }},
        {"a list without its end", [&] { return list(sizeof(DROPFILES), FALSE, map + '\0'); }},
        {"names that start past the block", [&] { return list(4096, FALSE, map + std::string(2, '\0')); }},
        {"names inside the header", [&] { return list(4, FALSE, map + std::string(2, '\0')); }},
        {"a wide name cut in half", [&] { return list(sizeof(DROPFILES), TRUE, std::string("C\0:\0\0", 5)); }},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.what);
        editor.NewMap(32, 32);
        editor.Perform(std::make_unique<HeightStep>(3, 4, 5.0));
        MessageBoxAnswer boxes(IDOK);
        SendMessageA(session.handle(kHeightWindow), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.make()), 0);
        EXPECT_EQ(1, boxes.count);
        EXPECT_EQ("Error", boxes.caption);
        EXPECT_NE(std::string::npos, boxes.text.find("読み取れませんでした")) << boxes.text;
        EXPECT_EQ(32, session.terrain().m_mapWidth);
        EXPECT_EQ(5.0, session.terrain().GetHeight(3, 4));
    }
}

namespace {

// What Explorer hands a window for one file, with the name in UTF-16.
HDROP MakeWideDrop(const std::wstring& path)
{
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace

// A dropped name is taken in its exact form or not at all: "café.omd" never
// opens the existing "cafe.omd", it is refused with a message naming it, and
// a Japanese name opens as itself.
TEST(FileDropTest, ANameWithNoExactFormIsRefusedNotTakenForItsLookAlike)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    EditorSession session;
    ASSERT_TRUE(session.ok());
    ScratchFolder scratch("quelmora-file-drop-name-test");
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(64, 64);
    ASSERT_TRUE(editor.m_mapFile->Save((scratch.path() + "cafe.omd").c_str()));
    ASSERT_TRUE(editor.m_mapFile->Save((scratch.path() + "表ソ.omd").c_str()));
    const std::wstring folder = WideText(scratch.path());

    const struct {
        std::wstring path;
        bool opened;
        const char* named;  // what the refusal shows of the name
    } drops[] = {
        {folder + L"caf\u00e9.omd", false, "caf?.omd\n"},
        {folder + L"\u00a5.omd", false, "?.omd\n"},
        {folder + L"表ソ.omd", true, ""},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.named);
        editor.NewMap(32, 32);
        MessageBoxAnswer boxes(IDNO);
        SendMessageA(session.application().m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeWideDrop(drop.path)), 0);
        EXPECT_EQ(drop.opened ? 64 : 32, session.terrain().m_mapWidth);
        if (!drop.opened) {
            EXPECT_EQ(1, boxes.count);
            EXPECT_NE(std::string::npos, boxes.text.find(drop.named)) << boxes.text;
        }
    }
}
