#include "tools/COxelD3DSceneSettingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

enum Control {
    kAddPlane = 1000,
    kLoadPlaneImage = 1001,
    kLoadBackground = 1003,
    kVisible = 1004,
    kDeletePlane = 40007,
    kRepeatImage = 40010,
};

using Entries = std::vector<std::pair<std::string, std::string>>;

class SceneSettingWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        ASSERT_NE(nullptr, dialog().m_hWnd);
    }

    COxelD3DSceneSettingWnd& dialog() const
    {
        return *static_cast<COxelD3DSceneSettingWnd*>(session.window(kSceneSettingWindow));
    }
    COxelD3DTerrainPlane* plane(int id) const { return session.scene().FindPlane(id); }
    int planeCount() const { return static_cast<int>(session.scene().m_planes.size()); }

    // A button pressed, as the dialog gets it.
    void Press(int id) const
    {
        SendMessageA(dialog().m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog().m_hWnd, id)));
    }
    // A click on list entry `entry`: the list selects it and reports the activation.
    void Activate(int entry) const
    {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(dialog().m_planeList, LVM_SETITEMSTATE, entry, reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE activation = {};
        activation.hdr.hwndFrom = dialog().m_planeList;
        activation.hdr.idFrom = 2;
        activation.hdr.code = LVN_ITEMACTIVATE;
        activation.iItem = entry;
        SendMessageA(dialog().m_hWnd, WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&activation));
    }
    void Scroll(HWND bar, int code, int position = 0) const
    {
        SendMessageA(dialog().m_hWnd, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
    }
    static SCROLLINFO Slider(HWND bar)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(bar, SB_CTL, &info);
        return info;
    }
    int Position(HWND bar) const { return Slider(bar).nPos; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog().m_hWnd, id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog().m_hWnd, id) == BST_CHECKED; }
    bool PlaneControlsEnabled() const
    {
        return Enabled(kVisible) && Enabled(kRepeatImage) && Enabled(kLoadPlaneImage) &&
               IsWindowEnabled(dialog().m_heightBar);
    }
    bool PlaneControlsDisabled() const
    {
        return !Enabled(kVisible) && !Enabled(kRepeatImage) && !Enabled(kLoadPlaneImage) &&
               !IsWindowEnabled(dialog().m_heightBar);
    }

    // Name and height text of every list entry, in list order.
    Entries ListEntries() const
    {
        const std::vector<std::string> names = ListColumn(dialog().m_planeList, 0);
        const std::vector<std::string> heights = ListColumn(dialog().m_planeList, 1);
        Entries entries;
        for (size_t i = 0; i < names.size() && i < heights.size(); ++i) {
            entries.emplace_back(names[i], heights[i]);
        }
        return entries;
    }

    EditorSession session;
};

}  // namespace

TEST_F(SceneSettingWindowTest, StartsWithAnEmptyListTheSkyThumbnailAndOnlyTheAlwaysUsableControlsEnabled)
{
    EXPECT_EQ(Entries{}, ListEntries());
    EXPECT_EQ(0, dialog().m_selectedPlane);
    EXPECT_TRUE(PlaneControlsDisabled());
    EXPECT_TRUE(Enabled(kAddPlane) && Enabled(kDeletePlane) && Enabled(kLoadBackground));
    const SCROLLINFO height = Slider(dialog().m_heightBar);
    EXPECT_EQ(0, height.nMin);
    EXPECT_EQ(32, height.nMax);
    EXPECT_EQ(1u, height.nPage);
    EXPECT_EQ(5, height.nPos);

    HWND header = reinterpret_cast<HWND>(SendMessageA(dialog().m_planeList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(2, SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(200, SendMessageA(dialog().m_planeList, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(50, SendMessageA(dialog().m_planeList, LVM_GETCOLUMNWIDTH, 1, 0));

    // The sky's thumbnail fills 160 x 80 pixels at (18, 18) and nothing else.
    PaintedPicture picture(&dialog(), 200, 120);
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(17, 50));
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(178, 50));
    int painted = 0;
    for (int x = 18; x < 178; x += 8) {
        painted += picture.Pixel(x, 50) != 0xFFFFFFu;
    }
    EXPECT_EQ(20, painted);
}

TEST_F(SceneSettingWindowTest, TheControlsMadeInCodeLieInsideTheDialogAndCoverNoButtonOrText)
{
    HWND hwnd = dialog().m_hWnd;
    RECT client = {};
    GetClientRect(hwnd, &client);
    auto placeOf = [hwnd](HWND control) {
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    std::vector<HWND> templateControls;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const bool isGroup = lstrcmpiA(className, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
        if ((lstrcmpiA(className, "Button") == 0 || lstrcmpiA(className, "Static") == 0) && !isGroup) {
            templateControls.push_back(child);
        }
    }
    EXPECT_EQ(10u, templateControls.size());
    const COxelD3DSceneSettingWnd& scene = dialog();
    for (HWND made : {scene.m_planeList, scene.m_heightBar, scene.m_fogStartBar, scene.m_fogEndBar}) {
        const RECT place = placeOf(made);
        RECT inside = {};
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place));
        for (HWND control : templateControls) {
            const RECT other = placeOf(control);
            RECT overlap = {};
            // The list's last pixel row touches the buttons below it by design.
            if (IntersectRect(&overlap, &place, &other)) {
                EXPECT_LE(overlap.bottom - overlap.top, 2) << GetDlgCtrlID(control);
            }
        }
    }
}

TEST_F(SceneSettingWindowTest, AddedPlanesAreListedByNumberAndDeletingMovesTheRestUp)
{
    for (int i = 0; i < 3; ++i) {
        Press(kAddPlane);
    }
    EXPECT_EQ((Entries{{"平面(0)", "2.500000"}, {"平面(1)", "2.500000"}, {"平面(2)", "2.500000"}}), ListEntries());
    EXPECT_TRUE(PlaneControlsDisabled());

    Activate(0);
    Press(kDeletePlane);
    EXPECT_EQ((Entries{{"平面(1)", "2.500000"}, {"平面(2)", "2.500000"}}), ListEntries());
    ASSERT_EQ(2, planeCount());
    EXPECT_NE(nullptr, plane(0));
    EXPECT_NE(nullptr, plane(1));
    EXPECT_TRUE(PlaneControlsDisabled());

    // Names are made when an entry is added, so the next one repeats a name.
    Press(kAddPlane);
    EXPECT_EQ("平面(2)", ListEntries()[2].first);

    // The selection stays at position 0: each press deletes the plane that moved up.
    Press(kDeletePlane);
    Press(kDeletePlane);
    Press(kDeletePlane);
    Press(kDeletePlane);
    EXPECT_EQ(Entries{}, ListEntries());
    EXPECT_EQ(0, planeCount());
}

TEST_F(SceneSettingWindowTest, ClickingAnEntryShowsItsPlaneAndTheControlsChangeThatPlane)
{
    Press(kAddPlane);
    Press(kAddPlane);
    plane(1)->SetHeight(6.0f);
    Activate(1);
    EXPECT_EQ(1, dialog().m_selectedPlane);
    EXPECT_TRUE(PlaneControlsEnabled());
    EXPECT_EQ(12, Position(dialog().m_heightBar));
    // A new plane is hidden and tiles its image.
    EXPECT_FALSE(Checked(kVisible));
    EXPECT_TRUE(Checked(kRepeatImage));

    Press(kVisible);
    Press(kRepeatImage);
    EXPECT_EQ(1, plane(1)->m_visible);
    EXPECT_EQ(0, plane(1)->m_repeat);
    EXPECT_EQ(0, plane(0)->m_visible);
    EXPECT_EQ(1, plane(0)->m_repeat);
    Press(kVisible);
    EXPECT_EQ(0, plane(1)->m_visible);
}

TEST_F(SceneSettingWindowTest, TheHeightSliderStepsInHalvesUpTo15_5AndOnlyTheReleasedThumbReaches16)
{
    Press(kAddPlane);
    HWND bar = dialog().m_heightBar;
    struct Step {
        int code;
        int thumb;
        float height;
        const char* text;
        int position;
    };
    const struct {
        float start;
        std::vector<Step> steps;
    } cases[] = {
        {2.5f, {{SB_LINERIGHT, 0, 3.0f, "3.000000", 6}, {SB_PAGELEFT, 0, 2.5f, "2.500000", 5}}},
        // A height between two steps starts from the step below and never comes back.
        {2.75f, {{SB_LINERIGHT, 0, 3.0f, "3.000000", 6}}},
        {2.75f, {{SB_LINELEFT, 0, 2.0f, "2.000000", 4}}},
        {15.5f,
         {{SB_RIGHT, 0, 15.5f, "15.500000", 31},
          {SB_THUMBTRACK, 32, 15.5f, "15.500000", 31},
          {SB_THUMBPOSITION, 32, 16.0f, "16.000000", 32},
          {SB_LINERIGHT, 0, 16.0f, "16.000000", 32},
          {SB_LINELEFT, 0, 15.5f, "15.500000", 31}}},
        {0.0f, {{SB_LEFT, 0, 0.0f, "0.000000", 0}, {SB_ENDSCROLL, 0, 0.0f, "0.000000", 0}}},
    };
    for (const auto& c : cases) {
        plane(0)->SetHeight(c.start);
        Activate(0);
        for (const Step& step : c.steps) {
            Scroll(bar, step.code, step.thumb);
            EXPECT_EQ(step.height, plane(0)->m_y) << c.start << " code " << step.code;
            EXPECT_EQ(step.text, ListEntries()[0].second) << c.start << " code " << step.code;
            EXPECT_EQ(step.position, Position(bar)) << c.start << " code " << step.code;
        }
    }
}

TEST_F(SceneSettingWindowTest, ANewMapEmptiesTheListAndDisablesThePlaneControlsButKeepsTheirMarks)
{
    Press(kAddPlane);
    Press(kAddPlane);
    Activate(0);
    Press(kVisible);
    SendMessageA(GetDlgItem(dialog().m_hWnd, kVisible), BM_SETCHECK, BST_CHECKED, 0);
    session.editor().NewMap(16, 16);
    EXPECT_EQ(Entries{}, ListEntries());
    EXPECT_EQ(0, planeCount());
    EXPECT_TRUE(PlaneControlsDisabled());
    EXPECT_TRUE(Checked(kVisible));
    EXPECT_TRUE(Checked(kRepeatImage));
}

TEST_F(SceneSettingWindowTest, OperationsOnAPlaneThatIsNotThereDoNothing)
{
    Press(kAddPlane);
    dialog().m_selectedPlane = 4;
    Press(kVisible);
    Press(kRepeatImage);
    Press(kLoadPlaneImage);
    Press(kDeletePlane);
    Scroll(dialog().m_heightBar, SB_LINERIGHT);
    session.editor().SetPlaneVisible(4, 1);
    ASSERT_EQ(1, planeCount());
    EXPECT_EQ(0, plane(0)->m_visible);
    EXPECT_EQ(1, plane(0)->m_repeat);
    EXPECT_EQ(2.5f, plane(0)->m_y);

    // An activation with nothing selected changes nothing either.
    dialog().m_selectedPlane = 0;
    Activate(-1);
    EXPECT_TRUE(PlaneControlsDisabled());
}

TEST_F(SceneSettingWindowTest, TheFogSlidersStartAtTheSceneFogAndMoveItLiveWithoutTheStartPassingTheEnd)
{
    HWND start = dialog().m_fogStartBar;
    HWND end = dialog().m_fogEndBar;
    EXPECT_TRUE(IsWindowEnabled(start) && IsWindowEnabled(end));
    EXPECT_EQ(12, Position(start));
    EXPECT_EQ(40, Position(end));
    const struct {
        HWND bar;
        int code;
        int thumb;
        float fogStart;
        float fogEnd;
    } steps[] = {
        {start, SB_LINERIGHT, 0, 13.0f, 40.0f},  {start, SB_THUMBTRACK, 30, 30.0f, 40.0f},
        {start, SB_THUMBTRACK, 55, 39.0f, 40.0f}, {end, SB_LINELEFT, 0, 39.0f, 40.0f},
        {end, SB_RIGHT, 0, 39.0f, 64.0f},         {end, SB_PAGELEFT, 0, 39.0f, 59.0f},
        {start, SB_LEFT, 0, 0.0f, 59.0f},         {end, SB_THUMBPOSITION, 0, 0.0f, 1.0f},
    };
    for (const auto& step : steps) {
        Scroll(step.bar, step.code, step.thumb);
        EXPECT_EQ(step.fogStart, session.scene().m_fogStart) << step.code << " " << step.thumb;
        EXPECT_EQ(step.fogEnd, session.scene().m_fogEnd) << step.code << " " << step.thumb;
        EXPECT_EQ(static_cast<int>(step.fogStart), Position(start));
        EXPECT_EQ(static_cast<int>(step.fogEnd), Position(end));
    }
}

TEST_F(SceneSettingWindowTest, ImagesComeFromTheChosenFilesAndAnUnreadableFileChangesNothing)
{
    const std::string sky = WriteTestBitmap("quelmora_scene_sky.bmp", 64, 32, [](int, int) { return 0x336699u; });
    const std::string broken = WriteTestBitmap("quelmora_scene_broken.bmp", 8, 8, [](int, int) { return 0u; });
    HANDLE file = CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "BM?", 3, &written, nullptr);
    CloseHandle(file);

    Press(kAddPlane);
    Activate(0);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string image = std::string(folder) + "\\effect.dds";
    {
        DialogAnswer choose("ファイルオープン！", image);
        Press(kLoadPlaneImage);
        EXPECT_TRUE(choose.Answered());
    }
    EXPECT_EQ(image, plane(0)->m_textureFile);
    EXPECT_NE(nullptr, plane(0)->m_pTexture);
    {
        DialogAnswer choose("ファイルオープン！", broken);
        DialogAnswer refusal("Error", "");
        Press(kLoadPlaneImage);
        EXPECT_EQ("ファイルのオープンに失敗しました", refusal.Text());
    }
    EXPECT_EQ(image, plane(0)->m_textureFile);
    EXPECT_NE(nullptr, plane(0)->m_pTexture);

    IDirect3DTexture9* builtInSky = g_backgroundSphere->m_texture;
    {
        DialogAnswer cancel("ファイルオープン！", "");
        Press(kLoadBackground);
        EXPECT_TRUE(cancel.Answered());
    }
    EXPECT_EQ(builtInSky, g_backgroundSphere->m_texture);
    {
        DialogAnswer choose("ファイルオープン！", sky);
        Press(kLoadBackground);
        EXPECT_TRUE(choose.Answered());
    }
    EXPECT_NE(nullptr, g_backgroundSphere->m_texture);
    EXPECT_NE(builtInSky, g_backgroundSphere->m_texture);
    IDirect3DTexture9* chosenSky = g_backgroundSphere->m_texture;
    {
        DialogAnswer choose("ファイルオープン！", broken);
        DialogAnswer refusal("Error", "");
        Press(kLoadBackground);
        EXPECT_EQ("ファイルのオープンに失敗しました", refusal.Text());
    }
    EXPECT_EQ(chosenSky, g_backgroundSphere->m_texture);
    PaintedPicture picture(&dialog(), 200, 120);
    for (POINT at : {POINT{18, 18}, POINT{97, 57}, POINT{177, 97}}) {
        EXPECT_EQ(0x336699u, picture.Pixel(at.x, at.y)) << at.x << "," << at.y;
    }
    DeleteFileA(sky.c_str());
    DeleteFileA(broken.c_str());
}
