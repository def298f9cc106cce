#include "editor/RecentFiles.h"

#include "app/COxelSettingsFile.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int kOpenDeclinedCopy = 260;
const int kExit = 100;

class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(SettingsFilePath().c_str()); }
    void TearDown() override
    {
        COxelSettingsFile::DestroyInstance();
        DeleteFileA(SettingsFilePath().c_str());
    }

    // The list as a later start reads it from the settings file.
    static std::vector<std::string> Reloaded()
    {
        COxelSettingsFile::DestroyInstance();
        RecentFiles list;
        list.Load(*COxelSettingsFile::GetInstance());
        return list.Paths();
    }

    // The items of "ファイル(&F)" between the separator after "以前の復元用コピーを開く..." and "終了(&X)".
    static std::vector<std::string> MenuEntries(HWND menuWindow)
    {
        HMENU file = GetSubMenu(GetMenu(menuWindow), 0);
        std::vector<std::string> entries;
        int position = 0;
        while (GetMenuItemID(file, position) != kOpenDeclinedCopy) {
            ++position;
        }
        for (position += 2; GetMenuItemID(file, position) != kExit; ++position) {
            char text[MAX_PATH * 2] = {};
            GetMenuStringA(file, position, text, sizeof text, MF_BYPOSITION);
            entries.push_back(GetMenuItemID(file, position) == 0 ? "-" : text);
        }
        return entries;
    }

    ScratchFolder scratch{"quelmora-recent-files-test"};
};

}  // namespace

// Opening and saving put a map at the top of the list, once, and the list
// keeps the newest eight: in the menu, numbered, and in the settings file. An
// entry whose file has gone leaves the list with a message, the map staying;
// one that is there opens through the question about unsaved changes.
TEST_F(RecentFilesTest, TheNewestEightComeFirstOnceAndAFileThatHasGoneLeavesTheList)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    auto& menu = *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow));
    EXPECT_TRUE(MenuEntries(menu.m_hWnd).empty());
    // Where each item above the list is: a longer list moves none of them.
    HMENU file = GetSubMenu(GetMenu(menu.m_hWnd), 0);
    const auto ownPositions = [&] {
        std::vector<UINT> ids;
        for (int position = 0; GetMenuItemID(file, position) != kExit; ++position) {
            ids.push_back(GetMenuItemID(file, position));
        }
        ids.resize(ids.size() - (MenuEntries(menu.m_hWnd).size()));
        return ids;
    };
    const std::vector<UINT> start = ownPositions();
    std::vector<std::string> maps;
    for (int i = 0; i < 10; ++i) {
        maps.push_back(scratch.path() + "map " + std::to_string(i) + ".omd");
        ASSERT_TRUE(session.editor().m_mapFile->Save(maps.back().c_str()));
    }
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 5}) {
        ASSERT_TRUE(menu.OpenMapFile(maps[i].c_str()));
    }
    strcpy(menu.m_fileName, maps[9].c_str());
    ASSERT_TRUE(menu.SaveMap());
    const std::vector<std::string> expected = {maps[9], maps[5], maps[8], maps[7], maps[6], maps[4], maps[3], maps[2]};
    EXPECT_EQ(expected, Reloaded());
    std::vector<std::string> shown;
    for (size_t i = 0; i < expected.size(); ++i) {
        shown.push_back("&" + std::to_string(i + 1) + " " + expected[i]);
    }
    shown.push_back("-");
    EXPECT_EQ(shown, MenuEntries(menu.m_hWnd));
    EXPECT_EQ(start, ownPositions()) << "the list moved an item above it";
    // Long paths lose their middle, not their file name; an ampersand shows as itself.
    const std::string text = RecentFiles::MenuText(3, "C:\\" + std::string(80, 'd') + "\\island & sea.omd");
    EXPECT_EQ("&3 C:\\", text.substr(0, 6));
    EXPECT_NE(std::string::npos, text.find("..."));
    EXPECT_EQ("island && sea.omd", text.substr(text.size() - 17));

    ASSERT_TRUE(DeleteFileA(maps[5].c_str()));
    session.editor().ReplaceHeights(std::vector<double>(32 * 32, 1.0));
    {
        MessageBoxAnswer boxes;
        SendMessageA(menu.m_hWnd, WM_COMMAND, RecentFiles::kFirstCommand + 1, 0);
        EXPECT_EQ(1, boxes.count);
        EXPECT_NE(std::string::npos, boxes.text.find(maps[5])) << boxes.text;
    }
    EXPECT_TRUE(session.editor().IsModified());
    EXPECT_EQ(7u, Reloaded().size());
    MessageBoxAnswer question(IDNO);
    SendMessageA(menu.m_hWnd, WM_COMMAND, RecentFiles::kFirstCommand + 1, 0);
    EXPECT_EQ(1, question.count);
    EXPECT_FALSE(session.editor().IsModified());
    EXPECT_EQ(maps[8], menu.m_fileName);
}

// A section of values that are not absolute paths of files gives an empty list.
TEST_F(RecentFilesTest, AHostileSectionGivesAnEmptyList)
{
    const std::string values[RecentFiles::kMaxCount] = {
        "relative\\map.omd", "\\\\.\\PhysicalDrive0", "\\\\?\\C:\\map.omd", "C:\\maps\\CON",
        "C:\\maps\\lpt1.omd", "C:\\maps\\tab\there.omd", "C:\\" + std::string(300, 'a') + ".omd", "C:",
    };
    for (int i = 0; i < RecentFiles::kMaxCount; ++i) {
        WritePrivateProfileStringA("RecentFiles", ("File" + std::to_string(i + 1)).c_str(), values[i].c_str(),
                                   SettingsFilePath().c_str());
    }
    EXPECT_TRUE(Reloaded().empty());
}
