#include "editor/COxelD3DTerrainEditor.h"

#include "app/SampleMap.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelMapDataFile.h"
#include "editor/HeightStep.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const int kOpenSampleMap = 40014;

class SampleMapMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        DeleteFileA(SettingsFilePath().c_str());
    }
    void TearDown() override { DeleteFileA(SettingsFilePath().c_str()); }

    COxelD3DEditMenuWnd& menu() const { return *static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow)); }
    void OpenSample() const { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, kOpenSampleMap, 0); }
    void Edit() const
    {
        const double height = session.terrain().GetHeight(2, 3);
        session.editor().Perform(std::make_unique<HeightStep>(2, 3, height + 0.5));
    }

    EditorSession session;
};

}  // namespace

// "サンプルマップを開く" heads "ヘルプ(&H)", above "バージョン情報(&A)".
TEST_F(SampleMapMenu, HeadsTheHelpMenu)
{
    HMENU bar = GetMenu(session.handle(kEditMenuWindow));
    const int last = GetMenuItemCount(bar) - 1;
    char text[64] = {};
    GetMenuStringA(bar, last, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("ヘルプ(&H)", text);
    HMENU help = GetSubMenu(bar, last);
    EXPECT_EQ(static_cast<UINT>(kOpenSampleMap), GetMenuItemID(help, 0));
    GetMenuStringA(help, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("サンプルマップを開く", text);
    EXPECT_EQ(40000u, GetMenuItemID(help, GetMenuItemCount(help) - 1));
}

// Through the question about unsaved changes, as "開く(&O)": "キャンセル"
// keeps the map and its edit; "いいえ" opens the sample, as the file holds it,
// untitled and unchanged, so that "上書き保存(&S)" asks for a name instead of
// writing over the sample, and the recent files do not list it.
TEST_F(SampleMapMenu, OpensTheSampleUntitledThroughTheQuestionAboutUnsavedChanges)
{
    MapFileContents sample;
    ASSERT_EQ(MapFileError::None, LoadMapFile(kSampleMapName, &sample));
    const std::string named = "C:\\maps\\mine.omd";
    CopyPath(menu().m_fileName, sizeof menu().m_fileName, named.c_str());
    const std::vector<std::string> recent = menu().m_recentFiles.Paths();
    Edit();
    {
        MessageBoxAnswer cancel(IDCANCEL);
        OpenSample();
        EXPECT_EQ(1, cancel.count);
        EXPECT_NE(std::string::npos, cancel.text.find(named)) << cancel.text;
    }
    EXPECT_EQ(32, session.editor().m_mapWidth);
    EXPECT_TRUE(session.editor().IsModified());
    EXPECT_EQ(named, menu().m_fileName);

    {
        MessageBoxAnswer no(IDNO);
        OpenSample();
        EXPECT_EQ(1, no.count);
    }
    MapFileContents opened;
    ASSERT_TRUE(session.editor().m_mapFile->Gather(&opened));
    EXPECT_EQ(sample.width, opened.width);
    ASSERT_EQ(sample.cells.size(), opened.cells.size());
    for (size_t i = 0; i < sample.cells.size(); ++i) {
        ASSERT_EQ(sample.cells[i].chip, opened.cells[i].chip) << "cell " << i;
        ASSERT_EQ(sample.cells[i].rotation, opened.cells[i].rotation) << "cell " << i;
        ASSERT_EQ(sample.cells[i].billboard, opened.cells[i].billboard) << "cell " << i;
        ASSERT_NEAR(sample.cells[i].heights[0], opened.cells[i].heights[0], 1e-6) << "cell " << i;
    }
    EXPECT_TRUE(opened.planes == sample.planes);
    EXPECT_TRUE(opened.billboards == sample.billboards);
    EXPECT_FALSE(session.editor().IsModified());
    EXPECT_STREQ("", menu().m_fileName);
    EXPECT_EQ(recent, menu().m_recentFiles.Paths());

    // Opened again without changes: no question.
    MessageBoxAnswer none(IDCANCEL);
    OpenSample();
    EXPECT_EQ(0, none.count);
}
