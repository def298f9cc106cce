#include "editor/COxelMapDataFile.h"

#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapFileDisk.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "tools/COxelD3DSceneSettingWnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char kSaveTitle[] = "名前をつけて保存";
const char kOpenTitle[] = "ファイルオープン";

enum Command { kNewMap16 = 200, kNewMap32 = 201, kOpen = 210, kSave = 220, kSaveAs = 230 };

// Everything a map file carries, and what the windows show of it, as the editor holds it now.
struct MapState {
    int width = 0;
    int height = 0;
    std::string atlas;
    std::vector<double> heights;
    std::vector<float> normals;
    std::vector<int> chips;
    std::vector<int> rotations;
    std::vector<int> billboardIds;
    size_t billboards = 0;
    std::vector<std::tuple<std::string, float, int, int>> planes;
    std::vector<std::string> listedHeights;
    std::vector<long> windowSizes;

    bool operator==(const MapState& o) const
    {
        return std::tie(width, height, atlas, heights, normals, chips, rotations, billboardIds, billboards, planes,
                        listedHeights, windowSizes) ==
               std::tie(o.width, o.height, o.atlas, o.heights, o.normals, o.chips, o.rotations, o.billboardIds,
                        o.billboards, o.planes, o.listedHeights, o.windowSizes);
    }
};

class MapDataFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    void Choose(int command) const { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, command, 0); }
    std::string FileName() const
    {
        return static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow))->m_fileName;
    }
    void SetFileName(const std::string& name) const
    {
        strcpy(static_cast<COxelD3DEditMenuWnd*>(session.window(kEditMenuWindow))->m_fileName, name.c_str());
    }
    HWND PlaneList() const
    {
        return static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow))->m_planeList;
    }

    // A map worth keeping: a user atlas, heights and turned chips here and
    // there, a visible plane at 6 and a hidden plane that shows its image once,
    // and a billboard.
    void MakeMap(const std::string& atlas)
    {
        COxelD3DTerrainEditor& editor = session.editor();
        COxelD3DTerrainChipManager& terrain = session.terrain();
        editor.OpenTextureImage(atlas.c_str());
        terrain.SetHeight(3, 4, 7.5);
        terrain.SetHeight(0, 0, 16.0);
        terrain.SetHeight(31, 31, 0.0);
        terrain.SetHeight(12, 30, 5.5);
        terrain.SetMapChip(5, 6, 7);
        terrain.SetMapChipRotation(5, 6, 3);
        terrain.SetMapChip(31, 0, 4);
        terrain.SetMapChipRotation(31, 0, 1);
        editor.AddPlane();
        editor.AddPlane();
        session.scene().FindPlane(0)->SetHeight(6.0f);
        editor.SetPlaneVisible(0, 1);
        session.scene().FindPlane(1)->SetRepeat(0);
        terrain.AddBillboard();
    }

    MapState State() const
    {
        COxelD3DTerrainChipManager& terrain = session.terrain();
        MapState state;
        state.width = session.editor().m_mapWidth;
        state.height = session.editor().m_mapHeight;
        state.atlas = terrain.m_chipImage.fileName;
        for (int i = 0; i < state.width * state.height; ++i) {
            const int x = i % state.width;
            const int y = i / state.width;
            state.heights.push_back(terrain.GetHeight(x, y));
            for (int corner = 0; corner < 4; ++corner) {
                const D3DXVECTOR3 normal = terrain.GetTerrainChip(i)->GetNormal(corner);
                state.normals.insert(state.normals.end(), {normal.x, normal.y, normal.z});
            }
            state.chips.push_back(terrain.GetMapChip(x, y));
            state.rotations.push_back(terrain.GetMapChipRotation(x, y));
            state.billboardIds.push_back(terrain.m_cells[i].m_billboard);
        }
        state.billboards = terrain.m_billboards.size();
        for (int id = 0; id < static_cast<int>(session.scene().m_planes.size()); ++id) {
            const COxelD3DTerrainPlane* plane = session.scene().FindPlane(id);
            state.planes.emplace_back(plane->m_textureFile, plane->m_y, plane->m_repeat, plane->m_visible);
        }
        state.listedHeights = ListColumn(PlaneList(), 1);
        for (int index : {kHeightWindow, kTextureWindow, kTextureMappingWindow}) {
            const SIZE size = ClientSize(session.handle(index));
            state.windowSizes.insert(state.windowSizes.end(), {size.cx, size.cy});
        }
        return state;
    }

    void WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes)
    {
        ASSERT_TRUE(WriteFileSafely(file.c_str(), bytes.data(), bytes.size()));
    }

    std::vector<unsigned char> ReadBytes(const std::string& file)
    {
        std::vector<unsigned char> bytes;
        EXPECT_EQ(MapFileError::None, ReadMapFileBytes(file.c_str(), &bytes)) << file;
        return bytes;
    }

    EditorSession session;
    ScratchFolder scratch{"quelmora-map-data-file-test"};
    const std::string folder = scratch.path();
    const std::string path = folder + "map.omd";
};

std::string UserAtlas()
{
    return WriteTestBitmap("quelmora_map_file_atlas.bmp", 512, 256,
                           [](int x, int y) { return static_cast<uint32_t>((x / 128) * 0x402000 + (y / 128) * 0x80); });
}

}  // namespace

TEST_F(MapDataFileTest, ASavedMapOpensWithItsHeightsChipsPlanesAndAtlasButWithoutBillboards)
{
    const std::string atlas = UserAtlas();
    MakeMap(atlas);
    const MapState saved = State();
    {
        // A new file name: the save dialog must take a file that does not exist yet.
        DialogAnswer save(kSaveTitle, path);
        Choose(kSaveAs);
        EXPECT_TRUE(save.Answered());
    }
    ASSERT_TRUE(FileExists(path));
    Choose(kNewMap16);
    EXPECT_EQ(std::vector<std::string>{}, ListColumn(PlaneList(), 0));
    {
        DialogAnswer open(kOpenTitle, path);
        Choose(kOpen);
        EXPECT_TRUE(open.Answered());
    }

    MapState expected = saved;
    expected.billboardIds.assign(expected.billboardIds.size(), -1);
    expected.billboards = 0;
    // The list shows the height each plane had when it was added.
    expected.listedHeights = {"2.500000", "2.500000"};
    EXPECT_EQ(expected, State());
    EXPECT_EQ(atlas, session.terrain().m_chipImage.fileName);
    EXPECT_EQ(7.5, session.terrain().GetHeight(3, 4));
    EXPECT_EQ(3, session.terrain().GetMapChipRotation(5, 6));
    EXPECT_EQ((std::vector<std::string>{"平面(0)", "平面(1)"}), ListColumn(PlaneList(), 0));
    EXPECT_EQ(path, FileName());
    DeleteFileA(atlas.c_str());
}

TEST_F(MapDataFileTest, CancellingEitherDialogChangesNothing)
{
    const std::string atlas = UserAtlas();
    MakeMap(atlas);
    SetFileName("");
    const MapState before = State();
    {
        DialogAnswer cancel(kSaveTitle, "");
        Choose(kSaveAs);
        EXPECT_TRUE(cancel.Answered());
    }
    {
        DialogAnswer cancel(kOpenTitle, "");
        Choose(kOpen);
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_EQ(before, State());
    EXPECT_EQ("", FileName());
    EXPECT_FALSE(FileExists(path));
    DeleteFileA(atlas.c_str());
}

TEST_F(MapDataFileTest, ARefusedFileIsReportedAndLeavesTheMapAndEveryWindowAsTheyWere)
{
    const std::string atlas = UserAtlas();
    MakeMap(atlas);
    SetFileName(folder + "earlier.omd");
    const MapState before = State();

    std::vector<unsigned char> otherVersion = EncodeMapFile(SampleMap(16, 1, 0));
    otherVersion[8] = '2';
    std::vector<unsigned char> truncated = EncodeMapFile(SampleMap(64, 2, 1));
    truncated.pop_back();
    MapFileContents oddSize = SampleMap(16, 0, 0);
    std::vector<unsigned char> wrongSize = EncodeMapFile(oddSize);
    wrongSize[kMapFileHeaderOffset] = 20;
    const struct {
        std::vector<unsigned char> bytes;
        MapFileError error;
    } cases[] = {
        {otherVersion, MapFileError::WrongMagic},
        {truncated, MapFileError::ShorterThanHeaderSays},
        {wrongSize, MapFileError::BadMapSize},
    };
    for (const auto& c : cases) {
        WriteBytes(path, c.bytes);
        DialogAnswer open(kOpenTitle, path);
        DialogAnswer refusal("Error", "");
        Choose(kOpen);
        EXPECT_EQ(MapFileErrorMessage(c.error), refusal.Text());
        EXPECT_TRUE(open.Answered());
        EXPECT_TRUE(before == State()) << static_cast<int>(c.error);
        EXPECT_EQ(folder + "earlier.omd", FileName());
    }
    {
        MessageBoxAnswer refusal;
        EXPECT_EQ(E_FAIL, session.editor().m_mapFile->Load((folder + "missing.omd").c_str()));
        EXPECT_EQ(MapFileErrorMessage(MapFileError::CannotOpen), refusal.text);
    }
    EXPECT_FALSE(FileExists(folder + "missing.omd"));
    EXPECT_TRUE(before == State());
    DeleteFileA(atlas.c_str());
}

TEST_F(MapDataFileTest, AFailedSaveIsReportedAndKeepsTheOldFile)
{
    const std::vector<unsigned char> old = EncodeMapFile(SampleMap(16, 0, 0));
    WriteBytes(path, old);
    SetFileName(path);
    const HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    {
        MessageBoxAnswer refusal;
        Choose(kSave);
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_EQ(kMapNotSavedMessage, refusal.text);
    }
    CloseHandle(locked);
    EXPECT_EQ(old, ReadBytes(path));

    const std::string lost = folder + "gone\\map.omd";
    SetFileName(lost);
    {
        MessageBoxAnswer refusal;
        Choose(kSave);
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_EQ(kMapNotSavedMessage, refusal.text);
    }
    EXPECT_FALSE(FileExists(lost));
    EXPECT_EQ(lost, FileName());
}

TEST_F(MapDataFileTest, SaveWritesTheFileLastOpenedOrSavedAsAndAsksAgainAfterANewMap)
{
    const std::string opened = folder + "opened.omd";
    const std::string savedAs = folder + "saved as.omd";
    ASSERT_TRUE(session.editor().m_mapFile->Save(opened.c_str()));
    {
        DialogAnswer open(kOpenTitle, opened);
        Choose(kOpen);
        EXPECT_TRUE(open.Answered());
    }
    auto heightIn = [](const std::string& file) {
        MapFileContents map;
        EXPECT_EQ(MapFileError::None, LoadMapFile(file.c_str(), &map)) << file;
        return map.cells.empty() ? -1.0 : map.cells[0].heights[0];
    };
    // Saves without a dialog; a dialog would be cancelled and show here.
    auto saveWithoutAsking = [this] {
        DialogAnswer unexpected(kSaveTitle, "");
        Choose(kSave);
        return !unexpected.Stop();
    };

    session.terrain().SetHeight(0, 0, 9.0);
    EXPECT_TRUE(saveWithoutAsking());
    EXPECT_EQ(9.0, heightIn(opened));

    {
        DialogAnswer save(kSaveTitle, savedAs);
        Choose(kSaveAs);
        EXPECT_TRUE(save.Answered());
    }
    EXPECT_EQ(savedAs, FileName());
    session.terrain().SetHeight(0, 0, 11.0);
    EXPECT_TRUE(saveWithoutAsking());
    EXPECT_EQ(11.0, heightIn(savedAs));
    EXPECT_EQ(9.0, heightIn(opened));

    Choose(kNewMap32);
    EXPECT_EQ("", FileName());
    {
        DialogAnswer asked(kSaveTitle, "");
        Choose(kSave);
        EXPECT_TRUE(asked.Answered());
    }
    EXPECT_EQ(11.0, heightIn(savedAs));
}
