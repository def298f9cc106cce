#include "editor/COxelD3DTerrainEditor.h"

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelMapDataFile.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const int kMap = 16;

float Heading(const D3DXVECTOR3& direction)
{
    return std::atan2(direction.x, direction.z);
}

int Wrap(int v)
{
    return ((v % kMap) + kMap) % kMap;
}

// How far the eye went from `before` to `after`: the camera holds its target
// on the map, so a step across the map's edge also jumps a whole map.
D3DXVECTOR3 Went(const D3DXVECTOR3& before, const D3DXVECTOR3& after)
{
    D3DXVECTOR3 step = after - before;
    step.x = std::remainder(step.x, static_cast<float>(kMap));
    step.z = std::remainder(step.z, static_cast<float>(kMap));
    return step;
}

// The preview driven with the real mouse and keyboard, on a 16 x 16 map.
class PreviewInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.editor().NewMap(kMap, kMap);
        // Nothing of the editor's covers the preview.
        for (int index = 1; index < kEditorWindowCount; ++index) {
            if (HWND window = session.handle(index)) {
                ShowWindow(window, SW_HIDE);
            }
        }
        preview = session.application().m_hWnd;
        SetWindowPos(preview, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(preview);
        RealInput::Dispatch(200);
        // A left click in the preview edits nothing while editing is off; it
        // gives the preview the focus, which the wheel goes to under Wine.
        Click(POINT{600, 400});
        RealInput::Dispatch(100);
    }
    void TearDown() override
    {
        RealInput::Release(1);
        RealInput::Release(2);
        RealInput::Release(3);
        RealInput::Xdotool("keyup alt");
        session.editor().m_tools = COxelPaintTools();
    }

    COxelD3DCameraBase& Camera() const { return *session.scene().m_camera; }
    void Choose(int id) const { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, id, 0); }
    void Click(POINT at, int button = 1) const
    {
        RealInput::MoveTo(preview, at);
        RealInput::Press(button);
        RealInput::Release(button);
    }
    // A drag of `button` from `from` by (dx, dy), in five steps.
    void Drag(POINT from, int dx, int dy, int button) const
    {
        RealInput::MoveTo(preview, from);
        RealInput::Press(button);
        for (int step = 1; step <= 5; ++step) {
            RealInput::MoveTo(preview, POINT{from.x + dx * step / 5, from.y + dy * step / 5});
        }
        RealInput::Release(button);
    }
    // The preview's pixel that shows world point p, as the view is now.
    POINT PixelOf(const D3DXVECTOR3& p) const
    {
        const D3DXMATRIX both = Camera().ViewMatrix() * COxelD3DCameraBase::ProjectionMatrix();
        D3DXVECTOR3 shown;
        D3DXVec3TransformCoord(&shown, &p, &both);
        RECT client;
        GetClientRect(preview, &client);
        return POINT{std::lround((shown.x + 1.0f) / 2.0f * client.right - 0.5f),
                     std::lround((1.0f - shown.y) / 2.0f * client.bottom - 0.5f)};
    }
    // Where the middle of the view meets the flat ground at height 2.
    D3DXVECTOR3 GroundInMiddle() const
    {
        const D3DXVECTOR3 direction = Camera().ViewDirection();
        return Camera().m_position + direction * ((2.0f - Camera().m_position.y) / direction.y);
    }
    bool InView(POINT at) const
    {
        RECT client;
        GetClientRect(preview, &client);
        return at.x > 20 && at.y > 20 && at.x < client.right - 20 && at.y < client.bottom - 20;
    }
    std::string Readout() const
    {
        RealInput::Dispatch(100);
        char text[128] = {};
        GetWindowTextA(GetDlgItem(session.handle(kEditMenuWindow), COxelD3DEditMenuWnd::kStatusBarId), text,
                       sizeof text);
        return text;
    }

    EditorSession session;
    HWND preview = nullptr;
};

}  // namespace

// The view turned by a right drag, moved by a middle drag and along by the
// wheel; then, with "プレビューで編集" → "高さ", a click on a vertex
// raises it alone, the status bar reads it, and the saved file holds it.
TEST_F(PreviewInputTest, AVertexClickedAfterTurningAndMovingTheViewIsRaisedAndSaved)
{
    const D3DXVECTOR3 start = Camera().ViewDirection();
    Drag(POINT{300, 200}, 60, 0, 3);
    const float turned = Heading(Camera().ViewDirection()) - Heading(start);
    EXPECT_NEAR(60 * COxelPreviewMouse::kTurnPerPixel, std::remainder(turned, 2.0f * D3DX_PI), 0.01f)
        << "turned right";

    const D3DXVECTOR3 beforeWheel = Camera().m_position;
    RealInput::Xdotool("click 4");
    RealInput::Dispatch(100);
    D3DXVECTOR3 ahead = Camera().ViewDirection();
    D3DXVec3Normalize(&ahead, &ahead);
    const D3DXVECTOR3 wheeled = Went(beforeWheel, Camera().m_position);
    EXPECT_NEAR(COxelPreviewMouse::kDollyPerNotch, D3DXVec3Dot(&wheeled, &ahead), 0.01f) << "one notch forward";

    const D3DXVECTOR3 direction = Camera().ViewDirection();
    const D3DXVECTOR3 beforePan = Camera().m_position;
    Drag(POINT{300, 200}, -40, 30, 2);
    const D3DXVECTOR3 panned = Went(beforePan, Camera().m_position);
    EXPECT_GT(D3DXVec3Length(&panned), 0.5f) << "moved";
    EXPECT_NEAR(0.0f, D3DXVec3Dot(&panned, &ahead), 0.02f) << "across the view";
    const D3DXVECTOR3 turnedBy = Camera().ViewDirection() - direction;
    EXPECT_NEAR(0.0f, D3DXVec3Length(&turnedBy), 1e-3f) << "looking the same way";

    Choose(COxelPaintTools::kPreviewHeightsCommand);
    // A vertex near the middle of the view, on whichever copy of the map shows there.
    const D3DXVECTOR3 middle = GroundInMiddle();
    const int x = static_cast<int>(std::lround(middle.x)) + 2;
    const int z = static_cast<int>(std::lround(middle.z)) + 1;
    const POINT vertex = PixelOf(D3DXVECTOR3(static_cast<float>(x), 2.0f, static_cast<float>(z)));
    ASSERT_TRUE(InView(vertex)) << vertex.x << ", " << vertex.y;
    Click(vertex);
    EXPECT_EQ(2.5, session.terrain().GetHeight(Wrap(x), Wrap(z)));
    int raised = 0;
    for (int row = 0; row < kMap; ++row) {
        for (int column = 0; column < kMap; ++column) {
            raised += session.terrain().GetHeight(column, row) != 2.0;
        }
    }
    EXPECT_EQ(1, raised) << "the 1 x 1 brush";
    EXPECT_EQ("X " + std::to_string(Wrap(x)) + "  Y " + std::to_string(Wrap(z)) + "  高さ 2.5", Readout());

    ScratchFolder scratch{"quelmora-preview-input-test"};
    const std::string saved = scratch.path() + "raised.omd";
    ASSERT_TRUE(session.editor().m_mapFile->Save(saved.c_str()));
    MapFileContents map;
    ASSERT_EQ(MapFileError::None, LoadMapFile(saved.c_str(), &map));
    EXPECT_EQ(2.5, map.cells[Wrap(z) * kMap + Wrap(x)].heights[0]) << "in the file";
}

// With the map repeated, "チップ" paints a cell of a copy: the cell of the
// map that the copy shows there, under the brush's outline and the cursor
// walls. A right click turns it, Alt with a right drag turns the view
// instead, and a stroke with "ドラッグで描く" is one step to undo.
TEST_F(PreviewInputTest, ACellOfARepeatedCopyIsPaintedTurnedAndStroked)
{
    ASSERT_EQ(1, session.scene().m_showInfinite);
    session.editor().m_selectedChip = 5;
    Choose(COxelPaintTools::kPreviewChipsCommand);
    // Cell (3, 4) on a copy off the map itself that shows well.
    POINT cell = {-1, -1};
    int copyX = 0;
    int copyZ = 0;
    for (int z = -2; z <= 2; ++z) {
        for (int x = -2; x <= 2; ++x) {
            const POINT at = PixelOf(D3DXVECTOR3(3.5f + kMap * x, 2.0f, 4.5f + kMap * z));
            if ((x != 0 || z != 0) && !InView(cell) && InView(at)) {
                cell = at;
                copyX = x;
                copyZ = z;
            }
        }
    }
    ASSERT_TRUE(InView(cell));
    RealInput::MoveTo(preview, cell);
    RealInput::Dispatch(100);
    const std::vector<D3DXVECTOR3>& outline = session.scene().m_brushOutline;
    ASSERT_FALSE(outline.empty()) << "the brush's outline";
    for (const D3DXVECTOR3& point : outline) {
        EXPECT_GE(point.x, 3.0f + kMap * copyX - 1e-4f);
        EXPECT_LE(point.x, 4.0f + kMap * copyX + 1e-4f);
        EXPECT_GE(point.z, 4.0f + kMap * copyZ - 1e-4f);
        EXPECT_LE(point.z, 5.0f + kMap * copyZ + 1e-4f);
    }
    EXPECT_EQ(3.0f + kMap * copyX, session.scene().m_cursorPosition[0]) << "the cursor walls on the copy";
    EXPECT_EQ(4.0f + kMap * copyZ, session.scene().m_cursorPosition[2]);

    Click(cell);
    EXPECT_EQ(5, session.terrain().GetMapChip(3, 4));
    EXPECT_EQ("X 3  Y 4  チップ 5  回転 0  ビルボード なし", Readout());
    Click(cell, 3);
    EXPECT_EQ(1, session.terrain().GetMapChipRotation(3, 4)) << "the right button turns the chip";

    const float heading = Heading(Camera().ViewDirection());
    RealInput::Xdotool("keydown alt");
    Drag(cell, 40, 0, 3);
    RealInput::Xdotool("keyup alt");
    EXPECT_NE(heading, Heading(Camera().ViewDirection())) << "Alt and the right button turn the view";
    EXPECT_EQ(1, session.terrain().GetMapChipRotation(3, 4)) << "and leave the chip";

    // A stroke along three cells of a row, near the middle of the view.
    Choose(COxelPaintTools::kDragPaint);
    session.editor().m_selectedChip = 7;
    const D3DXVECTOR3 middle = GroundInMiddle();
    const float x = std::floor(middle.x) + 0.5f;
    const float z = std::floor(middle.z) + 0.5f;
    const POINT first = PixelOf(D3DXVECTOR3(x - 1.0f, 2.0f, z));
    const POINT last = PixelOf(D3DXVECTOR3(x + 1.0f, 2.0f, z));
    ASSERT_TRUE(InView(first) && InView(last));
    Drag(first, last.x - first.x, last.y - first.y, 1);
    const auto wrap = [](float v) { return Wrap(static_cast<int>(std::floor(v))); };
    for (int dx = -1; dx <= 1; ++dx) {
        EXPECT_EQ(7, session.terrain().GetMapChip(wrap(x + dx), wrap(z))) << dx;
    }
    RealInput::Key("ctrl+z");
    for (int dx = -1; dx <= 1; ++dx) {
        EXPECT_NE(7, session.terrain().GetMapChip(wrap(x + dx), wrap(z))) << "one step undone " << dx;
    }
}
