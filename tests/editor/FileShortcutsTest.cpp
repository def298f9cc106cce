#include "editor/COxelD3DTerrainEditor.h"

#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
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

namespace {

const char kSaveTitle[] = "名前をつけて保存";
const char kOpenTitle[] = "ファイルオープン";

// Ctrl+N, Ctrl+O, Ctrl+S and Ctrl+Shift+S pressed on the real keyboard in
// the editor's windows, where focus decides which window hears them.
class FileShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override
    {
        RealInput::Release(1);
        DeleteFileA(SettingsFilePath().c_str());
    }

    // Window `index` in front, with the focus.
    HWND Front(int index) const
    {
        HWND window = session.handle(index);
        SetWindowPos(window, HWND_TOP, 300, 120, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RealInput::Dispatch(200);
        return window;
    }
    COxelD3DEditMenuWnd& Menu() const { return *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow)); }
    // Whether the file at `path` holds the map as the editor has it now.
    bool HoldsTheMap(const std::string& path) const
    {
        MapFileContents now;
        MapFileContents saved;
        return session.editor().m_mapFile->Gather(&now) && LoadMapFile(path.c_str(), &saved) == MapFileError::None &&
               now == saved;
    }

    EditorSession session;
    ScratchFolder scratch{"quelmora-file-shortcuts-test"};
};

}  // namespace

// Ctrl+S asks for a name only while the map has no file, then writes to it
// from whichever window has the focus; Ctrl+Shift+S always asks, and the map
// then saves to the new name.
TEST_F(FileShortcutsTest, TheSaveKeysWriteTheMapFromEveryWindow)
{
    const std::string first = scratch.path() + "first.omd";
    const std::string second = scratch.path() + "second.omd";
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(32, 32);
    editor.Perform(std::make_unique<HeightStep>(4, 5, 6.5));
    Front(kHeightWindow);
    {
        DialogAnswer save(kSaveTitle, first);
        RealInput::Key("ctrl+s");
        EXPECT_TRUE(save.Stop()) << "no name asked for a map without a file";
    }
    EXPECT_TRUE(HoldsTheMap(first));
    EXPECT_EQ(first, Menu().m_fileName);
    EXPECT_FALSE(editor.IsModified());

    double height = 7.0;
    for (int index : {kTextureMappingWindow, kSceneSettingWindow, kEditMenuWindow, kHeightWindow}) {
        SCOPED_TRACE(index);
        editor.Perform(std::make_unique<HeightStep>(4, 5, height += 0.5));
        Front(index);
        DialogAnswer none(kSaveTitle, std::string());
        RealInput::Key("ctrl+s");
        EXPECT_FALSE(none.Stop()) << "a name was asked for again";
        EXPECT_TRUE(HoldsTheMap(first));
        EXPECT_FALSE(editor.IsModified());
    }

    editor.Perform(std::make_unique<HeightStep>(1, 1, 2.5));
    Front(kTextureMappingWindow);
    {
        DialogAnswer saveAs(kSaveTitle, second);
        RealInput::Key("ctrl+shift+s");
        EXPECT_TRUE(saveAs.Stop());
    }
    EXPECT_TRUE(HoldsTheMap(second));
    EXPECT_FALSE(HoldsTheMap(first));
    EXPECT_EQ(second, Menu().m_fileName);
    EXPECT_FALSE(editor.IsModified());
}

// A stroke held when Ctrl+S is pressed ends first: the file holds it whole,
// and the pointer moving on with the button still down paints nothing more.
TEST_F(FileShortcutsTest, ASaveDuringAStrokeEndsTheStrokeAndSavesItWhole)
{
    const std::string path = scratch.path() + "stroke.omd";
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(32, 32);
    editor.m_tools.m_dragPaint = 1;
    strcpy(Menu().m_fileName, path.c_str());
    HWND heights = Front(kHeightWindow);
    RealInput::MoveTo(heights, POINT{35, 35});
    RealInput::Press(1);
    RealInput::MoveTo(heights, POINT{95, 35});
    ASSERT_TRUE(editor.IsModified());
    RealInput::Key("ctrl+s");
    EXPECT_TRUE(HoldsTheMap(path));
    RealInput::MoveTo(heights, POINT{95, 95});
    RealInput::Release(1);
    EXPECT_FALSE(editor.IsModified()) << "the stroke went on after the save";
    EXPECT_TRUE(HoldsTheMap(path));
}

// Ctrl+O opens a map through the open dialog; Ctrl+N makes a flat map of the
// size the map has now, after the question about unsaved changes: Cancel
// keeps the map and its changes, No replaces it. The item that Ctrl+N stands
// for names that size.
TEST_F(FileShortcutsTest, TheOpenAndNewKeysGoThroughTheirDialogAndTheQuestion)
{
    const std::string path = scratch.path() + "small.omd";
    COxelD3DTerrainEditor& editor = session.editor();
    editor.NewMap(16, 16);
    editor.Perform(std::make_unique<HeightStep>(3, 3, 9.0));
    ASSERT_TRUE(editor.m_mapFile->Save(path.c_str()));
    editor.NewMap(64, 64);

    Front(kTextureMappingWindow);
    {
        DialogAnswer open(kOpenTitle, path);
        RealInput::Key("ctrl+o");
        EXPECT_TRUE(open.Stop());
    }
    EXPECT_EQ(16, editor.m_mapWidth);
    EXPECT_EQ(16, editor.m_mapHeight);
    EXPECT_EQ(9.0, session.terrain().GetHeight(3, 3));
    EXPECT_EQ(path, Menu().m_fileName);
    char item[128] = {};
    GetMenuStringA(GetMenu(Menu().m_hWnd), COxelD3DEditMenuWnd::kNewMapOfCurrentSize, item, sizeof item,
                   MF_BYCOMMAND);
    EXPECT_STREQ("同じサイズで新規作成 (16×16)\tCtrl+N", item);

    editor.Perform(std::make_unique<HeightStep>(5, 5, 4.0));
    Front(kHeightWindow);
    {
        MessageBoxAnswer cancel(IDCANCEL);
        RealInput::Key("ctrl+n");
        EXPECT_EQ(1, cancel.count);
    }
    EXPECT_EQ(4.0, session.terrain().GetHeight(5, 5));
    EXPECT_TRUE(editor.IsModified());
    EXPECT_EQ(path, Menu().m_fileName);
    Front(kTextureMappingWindow);
    {
        MessageBoxAnswer discard(IDNO);
        RealInput::Key("ctrl+n");
        EXPECT_EQ(1, discard.count);
    }
    EXPECT_EQ(16, editor.m_mapWidth);
    EXPECT_EQ(16, editor.m_mapHeight);
    EXPECT_NE(9.0, session.terrain().GetHeight(3, 3));
    EXPECT_NE(4.0, session.terrain().GetHeight(5, 5));
    EXPECT_FALSE(editor.IsModified());
    EXPECT_STREQ("", Menu().m_fileName) << "the new map would save over the old one's file";
}
