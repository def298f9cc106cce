#include "editor/COxelD3DTerrainEditor.h"

#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "editor/MapImportExport.h"
#include "io/ImageCodec.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The editor driven with the real mouse and keyboard: strokes, shortcuts and
// file dialogs, where capture, focus and modal loops decide what happens.
class EditorInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        DeleteFileA(SettingsFilePath().c_str());
        session.editor().m_tools.m_dragPaint = 1;
        session.editor().m_selectedChip = 9;
    }
    void TearDown() override
    {
        RealInput::Release(1);
        RealInput::Release(3);
        DeleteFileA(SettingsFilePath().c_str());
    }

    // Window `index` alone in front, away from the others, with the focus.
    HWND Front(int index, int x = 300, int y = 120) const
    {
        HWND window = session.handle(index);
        SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RealInput::Dispatch(200);
        return window;
    }
    // The middle of square (column, row) of the height view (10 pixels) or
    // the texture mapping view (16 pixels).
    static POINT Square(int index, int column, int row)
    {
        const int size = index == kHeightWindow ? 10 : 16;
        return POINT{column * size + size / 2, row * size + size / 2};
    }
    // The whole map as a user sees it: every height, chip and turn.
    std::vector<double> Map() const
    {
        COxelD3DTerrainChipManager& terrain = session.terrain();
        std::vector<double> map;
        for (int row = 0; row < terrain.m_mapHeight; ++row) {
            for (int column = 0; column < terrain.m_mapWidth; ++column) {
                map.push_back(terrain.GetHeight(column, row));
                map.push_back(terrain.GetMapChip(column, row) * 4 + terrain.GetMapChipRotation(column, row));
            }
        }
        return map;
    }

    EditorSession session;
};

}  // namespace

// A stroke held while Alt+F4's question takes the mouse: "キャンセル", the
// button let go elsewhere, and the pointer back over the window paints
// nothing more, in either window, with either button; a new map after it
// is safe to hover.
TEST_F(EditorInputTest, AStrokeEndsWhenTheQuestionAboutUnsavedChangesTakesTheMouse)
{
    const struct {
        int index;
        int button;
    } strokes[] = {{kTextureMappingWindow, 3}, {kTextureMappingWindow, 1}, {kHeightWindow, 1}, {kHeightWindow, 3}};
    for (const auto& stroke : strokes) {
        SCOPED_TRACE(stroke.index * 10 + stroke.button);
        session.editor().NewMap(32, 32);
        HWND window = Front(stroke.index);
        RealInput::MoveTo(window, Square(stroke.index, 2, 2));
        RealInput::Press(stroke.button);
        ASSERT_TRUE(session.editor().IsModified()) << "the press paints";
        {
            MessageBoxAnswer question(IDCANCEL);
            RealInput::Key("alt+F4");
            EXPECT_EQ(1, question.count);
        }
        RealInput::MoveTo(window, POINT{-60, -20});
        RealInput::Release(stroke.button);
        const std::vector<double> before = Map();
        RealInput::MoveTo(window, Square(stroke.index, 10, 10));
        RealInput::MoveTo(window, Square(stroke.index, 14, 12));
        EXPECT_EQ(before, Map()) << "the stroke went on without a button";
        EXPECT_NE(window, GetCapture());
        ASSERT_TRUE(IsWindow(window));

        session.editor().NewMap(64, 64);
        RealInput::MoveTo(window, Square(stroke.index, 50, 30));
        RealInput::MoveTo(window, Square(stroke.index, 20, 8));
        EXPECT_FALSE(session.editor().IsModified());
    }
}

// A right stroke ended by a left click outside the window: the click fills
// nothing (with "塗りつぶし" on or off), and the mouse is free again, so the
// next click in another window works there.
TEST_F(EditorInputTest, TheOtherButtonOutsideTheWindowEndsTheStrokeFillsNothingAndFreesTheMouse)
{
    for (int fill : {1, 0}) {
        SCOPED_TRACE(fill);
        session.editor().NewMap(32, 32);
        session.editor().m_tools.m_fill = fill;
        HWND heights = Front(kHeightWindow, 800, 60);
        HWND mapping = Front(kTextureMappingWindow, 200, 40);
        RealInput::MoveTo(mapping, Square(kTextureMappingWindow, 3, 3));
        RealInput::Press(3);
        RealInput::MoveTo(mapping, POINT{-40, 20});
        const std::vector<double> turned = Map();
        RealInput::Press(1);
        RealInput::Release(1);
        RealInput::Release(3);
        EXPECT_EQ(turned, Map()) << "a click outside the view changed the map";
        EXPECT_NE(mapping, GetCapture());

        const double height = session.terrain().GetHeight(0, 4);
        RealInput::MoveTo(heights, Square(kHeightWindow, 0, 4));
        RealInput::Press(1);
        RealInput::Release(1);
        EXPECT_EQ(height + 0.5, session.terrain().GetHeight(0, 4)) << "the click was swallowed";
    }
    session.editor().m_tools.m_fill = 0;
}

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z from the tool windows, with the edit menu
// window as it is and minimised.
TEST_F(EditorInputTest, TheUndoAndRedoKeysWorkFromEveryWindowWhateverStateTheMenuWindowIsIn)
{
    HWND menu = session.handle(kEditMenuWindow);
    for (int showMenu : {SW_SHOWNOACTIVATE, SW_MINIMIZE}) {
        for (int index : {kHeightWindow, kTextureMappingWindow, kSceneSettingWindow}) {
            SCOPED_TRACE(showMenu * 10 + index);
            session.editor().NewMap(32, 32);
            ShowWindow(menu, showMenu);
            session.editor().Perform(std::make_unique<HeightStep>(5, 6, 7.5));
            Front(index);
            RealInput::Key("ctrl+z");
            EXPECT_EQ(2.0, session.terrain().GetHeight(5, 6));
            RealInput::Key("ctrl+y");
            EXPECT_EQ(7.5, session.terrain().GetHeight(5, 6));
            RealInput::Key("ctrl+z");
            RealInput::Key("ctrl+shift+z");
            EXPECT_EQ(7.5, session.terrain().GetHeight(5, 6));
        }
    }
    ShowWindow(menu, SW_RESTORE);
}

// Ctrl+Z in the middle of a stroke ends it and takes the whole stroke back;
// what the pointer passes afterwards changes nothing, and Ctrl+Y brings the
// stroke back.
TEST_F(EditorInputTest, UndoDuringAStrokeEndsItTakesItBackWholeAndCanRedoIt)
{
    HWND heights = Front(kHeightWindow);
    const std::vector<double> start = Map();
    RealInput::MoveTo(heights, Square(kHeightWindow, 3, 3));
    RealInput::Press(1);
    RealInput::MoveTo(heights, Square(kHeightWindow, 9, 3));
    const std::vector<double> stroked = Map();
    ASSERT_NE(start, stroked);
    RealInput::Key("ctrl+z");
    EXPECT_EQ(start, Map());
    RealInput::MoveTo(heights, Square(kHeightWindow, 9, 12));
    RealInput::Release(1);
    EXPECT_EQ(start, Map());
    RealInput::Key("ctrl+y");
    EXPECT_EQ(stroked, Map());
}

// While "開く(&O)" shows its dialog, a click in another editor window does
// nothing; an edit that reaches the map all the same (a posted message) is
// asked about when the load starts.
TEST_F(EditorInputTest, TheOpenDialogIsModalToTheEditorAndTheLoadAsksAboutEditsMadeMeanwhile)
{
    ScratchFolder scratch{"quelmora-editor-input-test"};
    const std::string other = scratch.path() + "other.omd";
    session.editor().NewMap(16, 16);
    ASSERT_TRUE(session.editor().m_mapFile->Save(other.c_str()));
    session.editor().NewMap(32, 32);
    HWND heights = Front(kHeightWindow, 800, 60);
    HWND menu = Front(kEditMenuWindow, 200, 40);

    {
        DialogAnswer open("ファイルオープン", other);
        bool editedWhileOpen = true;
        open.whileShown = [&] {
            RealInput::MoveTo(heights, Square(kHeightWindow, 4, 4));
            RealInput::Press(1);
            RealInput::Release(1);
            editedWhileOpen = session.editor().IsModified();
        };
        MessageBoxAnswer question(IDCANCEL);
        SendMessageA(menu, WM_COMMAND, 210, 0);
        EXPECT_TRUE(open.Answered());
        EXPECT_FALSE(editedWhileOpen);
        EXPECT_EQ(0, question.count);
        EXPECT_EQ(16, session.editor().m_mapWidth);
    }

    session.editor().m_tools.m_dragPaint = 0;
    DialogAnswer open("ファイルオープン", other);
    open.whileShown = [&] {
        const LPARAM at = MAKELPARAM(45, 45);
        PostMessageA(heights, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(heights, WM_LBUTTONUP, 0, at);
        RealInput::Dispatch(100);
    };
    {
        MessageBoxAnswer question(IDCANCEL);
        SendMessageA(menu, WM_COMMAND, 210, 0);
        EXPECT_EQ(1, question.count);
        EXPECT_TRUE(session.editor().IsModified()) << "the edit was dropped";
    }

    // "はい" to the question of "新規作成(&N)" saves under a new name; a map
    // made while the save dialog is up is not saved under it.
    const std::string named = scratch.path() + "named.omd";
    DialogAnswer save("名前をつけて保存", named);
    save.whileShown = [&] { session.editor().NewMap(64, 64); };
    MessageBoxAnswer yes(IDYES);
    static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow))->m_fileName[0] = '\0';
    SendMessageA(menu, WM_COMMAND, 200, 0);
    EXPECT_TRUE(save.Answered());
    EXPECT_FALSE(FileExists(named));
    EXPECT_EQ(64, session.editor().m_mapWidth);
}

// A 512 x 512 map made from a 513 x 513 picture through the menu, the height
// view wheeled to the far corner with the real wheel, a real click there, and
// "上書き保存(&S)": the file holds the picture's heights and the raised vertex.
TEST_F(EditorInputTest, AMapFromAPictureIsRaisedInItsFarCornerAfterScrollingAndSaved)
{
    ScratchFolder scratch{"quelmora-editor-input-large-test"};
    const std::string picture = scratch.path() + "dem.png";
    const std::string saved = scratch.path() + "large.omd";
    const std::vector<unsigned short> samples(513 * 513, 0x4000);
    std::vector<unsigned char> png;
    ASSERT_EQ(ImageError::None, EncodeGrey16Png(samples.data(), 513, 513, &png));
    ASSERT_TRUE(WriteFileSafely(picture.c_str(), png.data(), png.size()));
    const double ground = 0x4000 * 16.0 / 65535.0;
    session.editor().m_tools.m_dragPaint = 0;

    HWND menu = Front(kEditMenuWindow, 200, 40);
    {
        DialogAnswer open("ハイトマップから新規作成", picture);
        SendMessageA(menu, WM_COMMAND, 206, 0);
        EXPECT_TRUE(open.Answered());
    }
    ASSERT_EQ(512, session.terrain().m_mapWidth);
    EXPECT_TRUE(session.editor().IsModified());

    HWND heights = Front(kHeightWindow, 300, 60);
    RealInput::MoveTo(heights, POINT{20, 20});
    RealInput::Xdotool("click --repeat 600 --delay 2 5");
    RealInput::Xdotool("keydown shift click --repeat 600 --delay 2 5 keyup shift");
    // The notches may still be on their way from the X server: the view has
    // come to rest once neither bar has moved for a while.
    const auto place = [&] { return std::make_pair(GetScrollPos(heights, SB_HORZ), GetScrollPos(heights, SB_VERT)); };
    for (int still = 0, wait = 0; still < 5 && wait < 100; ++wait) {
        const auto before = place();
        RealInput::Dispatch(100);
        still = place() == before ? still + 1 : 0;
    }
    RECT client;
    GetClientRect(heights, &client);
    // The far corner's square: the view is mirrored, so its last pixel column shows vertex 1.
    RealInput::MoveTo(heights, POINT{client.right - 5, client.bottom - 5});
    RealInput::Press(1);
    RealInput::Release(1);
    RealInput::Dispatch(200);
    EXPECT_NEAR(ground + 0.5, session.terrain().GetHeight(1, 511), 1e-4);

    {
        DialogAnswer save("名前をつけて保存", saved);
        SendMessageA(menu, WM_COMMAND, 220, 0);
        EXPECT_TRUE(save.Answered());
    }
    EXPECT_FALSE(session.editor().IsModified());
    MapFileContents map;
    ASSERT_EQ(MapFileError::None, LoadMapFile(saved.c_str(), &map));
    ASSERT_EQ(512, map.width);
    ASSERT_EQ(512, map.height);
    EXPECT_NEAR(ground + 0.5, map.cells[511 * 512 + 1].heights[0], 1e-4);
    EXPECT_NEAR(ground, map.cells[0].heights[0], 1e-4);
    EXPECT_NEAR(ground, map.cells[511 * 512 + 511].heights[3], 1e-4);
}

namespace {

// What the test sees from a timer of its own while "マップ画像の書き出し..."
// works: the timer's messages come only while the window thread handles its
// queue.
struct ExportWatch {
    int ticks = 0;
    // "click" presses "キャンセル" with the mouse; "" leaves the export alone.
    std::string cancelWith;
    HWND heights = nullptr;
    HWND progress = nullptr;
    bool heightsTookInput = false;
    bool busy = false;
};
ExportWatch* g_exportWatch = nullptr;

void CALLBACK OnExportTick(HWND, UINT, UINT_PTR, DWORD)
{
    ExportWatch& watch = *g_exportWatch;
    ++watch.ticks;
    if (watch.busy || watch.progress) {
        return;
    }
    HWND progress = FindWindowA("#32770", "マップ画像の書き出し");
    if (!progress || !IsWindowVisible(progress) || watch.cancelWith.empty()) {
        return;
    }
    watch.busy = true;
    watch.progress = progress;
    // A click on the height window while the export works changes nothing.
    watch.heightsTookInput = IsWindowEnabled(watch.heights) != FALSE;
    RealInput::MoveTo(watch.heights, POINT{25, 25});
    RealInput::Press(1);
    RealInput::Release(1);
    HWND button = GetDlgItem(progress, 1102);
    RECT area = {};
    GetClientRect(button, &area);
    RealInput::MoveTo(button, POINT{area.right / 2, area.bottom / 2});
    RealInput::Press(1);
    RealInput::Release(1);
    watch.busy = false;
}

}  // namespace

// A 512 x 512 map's picture takes seconds: meanwhile the program handles its
// messages, a window shows the export's progress, the map's windows take no
// clicks, and "キャンセル" ends the export with no file written and nothing
// said. Left alone, the export writes the picture.
TEST_F(EditorInputTest, TheMapPictureExportKeepsTheWindowsAnsweringAndCanBeCancelledLeavingNoFile)
{
    session.MakeVariedMap(512, 0, false);
    HWND heights = Front(kHeightWindow);
    const std::vector<double> before = Map();
    ScratchFolder scratch("quelmora-picture-export-input-test");
    const std::string path = scratch.path() + "map.png";
    for (const char* cancelWith : {"click", ""}) {
        SCOPED_TRACE(cancelWith);
        ExportWatch watch;
        watch.cancelWith = cancelWith;
        watch.heights = heights;
        g_exportWatch = &watch;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnExportTick);
        const bool written = ExportMapPicture(&session.editor(), heights, path.c_str());
        KillTimer(nullptr, timer);
        g_exportWatch = nullptr;

        EXPECT_GT(watch.ticks, 2) << "the window thread did not handle its messages while it exported";
        EXPECT_FALSE(watch.heightsTookInput);
        EXPECT_EQ(before, Map()) << "a window took a click during the export";
        EXPECT_TRUE(IsWindowEnabled(heights));
        EXPECT_EQ(nullptr, FindWindowA("#32770", "マップ画像の書き出し"));
        if (watch.cancelWith.empty()) {
            EXPECT_TRUE(written);
            EXPECT_EQ(std::vector<std::string>{"map.png"}, scratch.Files());
            std::vector<unsigned char> png;
            ASSERT_EQ(MapFileError::None, ReadFileBytes(path.c_str(), kMaxImageFileBytes, &png));
            BgraImage picture;
            ASSERT_EQ(ImageError::None, DecodeBgra(png.data(), png.size(), &picture));
            EXPECT_EQ(8192, picture.width);
            EXPECT_EQ(8192, picture.height);
        } else {
            ASSERT_NE(nullptr, watch.progress) << "no progress window showed";
            EXPECT_FALSE(written);
            EXPECT_EQ(std::vector<std::string>{}, scratch.Files()) << "a cancelled export left a file";
        }
    }
}
