#include "editor/COxelMapDataFile.h"

#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "io/MapFileDisk.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "tools/COxelD3DBillboardSettingWnd.h"
#include "tools/COxelD3DSceneSettingWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kSaveTitle[] = "名前をつけて保存";
const char kOpenTitle[] = "ファイルオープン";

enum Command { kNewMap16 = 200, kNewMap32 = 201, kOpen = 210, kSave = 220, kSaveAs = 230 };

// The map as a file holds it, and what the plane list and the windows show.
struct Snapshot {
    MapFileContents map;
    std::vector<std::string> listed;
    std::vector<long> windowSizes;
    bool operator==(const Snapshot& o) const
    {
        return map == o.map && listed == o.listed && windowSizes == o.windowSizes;
    }
};

class MapDataFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }
    void TearDown() override { DeleteFileA(atlas.c_str()); }

    // A command of the edit menu, chosen while a file dialog with `title`, if
    // one shows, is answered with `answer` (cancelled when empty). Whether it showed.
    bool Choose(int command, const char* title = kSaveTitle, const std::string& answer = "") const
    {
        DialogAnswer dialog(title, answer);
        SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, command, 0);
        return dialog.Stop();
    }
    char* FileName() const { return static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow))->m_fileName; }
    std::vector<std::string> Listed(int column) const
    {
        return ListColumn(static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow))->m_planeList,
                          column);
    }

    // A map worth keeping: a user atlas, heights and turned chips here and
    // there, a visible plane at 6, a hidden one that shows its image once, and
    // two billboards, the second with the plane image, tiled, on a few cells.
    void MakeMap()
    {
        COxelD3DTerrainEditor& editor = session.editor();
        COxelD3DTerrainChipManager& terrain = session.terrain();
        editor.OpenTextureImage(atlas.c_str());
        terrain.SetHeight(3, 4, 7.5);
        terrain.SetHeight(0, 0, 16.0);
        terrain.SetHeight(31, 31, 0.0);
        terrain.SetMapChip(5, 6, 7);
        terrain.SetMapChipRotation(5, 6, 3);
        terrain.SetMapChip(31, 0, 4);
        terrain.SetMapChipRotation(31, 0, 1);
        editor.Perform(PlaneListStep::Adding(PlaneKind::kScenePlane));
        editor.Perform(PlaneListStep::Adding(PlaneKind::kScenePlane));
        session.scene().FindPlane(0)->SetHeight(6.0f);
        editor.Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, 0));
        session.scene().FindPlane(1)->SetRepeat(0);
        terrain.AddBillboard();
        terrain.AddBillboard();
        COxelD3DTerrainPlane* second = terrain.FindBillboard(1);
        second->ReleaseTexture();
        second->LoadTexture("planetexture.dds");
        second->SetRepeat(1);
        for (int cell : {0, 1, 40}) {
            terrain.m_cells[cell].m_billboard = 0;
        }
        // Built through the model, as an opened map is: nothing to undo, nothing unsaved.
        editor.ForgetHistory();
    }

    Snapshot Take() const
    {
        Snapshot snapshot;
        const std::string file = folder + "snapshot.omd";
        EXPECT_TRUE(session.editor().m_mapFile->Save(file.c_str()));
        EXPECT_EQ(MapFileError::None, LoadMapFile(file.c_str(), &snapshot.map));
        DeleteFileA(file.c_str());
        snapshot.listed = Listed(1);
        for (int index : {kHeightWindow, kTextureWindow, kTextureMappingWindow}) {
            const SIZE size = ClientSize(session.handle(index));
            snapshot.windowSizes.insert(snapshot.windowSizes.end(), {size.cx, size.cy});
        }
        return snapshot;
    }

    EditorSession session;
    ScratchFolder scratch{"quelmora-map-data-file-test"};
    const std::string folder = scratch.path();
    const std::string path = folder + "map.omd";
    const std::string atlas = WriteTestBitmap("quelmora_map_file_atlas.bmp", 512, 256, [](int x, int y) {
        return static_cast<uint32_t>((x / 128) * 0x402000 + (y / 128) * 0x80);
    });
};

}  // namespace

TEST_F(MapDataFileTest, ASavedMapOpensWithItsHeightsChipsPlanesBillboardsAndAtlas)
{
    MakeMap();
    // A cell that names no billboard keeps none.
    session.terrain().m_cells[2].m_billboard = 7;
    Snapshot expected = Take();
    expected.map.cells[2].billboard = -1;
    // A new file name: the save dialog must take a file that does not exist yet.
    EXPECT_TRUE(Choose(kSaveAs, kSaveTitle, path));
    ASSERT_TRUE(FileExists(path));
    Choose(kNewMap16);
    EXPECT_TRUE(Listed(0).empty());
    session.editor().OpenWindow(kMapEditWindow);
    session.editor().OpenWindow(kBillboardSettingWindow);
    EXPECT_TRUE(Choose(kOpen, kOpenTitle, path));

    // The list shows each plane's height from the file.
    expected.listed = {"6.000000", "2.500000"};
    EXPECT_TRUE(expected == Take());
    EXPECT_EQ((std::vector<std::string>{"平面(0)", "平面(1)"}), Listed(0));
    EXPECT_EQ(atlas, session.terrain().m_chipImage.fileName);
    EXPECT_EQ(7.5, session.terrain().GetHeight(3, 4));
    EXPECT_EQ(3, session.terrain().GetMapChipRotation(5, 6));
    EXPECT_EQ(0, session.scene().FindPlane(1)->m_visible);
    ASSERT_EQ(2u, session.terrain().m_billboards.size());
    EXPECT_STREQ("planetexture.dds", session.terrain().FindBillboard(1)->m_textureFile);
    EXPECT_NE(nullptr, session.terrain().FindBillboard(1)->m_pTexture);
    EXPECT_EQ((std::vector<std::string>{"ビルボード(0)", "ビルボード(1)"}),
              ListColumn(static_cast<COxelD3DBillboardSettingWnd*>(session.window(kBillboardSettingWindow))
                             ->m_billboardList,
                         0));
    EXPECT_EQ(path, FileName());
    // The opened map edit window shows the map that was loaded, not the new one before it.
    COxelD3DTerrainEditorChildWndBase* mapEdit = session.window(kMapEditWindow);
    const SIZE size = ClientSize(mapEdit->m_hWnd);
    std::vector<unsigned> shown;
    for (bool rebuilt : {false, true}) {
        if (rebuilt) {
            mapEdit->Refresh();
        }
        PaintedPicture picture(mapEdit, size.cx, size.cy);
        for (int y = 0; y < size.cy; y += 5) {
            for (int x = 0; x < size.cx; x += 5) {
                shown.push_back(picture.Pixel(x, y));
            }
        }
    }
    EXPECT_TRUE(std::equal(shown.begin(), shown.begin() + shown.size() / 2, shown.begin() + shown.size() / 2));
}

TEST_F(MapDataFileTest, CancelledDialogsAndRefusedFilesChangeNothing)
{
    MakeMap();
    strcpy(FileName(), "earlier.omd");
    const Snapshot before = Take();
    EXPECT_TRUE(Choose(kSaveAs));
    EXPECT_TRUE(Choose(kOpen, kOpenTitle));
    EXPECT_EQ((std::vector<std::string>{}), scratch.Files());

    std::vector<unsigned char> otherVersion = EncodeMapFile(SampleMap(16, 1, 0));
    otherVersion[8] = '2';
    std::vector<unsigned char> truncated = EncodeMapFile(SampleMap(64, 2, 1));
    truncated.pop_back();
    std::vector<unsigned char> oddSize = EncodeMapFile(SampleMap(16, 0, 0));
    oddSize[kMapFileHeaderOffset] = 20;
    const struct {
        std::vector<unsigned char> bytes;
        MapFileError error;
    } cases[] = {
        {otherVersion, MapFileError::WrongMagic},
        {truncated, MapFileError::ShorterThanHeaderSays},
        {oddSize, MapFileError::BadMapSize},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileSafely(path.c_str(), c.bytes.data(), c.bytes.size()));
        MessageBoxAnswer refusal;
        EXPECT_TRUE(Choose(kOpen, kOpenTitle, path));
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_EQ(MapFileErrorMessage(c.error), refusal.text);
    }
    MessageBoxAnswer refusal;
    EXPECT_EQ(E_FAIL, session.editor().m_mapFile->Load((folder + "missing.omd").c_str()));
    EXPECT_FALSE(FileExists(folder + "missing.omd"));
    EXPECT_TRUE(before == Take());
    EXPECT_STREQ("earlier.omd", FileName());
}

TEST_F(MapDataFileTest, ANewMapChosenWhileAnUnreadableAtlasIsReportedStopsTheLoad)
{
    // A 64 x 64 map with billboards on its cells, whose atlas has gone.
    MapFileContents map = SampleMap(64, 1, 2);
    CopyMapFileText(map.atlasFile, (folder + "gone.bmp").c_str());
    ASSERT_TRUE(SaveMapFile(path.c_str(), map));
    MessageBoxAnswer report;
    bool editorDisabled = false;
    report.whileShown = [&] {
        editorDisabled = !IsWindowEnabled(session.handle(kEditMenuWindow)) &&
                         !IsWindowEnabled(session.handle(kTextureMappingWindow));
        // A command that reaches the menu all the same, as a posted message.
        PostMessageA(session.handle(kEditMenuWindow), WM_COMMAND, kNewMap16, 0);
    };
    EXPECT_EQ(E_ABORT, session.editor().m_mapFile->Load(path.c_str()));
    EXPECT_EQ(1, report.count);
    EXPECT_TRUE(editorDisabled);
    EXPECT_TRUE(IsWindowEnabled(session.handle(kEditMenuWindow)));
    // The new map stands, whole: none of the file's cells, planes or billboards.
    EXPECT_EQ(16, session.editor().m_mapWidth);
    EXPECT_EQ(16, session.terrain().m_mapWidth);
    EXPECT_TRUE(session.terrain().m_billboards.empty());
    EXPECT_TRUE(session.scene().m_planes.empty());
    EXPECT_EQ(2.0, session.terrain().GetHeight(5, 5));
}

TEST_F(MapDataFileTest, AMissingOrRefusedAtlasKeepsItsNameAndRefusedImagesAreNeverOpened)
{
    const std::string missing = folder + "gone.bmp";
    const std::string network = "\\\\host\\share\\atlas.bmp";
    const std::string device = "\\\\.\\pipe\\plane.dds";
    const std::string forward = "//host/billboard.dds";
    const struct {
        std::string atlas;
        std::string planeImage;
        std::string billboardImage;
        std::string message;
    } cases[] = {
        {missing, "planetexture.dds", "billboard.dds", "ファイルのオープンに失敗しました\n" + missing},
        {network, device, forward,
         "マップが指定する次の画像は、ネットワーク上またはデバイスのパスのため読み込みませんでした。\n" + network +
             "\n" + device + "\n" + forward},
    };
    const std::string copy = folder + "copy.omd";
    for (const auto& c : cases) {
        MapFileContents map = SampleMap(16, 1, 1);
        CopyMapFileText(map.atlasFile, c.atlas.c_str());
        CopyMapFileText(map.planes[0].textureFile, c.planeImage.c_str());
        CopyMapFileText(map.billboards[0].textureFile, c.billboardImage.c_str());
        ASSERT_TRUE(SaveMapFile(path.c_str(), map));
        MessageBoxAnswer report;
        EXPECT_EQ(0, session.editor().m_mapFile->Load(path.c_str())) << c.atlas;
        EXPECT_EQ(1, report.count) << c.atlas;
        EXPECT_EQ(c.message, report.text);
        // The built-in atlas stands in; the new plane's and billboard's images stay.
        EXPECT_STREQ("IDB_MAPCHIP", session.terrain().m_chipImage.fileName);
        EXPECT_NE(nullptr, session.scene().FindPlane(0)->m_pTexture);
        EXPECT_NE(nullptr, session.terrain().FindBillboard(0)->m_pTexture);
        // Saved again, the map still names its own atlas.
        MapFileContents saved;
        ASSERT_TRUE(session.editor().m_mapFile->Save(copy.c_str()));
        ASSERT_EQ(MapFileError::None, LoadMapFile(copy.c_str(), &saved));
        EXPECT_EQ(c.atlas, saved.atlasFile);
    }
    // An atlas the user loads, or a new map, ends the stand-in.
    MapFileContents saved;
    session.editor().OpenTextureImage(atlas.c_str());
    ASSERT_TRUE(session.editor().m_mapFile->Save(copy.c_str()));
    ASSERT_EQ(MapFileError::None, LoadMapFile(copy.c_str(), &saved));
    EXPECT_EQ(atlas, saved.atlasFile);
    // The atlas load is an unsaved change of the map: dropped when asked.
    MessageBoxAnswer discard(IDNO);
    Choose(kNewMap16);
    ASSERT_TRUE(session.editor().m_mapFile->Save(copy.c_str()));
    ASSERT_EQ(MapFileError::None, LoadMapFile(copy.c_str(), &saved));
    EXPECT_STREQ("IDB_MAPCHIP", saved.atlasFile);
}

TEST_F(MapDataFileTest, AFailedSaveIsReportedAndKeepsTheOldFile)
{
    const std::vector<unsigned char> old = EncodeMapFile(SampleMap(16, 0, 0));
    ASSERT_TRUE(WriteFileSafely(path.c_str(), old.data(), old.size()));
    const HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::string lost = folder + "gone\\map.omd";
    for (const std::string& target : {path, lost}) {
        strcpy(FileName(), target.c_str());
        MessageBoxAnswer refusal;
        EXPECT_FALSE(Choose(kSave));
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_EQ(MapNotSavedMessage(), refusal.text);
        EXPECT_EQ(target, FileName());
    }
    CloseHandle(locked);
    const std::string kept = ReadWholeFile(path);
    EXPECT_EQ(old, std::vector<unsigned char>(kept.begin(), kept.end()));
    EXPECT_EQ((std::vector<std::string>{"map.omd"}), scratch.Files());
}

TEST_F(MapDataFileTest, SaveWritesTheFileLastOpenedOrSavedAsAndAsksAgainAfterANewMap)
{
    const std::string opened = folder + "opened.omd";
    const std::string savedAs = folder + "saved as.omd";
    const auto heightIn = [](const std::string& file) {
        MapFileContents map;
        return LoadMapFile(file.c_str(), &map) == MapFileError::None ? map.cells[0].heights[0] : -1.0;
    };
    ASSERT_TRUE(session.editor().m_mapFile->Save(opened.c_str()));
    EXPECT_TRUE(Choose(kOpen, kOpenTitle, opened));
    session.terrain().SetHeight(0, 0, 9.0);
    EXPECT_FALSE(Choose(kSave));
    EXPECT_EQ(9.0, heightIn(opened));

    EXPECT_TRUE(Choose(kSaveAs, kSaveTitle, savedAs));
    session.terrain().SetHeight(0, 0, 11.0);
    EXPECT_FALSE(Choose(kSave));
    EXPECT_EQ(11.0, heightIn(savedAs));
    EXPECT_EQ(9.0, heightIn(opened));

    // Saving as a file that exists asks first; "いいえ" keeps the file.
    session.terrain().SetHeight(0, 0, 13.0);
    {
        MessageBoxAnswer no(IDNO);
        EXPECT_TRUE(Choose(kSaveAs, kSaveTitle, opened));
        EXPECT_EQ(1, no.count);
    }
    EXPECT_EQ(9.0, heightIn(opened));

    Choose(kNewMap32);
    EXPECT_TRUE(Choose(kSave));
    EXPECT_EQ(11.0, heightIn(savedAs));
}

TEST_F(MapDataFileTest, EveryNewMapSizeSavesAndOpensWithItsLastRowColumnAndPlane)
{
    ScratchFolder scratch{"quelmora-map-sizes-test"};
    const std::string saved = scratch.path() + "saved.omd";
    const std::string again = scratch.path() + "again.omd";
    for (const int command : {200, 202, 203, 205}) {
        const int size = 16 << (command - 200);
        SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, command, 0);
        COxelD3DTerrainChipManager& terrain = session.terrain();
        ASSERT_EQ(size, terrain.m_mapWidth);
        ASSERT_EQ(size, session.editor().m_mapHeight);
        // Slopes over the edges and here and there, for normals that differ.
        for (int k = 0; k < 24; ++k) {
            terrain.SetHeight(k * 37 % size, k * 53 % size, k % 7 * 2.25);
            terrain.SetMapChipRotation(k * 11 % size, k * 5 % size, k % 4);
        }
        terrain.SetHeight(size - 1, size - 1, 3.5);
        terrain.SetMapChip(size - 1, size - 1, 7);
        session.scene().AddPlane();
        ASSERT_TRUE(session.editor().m_mapFile->Save(saved.c_str())) << size;
        session.editor().NewMap(16, 16);
        ASSERT_EQ(0, session.editor().m_mapFile->Load(saved.c_str())) << size;
        EXPECT_EQ(size, session.terrain().m_mapWidth);
        EXPECT_DOUBLE_EQ(3.5, session.terrain().GetHeight(size - 1, size - 1)) << size;
        EXPECT_EQ(7, session.terrain().GetMapChip(size - 1, size - 1)) << size;
        // From 128 cells a side, a plane spans the whole map.
        ASSERT_EQ(1u, session.scene().m_planes.size()) << size;
        EXPECT_EQ(size >= 128 ? size : 32, session.scene().m_planes[0]->m_width) << size;
        EXPECT_EQ(size >= 128 ? size : 32, session.scene().m_planes[0]->m_depth) << size;
        ASSERT_TRUE(session.editor().m_mapFile->Save(again.c_str())) << size;
        std::vector<unsigned char> first;
        std::vector<unsigned char> second;
        ASSERT_EQ(MapFileError::None, ReadMapFileBytes(saved.c_str(), &first));
        ASSERT_EQ(MapFileError::None, ReadMapFileBytes(again.c_str(), &second));
        EXPECT_TRUE(first == second) << size;
    }
}
