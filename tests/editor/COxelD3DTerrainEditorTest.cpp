#include "editor/COxelD3DTerrainEditor.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Stands in for a window object and writes down what the editor calls on it.
class SpyWindow : public COxelD3DTerrainEditorChildWndBase {
public:
    SpyWindow(int index, std::vector<std::string>* log) : m_index(index), m_log(log) {}
    void Create() override {}
    void OnPaint(HDC) override { Note("paint"); }
    int OnMouse(UINT message, int x, int y) override
    {
        Note("mouse " + std::to_string(message) + " " + std::to_string(x) + "," + std::to_string(y));
        return 0;
    }
    void OnCommand(int id) override { Note("command " + std::to_string(id)); }
    void OnScroll(LPARAM, int, int, int) override { Note("scroll"); }
    void Refresh() override { Note("refresh"); }

private:
    void Note(const std::string& what) { m_log->push_back(std::to_string(m_index) + " " + what); }
    int m_index;
    std::vector<std::string>* m_log;
};

class TerrainEditorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    // Puts spies into every slot, each over the real window's handle where there is one.
    void Spy()
    {
        for (int index = 0; index < kEditorWindowCount; ++index) {
            m_real[index] = session.editor().m_windows[index];
            m_spies.emplace_back(new SpyWindow(index, &log));
            m_spies.back()->m_hWnd = m_real[index] ? m_real[index]->m_hWnd : nullptr;
            session.editor().m_windows[index] = m_spies.back().get();
        }
    }
    void TearDown() override
    {
        if (!m_spies.empty()) {
            for (int index = 0; index < kEditorWindowCount; ++index) {
                session.editor().m_windows[index] = m_real[index];
            }
        }
    }

    EditorSession session;
    std::vector<std::string> log;

private:
    COxelD3DTerrainEditorChildWndBase* m_real[kEditorWindowCount] = {};
    std::vector<std::unique_ptr<SpyWindow>> m_spies;
};

// A settings file with just the given keys, as a user's earlier run left it.
void WriteSettings(const std::vector<std::pair<int, int>>& values)
{
    COxelSettingsFile::DestroyInstance();
    DeleteFileA(SettingsFilePath().c_str());
    for (const auto& value : values) {
        WritePrivateProfileStringA(COxelSettingsFile::Section(value.first), COxelSettingsFile::Key(value.first),
                                   std::to_string(value.second).c_str(), SettingsFilePath().c_str());
    }
}

int SavedValue(int index)
{
    return static_cast<int>(GetPrivateProfileIntA(COxelSettingsFile::Section(index), COxelSettingsFile::Key(index),
                                                  -99999, SettingsFilePath().c_str()));
}

RECT Rect(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return rect;
}

}  // namespace

TEST_F(TerrainEditorTest, EachWindowHandsTheEditorExactlyTheMessagesItRoutes)
{
    Spy();
    const int windows[] = {kEditMenuWindow, kHeightWindow, kTextureWindow, kTextureMappingWindow};
    for (int index : windows) {
        HWND hwnd = session.handle(index);
        log.clear();
        SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(1001, 0), 0);
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
        std::vector<std::string> expected = {std::to_string(index) + " mouse 514 7,9"};
        if (index == kHeightWindow || index == kTextureMappingWindow) {
            expected.push_back(std::to_string(index) + " mouse 512 3,4");
        }
        expected.push_back(std::to_string(index) + " command 1001");
        // Every window paints, the edit menu too: its client area holds the status bar.
        expected.push_back(std::to_string(index) + " paint");
        EXPECT_EQ(expected, log) << "window " << index;
    }
}

TEST_F(TerrainEditorTest, KeysMoveThePreviewCameraFromTheEditMenuAndHeightWindowsOnly)
{
    session.editor().OpenWindow(kMapEditWindow);
    for (int index : {kEditMenuWindow, kHeightWindow, kTextureWindow, kTextureMappingWindow, kMapEditWindow}) {
        const D3DXVECTOR3 before = session.scene().m_camera->GetPosition();
        SendMessageA(session.handle(index), WM_KEYDOWN, VK_UP, 0);
        const D3DXVECTOR3 after = session.scene().m_camera->GetPosition();
        EXPECT_EQ(index == kEditMenuWindow || index == kHeightWindow, before != after) << "window " << index;
    }
}

TEST_F(TerrainEditorTest, ShowAndNewMapTouchTheWindowsTheEditorManagesInIndexOrder)
{
    const int managed[] = {kEditMenuWindow, kHeightWindow, kTextureWindow, kTextureMappingWindow};
    for (int index : managed) {
        ShowWindow(session.handle(index), SW_HIDE);
    }
    session.editor().ShowWindows();
    for (int index : managed) {
        EXPECT_TRUE(IsWindowVisible(session.handle(index))) << "window " << index;
    }
    EXPECT_EQ(nullptr, session.handle(kBillboardSettingWindow));
    EXPECT_EQ(nullptr, session.handle(kMapEditWindow));

    Spy();
    session.editor().NewMap(16, 16);
    EXPECT_EQ((std::vector<std::string>{"0 refresh", "1 refresh", "3 refresh", "4 refresh", "5 refresh"}), log);
    EXPECT_EQ(16, session.terrain().m_mapWidth);
    EXPECT_EQ(16, session.editor().m_mapHeight);
}

TEST_F(TerrainEditorTest, NewMapsAndAtlasesAlsoRefreshTheWindowsOpenedFromTheMenu)
{
    session.editor().OpenWindow(kMapEditWindow);
    session.editor().OpenWindow(kBillboardSettingWindow);
    Spy();
    session.editor().NewMap(16, 16);
    EXPECT_EQ((std::vector<std::string>{"0 refresh", "1 refresh", "2 refresh", "3 refresh", "4 refresh", "5 refresh",
                                        "6 refresh"}),
              log);
    log.clear();
    const std::string atlas = WriteTestBitmap("quelmora_editor_atlas.bmp", 256, 128, [](int, int) { return 0u; });
    session.editor().OpenTextureImage(atlas.c_str());
    DeleteFileA(atlas.c_str());
    EXPECT_EQ((std::vector<std::string>{"4 refresh", "5 refresh", "6 refresh"}), log);
}

TEST_F(TerrainEditorTest, WindowsLeftByAGoneEditorIgnoreClicks)
{
    HWND mapping = session.handle(kTextureMappingWindow);
    session.editor().m_selectedChip = 9;
    COxelD3DTerrainEditor::DestroyInstance();
    SendMessageA(mapping, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(mapping, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    InvalidateRect(mapping, nullptr, FALSE);
    UpdateWindow(mapping);
    EXPECT_EQ(0, session.application().m_scene->m_terrain->m_pChipManager->GetMapChip(0, 0));
    EXPECT_EQ(nullptr, COxelD3DTerrainEditor::ExistingInstance()) << "a message made a new editor";
}

TEST(TerrainEditorLayout, AFirstRunStacksTheWindowsAtTheOriginWithSixteenPixelCells)
{
    WriteSettings({});
    EditorSession session;
    ASSERT_TRUE(session.ok());
    for (int index : {kEditMenuWindow, kHeightWindow, kTextureWindow, kTextureMappingWindow}) {
        EXPECT_EQ(0, Rect(session.handle(index)).left) << "window " << index;
        EXPECT_EQ(0, Rect(session.handle(index)).top) << "window " << index;
    }
    const SIZE client = ClientSize(session.handle(kTextureMappingWindow));
    EXPECT_EQ(512, client.cx);
    EXPECT_EQ(512, client.cy);
    DeleteFileA(SettingsFilePath().c_str());
}

TEST(TerrainEditorLayout, RestoresPlacesAndCellSizesAndBringsLostWindowsBack)
{
    const struct {
        int cellWidth, cellHeight;
        int expectedWidth, expectedHeight;
    } cellCases[] = {{-3, 0, 16, 16}, {24, 12, 24, 12}, {1000, 65, 64, 64}};
    for (const auto& cells : cellCases) {
        WriteSettings({{8, 300}, {9, 200}, {10, -32000}, {11, -32000}, {16, cells.cellWidth}, {17, cells.cellHeight}});
        EditorSession session;
        ASSERT_TRUE(session.ok());
        EXPECT_EQ(300, Rect(session.handle(kHeightWindow)).left);
        EXPECT_EQ(200, Rect(session.handle(kHeightWindow)).top);
        RECT texture = Rect(session.handle(kTextureWindow));
        EXPECT_NE(nullptr, MonitorFromRect(&texture, MONITOR_DEFAULTTONULL));
        int width = 0;
        int height = 0;
        static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->GetCellSize(&width, &height);
        EXPECT_EQ(cells.expectedWidth, width);
        EXPECT_EQ(cells.expectedHeight, height);
    }
    DeleteFileA(SettingsFilePath().c_str());
}

TEST(TerrainEditorLayout, SavesOncePerRunWithTheRestoredPlaceOfAMinimisedWindow)
{
    WriteSettings({{6, 77}, {7, 88}});
    {
        EditorSession session;
        ASSERT_TRUE(session.ok());
        HWND height = session.handle(kHeightWindow);
        MoveWindow(height, 210, 220, 200, 200, FALSE);
        ShowWindow(height, SW_SHOWMINNOACTIVE);
        session.editor().SaveWindowLayout();
        EXPECT_EQ(210, SavedValue(8));
        EXPECT_EQ(220, SavedValue(9));
        // The billboard window was never made: its place from the file stays.
        EXPECT_EQ(77, SavedValue(6));
        EXPECT_EQ(88, SavedValue(7));
        EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());

        ShowWindow(height, SW_RESTORE);
        MoveWindow(height, 400, 410, 200, 200, FALSE);
        session.editor().SaveWindowLayout();
        EXPECT_EQ(210, SavedValue(8));
    }
    DeleteFileA(SettingsFilePath().c_str());
}

TEST(TerrainEditorLayout, TheViewMenuOpensEachWindowOnceAtItsSavedPlaceClosingHidesAndDestroyingEndsTheRun)
{
    WriteSettings({{6, 900}, {7, 500}, {14, 30}, {15, 600}, {18, 500}, {19, 300}});
    {
        EditorSession session;
        ASSERT_TRUE(session.ok());
        HWND menu = session.handle(kEditMenuWindow);
        EXPECT_EQ(nullptr, session.handle(kMapEditWindow));
        SendMessageA(menu, WM_COMMAND, MAKEWPARAM(600, 0), 0);
        HWND mapEdit = session.handle(kMapEditWindow);
        ASSERT_NE(nullptr, mapEdit);
        EXPECT_TRUE(IsWindowVisible(mapEdit));
        const RECT placed = Rect(mapEdit);
        EXPECT_EQ(30, placed.left);
        EXPECT_EQ(600, placed.top);
        EXPECT_EQ(500, placed.right - placed.left);
        EXPECT_EQ(300, placed.bottom - placed.top);
        SendMessageA(menu, WM_COMMAND, MAKEWPARAM(601, 0), 0);
        HWND billboards = session.handle(kBillboardSettingWindow);
        ASSERT_NE(nullptr, billboards);
        EXPECT_TRUE(IsWindowVisible(billboards));
        EXPECT_EQ(900, Rect(billboards).left);
        EXPECT_EQ(500, Rect(billboards).top);
        char caption[32] = {};
        GetWindowTextA(billboards, caption, sizeof caption);
        EXPECT_STREQ("Billboard", caption);

        // Closed, a window is only hidden, and the run goes on; a second use
        // brings the same window back, where the user left it.
        MoveWindow(mapEdit, 40, 610, 520, 310, TRUE);
        for (HWND window : {mapEdit, billboards}) {
            SendMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(IsWindow(window));
            EXPECT_FALSE(IsWindowVisible(window));
        }
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        SendMessageA(menu, WM_COMMAND, MAKEWPARAM(600, 0), 0);
        SendMessageA(menu, WM_COMMAND, MAKEWPARAM(601, 0), 0);
        EXPECT_EQ(mapEdit, session.handle(kMapEditWindow));
        EXPECT_EQ(billboards, session.handle(kBillboardSettingWindow));
        EXPECT_TRUE(IsWindowVisible(mapEdit));
        EXPECT_TRUE(IsWindowVisible(billboards));
        EXPECT_EQ(40, Rect(mapEdit).left);

        DestroyWindow(mapEdit);
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(40, SavedValue(14));
        EXPECT_EQ(610, SavedValue(15));
        EXPECT_EQ(520, SavedValue(18));
        EXPECT_EQ(310, SavedValue(19));
        EXPECT_EQ(900, SavedValue(6));
    }
    DeleteFileA(SettingsFilePath().c_str());
}

TEST_F(TerrainEditorTest, TheAtlasDialogLoadsTheChosenImageOrNothingAndLeavesTheCurrentDirectory)
{
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    const std::string atlas = WriteTestBitmap("quelmora_editor_atlas.bmp", 512, 256, [](int, int) { return 0x336699u; });
    {
        DialogAnswer cancel("ファイルオープン！", "");
        session.editor().OpenTextureImage(nullptr);
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_EQ(1024, session.terrain().m_chipImage.width);
    {
        DialogAnswer choose("ファイルオープン！", atlas);
        session.editor().OpenTextureImage(nullptr);
        EXPECT_TRUE(choose.Answered());
    }
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(512, session.terrain().m_chipImage.width);
    EXPECT_EQ(atlas, session.terrain().m_chipImage.fileName);
    DeleteFileA(atlas.c_str());

    // A file that cannot be read is reported while the map still has its atlas,
    // and the atlas stays.
    const size_t steps = session.editor().m_history.Count();
    MessageBoxAnswer report;
    bool atlasWhileReported = false;
    report.whileShown = [&] {
        atlasWhileReported = session.terrain().m_chipImage.loaded && session.terrain().m_chipTexture;
    };
    session.editor().OpenTextureImage(atlas.c_str());
    EXPECT_EQ(1, report.count);
    EXPECT_TRUE(atlasWhileReported);
    EXPECT_EQ(512, session.terrain().m_chipImage.width);
    EXPECT_EQ(steps, session.editor().m_history.Count());
}
