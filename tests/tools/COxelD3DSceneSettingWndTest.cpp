#include "tools/COxelD3DSceneSettingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/TestBitmap.h"
#include "support/TextFit.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

enum Control {
    kAddPlane = 1000,
    kLoadImage = 1001,
    kLoadSky = 1003,
    kVisible = 1004,
    kDelete = 40007,
    kRepeat = 40010,
};

using Texts = std::vector<std::string>;

class SceneSettingWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok() && dialog.m_hWnd); }

    COxelD3DTerrainPlane* plane(int id) const { return session.scene().FindPlane(id); }
    void Press(int id) const { SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // A click on list entry `entry` (-1: beside the entries): the list selects
    // it and reports the activation.
    void Activate(int entry) const
    {
        LVITEMA state = {};
        state.stateMask = LVIS_SELECTED;
        SendMessageA(dialog.m_planeList, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED;
        if (entry >= 0) {
            SendMessageA(dialog.m_planeList, LVM_SETITEMSTATE, entry, reinterpret_cast<LPARAM>(&state));
        }
        NMITEMACTIVATE activation = {};
        activation.hdr.hwndFrom = dialog.m_planeList;
        activation.hdr.idFrom = 2;
        activation.hdr.code = LVN_ITEMACTIVATE;
        SendMessageA(dialog.m_hWnd, WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&activation));
    }
    void Scroll(HWND bar, int code, int thumb = 0) const
    {
        SendMessageA(dialog.m_hWnd, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(bar));
    }
    static int Position(HWND bar) { return GetScrollPos(bar, SB_CTL); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog.m_hWnd, id) == BST_CHECKED; }
    // How many of the four plane controls are enabled.
    int PlaneControlsEnabled() const
    {
        return IsWindowEnabled(dialog.m_heightBar) + IsWindowEnabled(GetDlgItem(dialog.m_hWnd, kVisible)) +
               IsWindowEnabled(GetDlgItem(dialog.m_hWnd, kRepeat)) +
               IsWindowEnabled(GetDlgItem(dialog.m_hWnd, kLoadImage));
    }
    Texts Names() const { return ListColumn(dialog.m_planeList, 0); }
    Texts Heights() const { return ListColumn(dialog.m_planeList, 1); }

    EditorSession session;
    COxelD3DSceneSettingWnd& dialog =
        *static_cast<COxelD3DSceneSettingWnd*>(session.editor().m_windows[kSceneSettingWindow]);
};

RECT PlaceIn(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

TEST_F(SceneSettingWindowTest, TheControlsMadeInCodeLieInsideTheDialogAndCoverNoButtonOrText)
{
    RECT client = {};
    GetClientRect(dialog.m_hWnd, &client);
    int covered = 0;
    for (HWND made : {dialog.m_planeList, dialog.m_heightBar, dialog.m_fogStartBar, dialog.m_fogEndBar}) {
        const RECT place = PlaceIn(dialog.m_hWnd, made);
        RECT inside = {};
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place));
        for (HWND other = GetWindow(dialog.m_hWnd, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
            char className[16] = {};
            GetClassNameA(other, className, sizeof className);
            const bool group = (GetWindowLongPtrA(other, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            const RECT otherPlace = PlaceIn(dialog.m_hWnd, other);
            RECT overlap = {};
            // The list's last pixel rows touch the buttons below it by design.
            covered += (lstrcmpiA(className, "Static") == 0 || (lstrcmpiA(className, "Button") == 0 && !group)) &&
                       IntersectRect(&overlap, &place, &otherPlace) && overlap.bottom - overlap.top > 2;
        }
    }
    EXPECT_EQ(0, covered);
}

TEST_F(SceneSettingWindowTest, AddedPlanesAreListedByNumberAndDeletingMovesTheRestUp)
{
    EXPECT_EQ(0, PlaneControlsEnabled());
    for (int i = 0; i < 3; ++i) {
        Press(kAddPlane);
    }
    EXPECT_EQ((Texts{"平面(0)", "平面(1)", "平面(2)"}), Names());
    EXPECT_EQ(Texts(3, "2.500000"), Heights());
    EXPECT_EQ(0, PlaneControlsEnabled());

    Activate(0);
    EXPECT_EQ(4, PlaneControlsEnabled());
    Press(kDelete);
    EXPECT_EQ((Texts{"平面(1)", "平面(2)"}), Names());
    ASSERT_EQ(2u, session.scene().m_planes.size());
    EXPECT_TRUE(plane(0) && plane(1));
    EXPECT_EQ(0, PlaneControlsEnabled());
    // Names are made when an entry is added, so the next one repeats a name.
    Press(kAddPlane);
    EXPECT_EQ("平面(2)", Names()[2]);
    // The selection stays at position 0: each press deletes the plane that moved up.
    for (int i = 0; i < 4; ++i) {
        Press(kDelete);
    }
    EXPECT_EQ(Texts{}, Names());
    EXPECT_TRUE(session.scene().m_planes.empty());
}

TEST_F(SceneSettingWindowTest, AClickedEntryShowsItsPlaneForTheCheckBoxesUntilANewMapEmptiesTheList)
{
    Press(kAddPlane);
    Press(kAddPlane);
    plane(1)->SetHeight(6.0f);
    Activate(1);
    EXPECT_EQ(12, Position(dialog.m_heightBar));
    // A new plane is hidden and tiles its image.
    EXPECT_FALSE(Checked(kVisible));
    EXPECT_TRUE(Checked(kRepeat));
    Press(kVisible);
    Press(kRepeat);
    EXPECT_EQ(1, plane(1)->m_visible);
    EXPECT_EQ(0, plane(1)->m_repeat);
    EXPECT_EQ(0, plane(0)->m_visible);
    EXPECT_EQ(1, plane(0)->m_repeat);

    session.editor().NewMap(16, 16);
    EXPECT_EQ(Texts{}, Names());
    EXPECT_TRUE(session.scene().m_planes.empty());
    EXPECT_EQ(0, PlaneControlsEnabled());
    EXPECT_TRUE(Checked(kRepeat));
}

TEST_F(SceneSettingWindowTest, TheHeightSliderStepsInHalvesUpTo15_5AndOnlyTheReleasedThumbReaches16)
{
    Press(kAddPlane);
    struct Step {
        int code;
        int thumb;
        float height;
        int position;
    };
    const struct {
        float start;
        std::vector<Step> steps;
    } cases[] = {
        {2.5f, {{SB_LINERIGHT, 0, 3.0f, 6}, {SB_PAGELEFT, 0, 2.5f, 5}}},
        // A height between two steps starts from the step below and never comes back.
        {2.75f, {{SB_LINERIGHT, 0, 3.0f, 6}}},
        {2.75f, {{SB_LINELEFT, 0, 2.0f, 4}}},
        {15.5f,
         {{SB_RIGHT, 0, 15.5f, 31},
          {SB_THUMBTRACK, 32, 15.5f, 31},
          {SB_THUMBPOSITION, 32, 16.0f, 32},
          {SB_LINERIGHT, 0, 16.0f, 32}}},
        {0.0f, {{SB_LEFT, 0, 0.0f, 0}, {SB_ENDSCROLL, 0, 0.0f, 0}}},
        // A map file may hold any height: the slider starts at the nearer end.
        {1e10f, {{SB_LINELEFT, 0, 15.5f, 31}}},
        {-3.0f, {{SB_LINERIGHT, 0, 0.5f, 1}}},
    };
    for (const auto& c : cases) {
        plane(0)->SetHeight(c.start);
        Activate(0);
        for (const Step& step : c.steps) {
            Scroll(dialog.m_heightBar, step.code, step.thumb);
            EXPECT_EQ(step.height, plane(0)->m_y) << c.start << " code " << step.code;
            EXPECT_EQ(step.position, Position(dialog.m_heightBar)) << c.start << " code " << step.code;
            EXPECT_EQ(std::to_string(step.height), Heights()[0]) << c.start << " code " << step.code;
        }
    }
}

TEST_F(SceneSettingWindowTest, OperationsOnAPlaneThatIsNotThereDoNothing)
{
    Press(kAddPlane);
    dialog.m_selectedPlane = 4;
    for (int id : {kVisible, kRepeat, kLoadImage, kDelete}) {
        Press(id);
    }
    Scroll(dialog.m_heightBar, SB_LINERIGHT);
    EXPECT_FALSE(session.editor().Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, 4)));
    ASSERT_EQ(1u, session.scene().m_planes.size());
    EXPECT_EQ(0, plane(0)->m_visible);
    EXPECT_EQ(1, plane(0)->m_repeat);
    EXPECT_EQ(2.5f, plane(0)->m_y);
    // Nor does an activation with nothing selected.
    Activate(-1);
    EXPECT_EQ(0, PlaneControlsEnabled());
}

TEST_F(SceneSettingWindowTest, TheFogSlidersStartAtTheSceneFogAndMoveItLiveWithoutTheStartPassingTheEnd)
{
    HWND start = dialog.m_fogStartBar;
    HWND end = dialog.m_fogEndBar;
    EXPECT_TRUE(IsWindowEnabled(start) && IsWindowEnabled(end));
    EXPECT_EQ(12, Position(start));
    EXPECT_EQ(40, Position(end));
    const struct {
        HWND bar;
        int code;
        int thumb;
        int fogStart;
        int fogEnd;
    } steps[] = {
        {start, SB_LINERIGHT, 0, 13, 40}, {start, SB_THUMBTRACK, 55, 39, 40}, {end, SB_LINELEFT, 0, 39, 40},
        {end, SB_RIGHT, 0, 39, 64},       {end, SB_PAGELEFT, 0, 39, 59},      {start, SB_LEFT, 0, 0, 59},
        {end, SB_THUMBPOSITION, 0, 0, 1},
    };
    for (const auto& step : steps) {
        Scroll(step.bar, step.code, step.thumb);
        EXPECT_EQ(step.fogStart, session.scene().m_fogStart) << step.code;
        EXPECT_EQ(step.fogEnd, session.scene().m_fogEnd) << step.code;
        EXPECT_EQ(step.fogStart, Position(start));
        EXPECT_EQ(step.fogEnd, Position(end));
    }
}

TEST_F(SceneSettingWindowTest, ImagesComeFromTheChosenFilesAndAnUnreadableFileChangesNothing)
{
    const std::string sky = WriteTestBitmap("quelmora_scene_sky.bmp", 64, 32, [](int, int) { return 0x336699u; });
    const std::string broken = WriteTestBitmap("quelmora_scene_broken.bmp", 8, 8, [](int, int) { return 0u; });
    HANDLE file = CreateFileA(broken.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
    CloseHandle(file);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string image = std::string(folder) + "\\effect.dds";
    Press(kAddPlane);
    Activate(0);

    const auto choose = [this](int button, const std::string& path) {
        DialogAnswer answer("ファイルオープン！", path);
        MessageBoxAnswer refusal;
        Press(button);
        EXPECT_TRUE(answer.Answered());
        return refusal.text;
    };
    EXPECT_EQ("", choose(kLoadImage, image));
    EXPECT_EQ("", choose(kLoadSky, sky));
    IDirect3DTexture9* planeImage = plane(0)->m_pTexture;
    IDirect3DTexture9* skyImage = g_backgroundSphere->m_texture;
    EXPECT_EQ(image, plane(0)->m_textureFile);
    EXPECT_TRUE(planeImage && skyImage);
    EXPECT_EQ("ファイルのオープンに失敗しました", choose(kLoadImage, broken));
    EXPECT_EQ("ファイルのオープンに失敗しました", choose(kLoadSky, broken));
    EXPECT_EQ(planeImage, plane(0)->m_pTexture);
    EXPECT_EQ(image, plane(0)->m_textureFile);
    EXPECT_EQ(skyImage, g_backgroundSphere->m_texture);

    PaintedPicture picture(&dialog, 200, 120);
    EXPECT_EQ(0xFFFFFFu, picture.Pixel(17, 50));
    for (POINT at : {POINT{18, 18}, POINT{97, 57}, POINT{177, 97}}) {
        EXPECT_EQ(0x336699u, picture.Pixel(at.x, at.y)) << at.x << "," << at.y;
    }
    DeleteFileA(sky.c_str());
    DeleteFileA(broken.c_str());
}

// The texts show whole in the dialog's own font, the plane heights too.
TEST_F(SceneSettingWindowTest, TextsFitTheirControls)
{
    for (const char* text : {"カメラからの開始距離", "カメラからの完了距離", "背景画像読込", "削除"}) {
        HWND control = ControlWithText(dialog.m_hWnd, text);
        ASSERT_NE(nullptr, control) << text;
        EXPECT_GE(TextRoom(control), 0) << text;
    }
    EXPECT_GE(ColumnTextRoom(dialog.m_planeList, 0, "平面(10)"), 0);
    EXPECT_GE(ColumnTextRoom(dialog.m_planeList, 1, "15.500000"), 0);
    // Both columns within the list, so no sideways scrolling.
    RECT list = {};
    GetClientRect(dialog.m_planeList, &list);
    EXPECT_LE(SendMessageA(dialog.m_planeList, LVM_GETCOLUMNWIDTH, 0, 0) +
                  SendMessageA(dialog.m_planeList, LVM_GETCOLUMNWIDTH, 1, 0),
              list.right - GetSystemMetrics(SM_CXVSCROLL));
}

// The loop hands the dialog the keys meant for it first, as every dialog gets
// them: Tab walks the controls, Enter presses the focused button. Keys for the
// other windows are left to them, so the camera keys still reach the preview.
TEST_F(SceneSettingWindowTest, TheLoopGivesTheDialogItsKeysAndLeavesOthersAlone)
{
    ShowWindow(dialog.m_hWnd, SW_SHOW);
    HWND add = GetDlgItem(dialog.m_hWnd, kAddPlane);
    SendMessageA(dialog.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(add), TRUE);
    ASSERT_EQ(add, GetFocus());
    MSG tab = {add, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(COxelD3DTerrainEditor::TranslateDialogMessage(&tab));
    EXPECT_NE(add, GetFocus());
    EXPECT_TRUE(IsChild(dialog.m_hWnd, GetFocus()));

    SendMessageA(dialog.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(add), TRUE);
    const size_t planes = session.scene().m_planes.size();
    MSG enter = {add, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(COxelD3DTerrainEditor::TranslateDialogMessage(&enter));
    EXPECT_EQ(planes + 1, session.scene().m_planes.size());
    EXPECT_EQ((Texts{"平面(0)"}), Names());

    for (int index : {kEditMenuWindow, kHeightWindow, kTextureMappingWindow}) {
        MSG left = {session.handle(index), WM_KEYDOWN, VK_LEFT, 0, 0, {0, 0}};
        EXPECT_FALSE(COxelD3DTerrainEditor::TranslateDialogMessage(&left)) << index;
    }
}

// Planes A, B, C; A deleted, C picked: the undo that brings A back before C
// leaves the controls on C, and so does the redo that takes it away again.
TEST_F(SceneSettingWindowTest, ThePickFollowsItsPlaneWhenAnUndoOrRedoAddsOrRemovesOneBeforeIt)
{
    for (int i = 0; i < 3; ++i) {
        Press(kAddPlane);
    }
    COxelD3DTerrainPlane* const a = plane(0);
    COxelD3DTerrainPlane* const b = plane(1);
    COxelD3DTerrainPlane* const c = plane(2);
    Activate(0);
    Press(kDelete);
    Activate(1);
    ASSERT_EQ(c, plane(dialog.m_selectedPlane));
    session.editor().Undo();
    EXPECT_EQ(c, plane(dialog.m_selectedPlane));
    session.editor().Redo();
    EXPECT_EQ(c, plane(dialog.m_selectedPlane));
    session.editor().Undo();
    Scroll(dialog.m_heightBar, SB_LINERIGHT);
    EXPECT_EQ(3.0f, c->m_y);
    EXPECT_EQ(2.5f, b->m_y);
    EXPECT_EQ((Texts{"2.500000", "2.500000", "3.000000"}), Heights());
    Press(kDelete);
    EXPECT_EQ(a, plane(0));
    EXPECT_EQ(b, plane(1));
    EXPECT_EQ(nullptr, plane(2));
}
