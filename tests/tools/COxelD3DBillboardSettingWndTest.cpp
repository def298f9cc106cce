#include "tools/COxelD3DBillboardSettingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "app/COxelSettingsFile.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/TestBitmap.h"
#include "support/TextFit.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kAdd = 1005;
const int kLoadImage = 1008;
const int kRepeat = 1009;
const int kDelete = 40013;

// A click on the entry, as the user picks a billboard.
void PickEntry(HWND list, int entry)
{
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

// Where the billboard dialog was when it was first activated, that is shown.
RECT g_firstShown;
LRESULT CALLBACK RecordFirstShown(int code, WPARAM wParam, LPARAM lParam)
{
    char title[16] = {};
    if (code == HCBT_ACTIVATE && g_firstShown.right == 0 &&
        GetWindowTextA(reinterpret_cast<HWND>(wParam), title, sizeof title) && lstrcmpA(title, "Billboard") == 0) {
        GetWindowRect(reinterpret_cast<HWND>(wParam), &g_firstShown);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class BillboardDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.editor().OpenWindow(kBillboardSettingWindow);
        ASSERT_NE(nullptr, Dialog());
    }

    HWND Dialog() const { return session.handle(kBillboardSettingWindow); }
    HWND List() const { return GetDlgItem(Dialog(), 3); }
    void Press(int id) const
    {
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Dialog(), id)));
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(Dialog(), id)) != FALSE; }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> entries;
        const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(List(), LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            entries.push_back(text);
        }
        return entries;
    }
    void Pick(int entry) const { PickEntry(List(), entry); }
    COxelD3DTerrainPlane* Billboard(int id) const { return session.terrain().FindBillboard(id); }

    EditorSession session;
};

}  // namespace

// The dialog is made when the view menu first opens it, maybe long after the
// map got its billboards.
TEST(BillboardDialog, OpenedFirstAfterBillboardsWereMadeListsThemAndShowsAtItsPlace)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainChipManager& terrain = session.terrain();
    terrain.AddBillboard();
    terrain.AddBillboard();
    terrain.FindBillboard(0)->LoadTexture("planetexture.dds");
    int* place = &COxelSettingsFile::GetInstance()->m_values[6];
    const int saved[2] = {place[0], place[1]};
    place[0] = 37;
    place[1] = 41;
    g_firstShown = RECT{};
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordFirstShown, nullptr, GetCurrentThreadId());
    session.editor().OpenWindow(kBillboardSettingWindow);
    UnhookWindowsHookEx(hook);
    place[0] = saved[0];
    place[1] = saved[1];
    EXPECT_EQ(37, g_firstShown.left);
    EXPECT_EQ(41, g_firstShown.top);

    HWND dialog = session.handle(kBillboardSettingWindow);
    HWND list = GetDlgItem(dialog, 3);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(0)", "ビルボード(1)"}), ListColumn(list, 0));
    SendMessageA(dialog, WM_COMMAND, kAdd, 0);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(0)", "ビルボード(1)", "ビルボード(2)"}), ListColumn(list, 0));
    // The entry that names billboard 2 deletes billboard 2.
    const std::vector<std::string> entries = ListColumn(list, 0);
    const auto named = std::find(entries.begin(), entries.end(), "ビルボード(2)");
    ASSERT_NE(entries.end(), named);
    PickEntry(list, static_cast<int>(named - entries.begin()));
    SendMessageA(dialog, WM_COMMAND, kDelete, 0);
    ASSERT_EQ(2u, terrain.m_billboards.size());
    EXPECT_STREQ("planetexture.dds", terrain.FindBillboard(0)->m_textureFile);
}

TEST_F(BillboardDialogTest, TwoAddsListBothAndTheNewestStandsOnEveryCell)
{
    EXPECT_FALSE(Enabled(kLoadImage));
    EXPECT_FALSE(Enabled(kRepeat));
    Press(kAdd);
    Press(kAdd);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(0)", "ビルボード(1)"}), Entries());
    const COxelD3DTerrainChipManager& terrain = session.terrain();
    int onOne = 0;
    for (int cell = 0; cell < terrain.m_mapWidth * terrain.m_mapHeight; ++cell) {
        onOne += terrain.m_cells[cell].m_billboard == 1;
    }
    EXPECT_EQ(terrain.m_mapWidth * terrain.m_mapHeight, onOne);
    ASSERT_NE(nullptr, Billboard(1));
    EXPECT_STREQ("billboard.dds", Billboard(1)->m_textureFile);
}

TEST_F(BillboardDialogTest, DeletingThePickedEntryRenumbersAndAMissingBillboardIsLeftAlone)
{
    Press(kAdd);
    Press(kAdd);
    Pick(0);
    EXPECT_TRUE(Enabled(kLoadImage));
    EXPECT_TRUE(Enabled(kRepeat));
    Press(kDelete);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(1)"}), Entries());
    ASSERT_EQ(1u, session.terrain().m_billboards.size());
    EXPECT_EQ(0, session.terrain().m_billboards[0]->m_id);
    EXPECT_EQ(nullptr, Billboard(session.terrain().m_cells[0].m_billboard)) << "cells named the old last id";
    EXPECT_TRUE(Enabled(kRepeat));

    // The next press deletes the billboard that moved up; then none is left.
    Press(kDelete);
    Press(kDelete);
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(session.terrain().m_billboards.empty());
    Press(kRepeat);
    DialogAnswer noDialog("ファイルオープン！", "");
    Press(kLoadImage);
    EXPECT_FALSE(noDialog.Answered()) << "nothing to load an image into";
}

TEST_F(BillboardDialogTest, TheRepeatFlagFlipsOnEveryPressWhateverTheMarkShows)
{
    Press(kAdd);
    Press(kAdd);
    // The box shows the flag of the billboard picked.
    Billboard(1)->SetRepeat(1);
    for (int entry : {1, 0}) {
        Pick(entry);
        EXPECT_EQ(Billboard(entry)->m_repeat ? BST_CHECKED : BST_UNCHECKED, IsDlgButtonChecked(Dialog(), kRepeat));
    }
    for (int expected : {1, 0, 1}) {
        SendDlgItemMessageA(Dialog(), kRepeat, BM_SETCHECK, BST_CHECKED, 0);
        Press(kRepeat);
        EXPECT_EQ(expected, Billboard(0)->m_repeat);
    }
}

TEST_F(BillboardDialogTest, LoadingAnImageReplacesThePickedBillboardsTexture)
{
    Press(kAdd);
    Press(kAdd);
    Pick(1);
    {
        DialogAnswer cancel("ファイルオープン！", "");
        Press(kLoadImage);
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_STREQ("billboard.dds", Billboard(1)->m_textureFile);
    // The dialog may open in the folder used last: the image goes by its full path.
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    {
        DialogAnswer choose("ファイルオープン！", std::string(folder) + "\\planetexture.dds");
        Press(kLoadImage);
        EXPECT_TRUE(choose.Answered());
    }
    const std::string file = Billboard(1)->m_textureFile;
    EXPECT_EQ("planetexture.dds", file.substr(file.find_last_of('\\') + 1));
    EXPECT_NE(nullptr, Billboard(1)->m_pTexture);
    // A file that is no image is refused and the billboard keeps its image.
    const std::string broken = WriteTestBitmap("quelmora_billboard_broken.dds", 8, 8, [](int, int) { return 0u; });
    CloseHandle(CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr));
    const IDirect3DTexture9* texture = Billboard(1)->m_pTexture;
    {
        DialogAnswer choose("ファイルオープン！", broken);
        MessageBoxAnswer refusal;
        Press(kLoadImage);
        EXPECT_TRUE(choose.Answered());
        EXPECT_EQ("ファイルのオープンに失敗しました", refusal.text);
    }
    EXPECT_EQ(texture, Billboard(1)->m_pTexture);
    EXPECT_EQ(file, Billboard(1)->m_textureFile);
    DeleteFileA(broken.c_str());
    EXPECT_STREQ("billboard.dds", Billboard(0)->m_textureFile);
}

TEST_F(BillboardDialogTest, ANewMapEmptiesTheListAndDisablesThePickedBillboardsControls)
{
    Press(kAdd);
    Press(kAdd);
    Pick(1);
    session.editor().NewMap(16, 16);
    EXPECT_TRUE(Entries().empty());
    EXPECT_FALSE(Enabled(kRepeat));
    EXPECT_FALSE(Enabled(kLoadImage));
    Press(kAdd);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(0)"}), Entries());
}

TEST_F(BillboardDialogTest, TextsFitTheirControls)
{
    for (int id : {kAdd, kDelete}) {
        EXPECT_GE(TextRoom(GetDlgItem(Dialog(), id)), 0) << id;
    }
    EXPECT_GE(ColumnTextRoom(List(), 0, "ビルボード(10)"), 0);
}

// Billboards A, B, C; A deleted, C picked: undo and redo keep the pick on C,
// and the repeat box shows C's flag as each undo and redo leaves it.
TEST_F(BillboardDialogTest, ThePickAndTheRepeatBoxFollowUndoAndRedo)
{
    for (int i = 0; i < 3; ++i) {
        Press(kAdd);
    }
    COxelD3DTerrainPlane* const b = Billboard(1);
    COxelD3DTerrainPlane* const c = Billboard(2);
    Pick(0);
    Press(kDelete);
    Pick(1);
    // A click on the box marks it, then flips the flag.
    SendDlgItemMessageA(Dialog(), kRepeat, BM_SETCHECK, BST_CHECKED, 0);
    Press(kRepeat);
    ASSERT_EQ(1, c->m_repeat);
    session.editor().Undo();
    EXPECT_EQ(0, c->m_repeat);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(Dialog(), kRepeat));
    session.editor().Redo();
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(Dialog(), kRepeat));

    // Undoing the flag and the deletion brings A back before C.
    session.editor().Undo();
    session.editor().Undo();
    const auto& dialog = *static_cast<COxelD3DBillboardSettingWnd*>(session.window(kBillboardSettingWindow));
    EXPECT_EQ(c, Billboard(dialog.m_selectedBillboard));
    Press(kRepeat);
    EXPECT_EQ(1, c->m_repeat);
    EXPECT_EQ(0, b->m_repeat);
}

// A map file keeps at most 64 planes and 64 billboards: the 65th add of
// either is refused with a message.
TEST_F(BillboardDialogTest, TheAddAfterTheSixtyFourthPlaneOrBillboardIsRefusedWithAMessage)
{
    const struct {
        HWND dialog;
        int add;
        const std::vector<COxelD3DTerrainPlane*>& list;
        HWND entries;
    } kinds[] = {
        {session.handle(kSceneSettingWindow), 1000, session.scene().m_planes,
         GetDlgItem(session.handle(kSceneSettingWindow), 2)},
        {Dialog(), kAdd, session.terrain().m_billboards, List()},
    };
    for (const auto& kind : kinds) {
        MessageBoxAnswer boxes;
        for (int i = 0; i < 65; ++i) {
            SendMessageA(kind.dialog, WM_COMMAND, MAKEWPARAM(kind.add, BN_CLICKED), 0);
        }
        EXPECT_EQ(64u, kind.list.size());
        EXPECT_EQ(64u, ListColumn(kind.entries, 0).size());
        EXPECT_EQ(1, boxes.count);
        EXPECT_NE(std::string::npos, boxes.text.find("64")) << boxes.text;
    }
}
