#include "editor/COxelD3DEditMenuWnd.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/HeightStep.h"
#include "editor/StatusReadout.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/ProgramFiles.h"
#include "support/ScreenCapture.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelPaintTools.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

class EditMenuTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    void Choose(int id) { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool Checked(int id) const
    {
        return (GetMenuState(GetMenu(session.handle(kEditMenuWindow)), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    std::set<int> CheckedItems() const
    {
        std::set<int> checked;
        for (int id : {300, 301, 302, 310, 311, 500, 40001, 40002, 40003}) {
            if (Checked(id)) {
                checked.insert(id);
            }
        }
        return checked;
    }
    DWORD Dithering() const
    {
        DWORD value = 0;
        g_device->GetRenderState(D3DRS_DITHERENABLE, &value);
        return value;
    }

    EditorSession session;
};

BOOL CALLBACK CountAboutBoxes(HWND hwnd, LPARAM count)
{
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && std::string(title) == "Quelmora" && IsWindowVisible(hwnd)) {
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

}  // namespace

TEST_F(EditMenuTest, CarriesEveryCommandUnderItsJapaneseName)
{
    const struct {
        int id;
        const char* text;
    } items[] = {
        {200, "16×16"}, {201, "32×32"}, {202, "64×64"}, {207, "同じサイズで新規作成 (32×32)\tCtrl+N"},
        {210, "開く(&O)\tCtrl+O"}, {220, "上書き保存(&S)\tCtrl+S"}, {230, "名前を付けて保存(&A)\tCtrl+Shift+S"}, {240, "ハイトマップの読み込み..."}, {241, "ハイトマップの書き出し..."},
        {242, "glTF 形式で書き出し..."}, {243, "マップ画像の書き出し..."}, {100, "終了(&X)"}, {300, "通常描画"}, {301, "ワイヤーフレーム描画"},
        {302, "高精細描画"}, {40001, "無限遠表示"}, {40002, "マップ境界表示"}, {40003, "カーソル位置表示"},
        {310, "有効"}, {311, "無効"}, {500, "背景を表示"}, {400, "テクスチャ画像を開く"}, {40000, "バージョン情報(&A)"},
    };
    HMENU menu = GetMenu(session.handle(kEditMenuWindow));
    for (const auto& item : items) {
        char text[64] = {};
        GetMenuStringA(menu, item.id, text, sizeof text, MF_BYCOMMAND);
        EXPECT_STREQ(item.text, text) << "item " << item.id;
    }
    // Below the menu bar, nothing but the status bar.
    RECT client = {};
    GetClientRect(session.handle(kEditMenuWindow), &client);
    RECT status = {};
    GetWindowRect(GetDlgItem(session.handle(kEditMenuWindow), COxelD3DEditMenuWnd::kStatusBarId), &status);
    EXPECT_EQ(420, client.right);
    EXPECT_EQ(status.bottom - status.top, client.bottom);
}

// A standard status bar along the bottom, whose first part holds the readout
// (WM_GETTEXT reads it); the menu bar on one line above it, and the longest
// readout fits.
TEST_F(EditMenuTest, TheStatusBarAlongTheBottomShowsTheReadoutBelowAMenuBarOfOneLine)
{
    HWND window = session.handle(kEditMenuWindow);
    HWND status = GetDlgItem(window, COxelD3DEditMenuWnd::kStatusBarId);
    ASSERT_NE(nullptr, status);
    char className[64] = {};
    GetClassNameA(status, className, sizeof className);
    EXPECT_STREQ("msctls_statusbar32", className);
    RECT client;
    GetClientRect(window, &client);
    RECT bar;
    GetWindowRect(status, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(client.left, bar.left);
    EXPECT_EQ(client.right, bar.right);
    EXPECT_EQ(client.bottom, bar.bottom);
    EXPECT_GT(bar.bottom - bar.top, 10);

    HMENU menu = GetMenu(window);
    RECT first;
    ASSERT_TRUE(GetMenuItemRect(window, menu, 0, &first));
    for (int position = 1; position < GetMenuItemCount(menu); ++position) {
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(window, menu, position, &item));
        EXPECT_EQ(first.top, item.top) << "menu " << position << " wrapped onto another line";
    }

    const std::string texts[] = {VertexReadout(12, 40, 3.5), CellReadout(511, 511, 16383, 3, 63),
                                 CellReadout(0, 1, 2, 0, -1)};
    for (const std::string& text : texts) {
        session.editor().ShowStatus(text);
        char read[256] = {};
        EXPECT_EQ(static_cast<LRESULT>(text.size()), SendMessageA(status, WM_GETTEXT, sizeof read, reinterpret_cast<LPARAM>(read)));
        EXPECT_EQ(text, read);
        HDC dc = GetDC(status);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(status, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(status, dc);
        EXPECT_LT(extent.cx, client.right - 16) << text;
    }
    EXPECT_NE(0, GetWindowLongPtrA(status, GWL_STYLE) & WS_VISIBLE) << "the status bar's drawing stayed off";
}

// "編集(&E)" between "ファイル(&F)" and "表示(&V)": its two items are greyed
// until there is something to undo or redo, and the whole bar stays in sight.
TEST_F(EditMenuTest, TheEditMenuUndoesAndRedoesAndIsGreyedWhenThereIsNothingToDo)
{
    HMENU menu = GetMenu(session.handle(kEditMenuWindow));
    char text[64] = {};
    GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("編集(&E)", text);
    GetMenuStringA(menu, 700, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("元に戻す(&U)\tCtrl+Z", text);
    GetMenuStringA(menu, 701, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("やり直し(&R)\tCtrl+Y", text);
    RECT window;
    GetWindowRect(session.handle(kEditMenuWindow), &window);
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(session.handle(kEditMenuWindow), menu, position, &item));
        EXPECT_LE(item.bottom, window.bottom) << "menu " << position;
    }

    auto greyed = [&](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    COxelD3DTerrainChipManager& terrain = session.terrain();
    const double start = terrain.GetHeight(2, 3);
    EXPECT_TRUE(greyed(700));
    EXPECT_TRUE(greyed(701));
    session.editor().Perform(std::make_unique<HeightStep>(2, 3, start + 0.5));
    EXPECT_FALSE(greyed(700));
    EXPECT_TRUE(greyed(701));
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, 700, 0);
    EXPECT_EQ(start, terrain.GetHeight(2, 3));
    EXPECT_TRUE(greyed(700));
    EXPECT_FALSE(greyed(701));
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, 701, 0);
    EXPECT_EQ(start + 0.5, terrain.GetHeight(2, 3));
    session.editor().NewMap(16, 16);
    EXPECT_TRUE(greyed(700));
    EXPECT_TRUE(greyed(701));
}

TEST_F(EditMenuTest, StartsWithTheMarksOfTheStartStateAndDitheringOff)
{
    EXPECT_EQ((std::set<int>{300, 302, 311, 500, 40001}), CheckedItems());
    EXPECT_EQ(static_cast<DWORD>(FALSE), Dithering());
}

TEST_F(EditMenuTest, TogglesFlipTheirSwitchAndSetTheMarkFromIt)
{
    COxelD3DSceneBase& scene = session.scene();
    const struct {
        int id;
        int* flag;
    } toggles[] = {
        {302, &session.application().m_renderToTexture}, {500, &scene.m_showBackground},
        {40001, &scene.m_showInfinite},                  {40002, &scene.m_showMapBorder},
        {40003, &scene.m_showCursor},
    };
    for (const auto& toggle : toggles) {
        const int start = *toggle.flag;
        Choose(toggle.id);
        EXPECT_EQ(!start, *toggle.flag) << toggle.id;
        EXPECT_EQ(*toggle.flag != 0, Checked(toggle.id)) << toggle.id;
        // The switch, not the mark, decides: set behind the menu's back, it is
        // still flipped the right way.
        *toggle.flag = 0;
        Choose(toggle.id);
        EXPECT_EQ(1, *toggle.flag) << toggle.id;
        EXPECT_TRUE(Checked(toggle.id)) << toggle.id;
    }
}

TEST_F(EditMenuTest, PairsKeepExactlyOneMarkAndSetTheirState)
{
    Choose(301);
    Choose(301);
    EXPECT_EQ(D3DFILL_WIREFRAME, session.application().m_fillMode);
    EXPECT_TRUE(Checked(301));
    EXPECT_FALSE(Checked(300));
    Choose(300);
    EXPECT_EQ(D3DFILL_SOLID, session.application().m_fillMode);
    EXPECT_TRUE(Checked(300));
    EXPECT_FALSE(Checked(301));

    Choose(310);
    EXPECT_EQ(static_cast<DWORD>(TRUE), Dithering());
    EXPECT_TRUE(Checked(310));
    EXPECT_FALSE(Checked(311));
    Choose(311);
    EXPECT_EQ(static_cast<DWORD>(FALSE), Dithering());
    EXPECT_FALSE(Checked(310));
}

TEST_F(EditMenuTest, NewMapCommandsMakeMapsOfTheirSize)
{
    for (int id : {200, 202, 201}) {
        Choose(id);
        EXPECT_EQ(16 << (id - 200), session.terrain().m_mapWidth);
        EXPECT_EQ(16 << (id - 200), session.editor().m_mapHeight);
    }
}

TEST_F(EditMenuTest, EachAboutCommandOpensAnotherAboutBox)
{
    Choose(40000);
    Choose(40000);
    int boxes = 0;
    EnumWindows(CountAboutBoxes, reinterpret_cast<LPARAM>(&boxes));
    EXPECT_EQ(2, boxes);
}

TEST_F(EditMenuTest, ExitSavesTheLayoutAndEndsTheRun)
{
    COxelSettingsFile::DestroyInstance();
    DeleteFileA(SettingsFilePath().c_str());
    HWND menu = session.handle(kEditMenuWindow);
    Choose(100);
    EXPECT_FALSE(IsWindow(menu));
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DeleteFileA(SettingsFilePath().c_str());
}

TEST_F(EditMenuTest, TheToolsMenuFollowsTheViewMenuWithRadioGroupsKeptInASectionOfItsOwn)
{
    HMENU menu = GetMenu(session.handle(kEditMenuWindow));
    char view[32] = {};
    char tools[32] = {};
    for (int position = 0; position + 1 < GetMenuItemCount(menu); ++position) {
        GetMenuStringA(menu, position, view, sizeof view, MF_BYPOSITION);
        if (std::string(view) == "表示(&V)") {
            GetMenuStringA(menu, position + 1, tools, sizeof tools, MF_BYPOSITION);
        }
    }
    EXPECT_STREQ("ツール(&T)", tools);
    const int all[] = {7000, 7001, 7002, 7003, 7010, 7011, 7012, 7020, 7021};
    const auto marked = [&] {
        std::set<int> ids;
        for (int id : all) {
            if (Checked(id)) {
                ids.insert(id);
            }
        }
        return ids;
    };
    EXPECT_EQ((std::set<int>{7000, 7010}), marked()) << "1 x 1, raise and lower; no strokes, no fill";

    for (int id : {7003, 7012, 7020, 7021, 7011, 7021}) {
        Choose(id);
    }
    EXPECT_EQ((std::set<int>{7003, 7011, 7020}), marked());
    const COxelPaintTools& chosen = session.editor().m_tools;
    EXPECT_EQ(9, chosen.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kSmooth, chosen.m_heightTool);
    EXPECT_EQ(1, chosen.m_dragPaint);
    EXPECT_EQ(0, chosen.m_fill);

    // Written with the layout, read back by the next run; values it does not
    // know leave the defaults.
    const std::string path = SettingsFilePath();
    session.editor().SaveWindowLayout();
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys()) << "the layout keys stay as they are";
    COxelPaintTools loaded;
    loaded.Load(*COxelSettingsFile::GetInstance());
    EXPECT_EQ(9, loaded.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kSmooth, loaded.m_heightTool);
    EXPECT_EQ(1, loaded.m_dragPaint);
    WritePrivateProfileStringA("PaintTools", "BrushSize", "4", path.c_str());
    WritePrivateProfileStringA("PaintTools", "HeightTool", "7", path.c_str());
    COxelPaintTools odd;
    odd.Load(*COxelSettingsFile::GetInstance());
    EXPECT_EQ(1, odd.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kRaiseLower, odd.m_heightTool);
    DeleteFileA(path.c_str());
}

// On the screen, the status bar shows each text whole once it has painted,
// and nothing of a longer text before it.
TEST(EditMenuScreen, TheStatusBarPaintsEachTextWholeAndNothingOfTheOneBefore)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    HWND window = session.handle(kEditMenuWindow);
    SetWindowPos(window, HWND_TOP, 200, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    HWND status = GetDlgItem(window, COxelD3DEditMenuWnd::kStatusBarId);
    const auto show = [&](const std::string& text) {
        session.editor().ShowStatus(text);
        UpdateWindow(status);
    };
    show(VertexReadout(1, 2, 3.0));
    const ScreenPicture shortText = WaitForSteadyPicture(status, 200, 10000);
    ASSERT_FALSE(shortText.pixels.empty());
    show(CellReadout(511, 511, 16383, 3, 63));
    const ScreenPicture longText = WaitForChangedPicture(status, shortText, 0.01, 10000);
    EXPECT_GT(DifferingShare(shortText, longText, 8), 0.01) << "the new text was not painted";
    show(VertexReadout(1, 2, 3.0));
    const ScreenPicture back = WaitForPicture(
        status, 10000, [&](const ScreenPicture& picture) { return DifferingShare(shortText, picture, 8) == 0.0; });
    EXPECT_EQ(0.0, DifferingShare(shortText, back, 8)) << "the longer text left a trace";
}
