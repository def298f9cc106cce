#include "tools/COxelD3DBillboardSettingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/TextFit.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const int kAdd = 1005;
const int kLoadImage = 1008;
const int kRepeat = 1009;
const int kDelete = 40013;

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
    // A click on the entry, as the user picks a billboard.
    void Pick(int entry) const
    {
        RECT rect = {};
        rect.left = LVIR_LABEL;
        SendMessageA(List(), LVM_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
        SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(List(), WM_LBUTTONUP, 0, at);
    }
    COxelD3DTerrainPlane* Billboard(int id) const { return session.terrain().FindBillboard(id); }

    EditorSession session;
};

}  // namespace

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
    DialogAnswer noDialog("ファイルオープン！", "", 1000);
    Press(kLoadImage);
    // The watcher reads the titles of this thread's windows: answer it until it gives up.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 1500; Sleep(10)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
    }
    EXPECT_FALSE(noDialog.Answered()) << "nothing to load an image into";
}

TEST_F(BillboardDialogTest, TheRepeatFlagFlipsOnEveryPressWhateverTheMarkShows)
{
    Press(kAdd);
    Pick(0);
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
