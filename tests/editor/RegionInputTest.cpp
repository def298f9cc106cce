#include "editor/COxelD3DTerrainEditor.h"

#include "editor/CellStep.h"
#include "editor/COxelMapDataFile.h"
#include "editor/COxelRegionEditing.h"
#include "io/MapFileDisk.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/ProgramFiles.h"
#include "support/RealInput.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/COxelD3DTextureMappingWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int kSize = 16;

// What the views show of the map, in their own columns (mirrored) and rows:
// a cell's chip and turn at texture mapping square (c, r), and a vertex's
// height at height window square (k, l). A cell at square c has its corners
// at height squares c - 1 and c.
struct ViewedMap {
    COxelD3DTerrainChipManager& map;
    CellState Cell(int c, int r) const
    {
        return CellStep::Read(map, WrapIndex(r, kSize) * kSize + WrapIndex(kSize - c, kSize));
    }
    double Height(int k, int l) const { return map.GetHeight(WrapIndex(kSize - k, kSize), WrapIndex(l, kSize)); }
};

// A left drag from client point `from` to `to` of `window`, in four steps.
void DragAcross(HWND window, POINT from, POINT to)
{
    RealInput::MoveTo(window, from);
    RealInput::Press(1);
    for (int step = 1; step <= 4; ++step) {
        RealInput::MoveTo(window, POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
    }
    RealInput::Release(1);
    RealInput::Dispatch(100);
}

// The copy and paste of a region, driven with the real mouse and keyboard in
// the editor's own windows.
class RegionInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.MakeVariedMap(kSize, 0, false);
    }
    void TearDown() override
    {
        RealInput::Release(1);
        RealInput::Release(3);
        COxelRegionEditing& regions = session.editor().m_regions;
        regions.Forget();
        if (regions.Selecting()) {
            regions.OnCommand(COxelRegionEditing::kSelectMode);
        }
    }

    // The texture mapping window in front, with the focus.
    HWND Mapping() const
    {
        HWND window = session.handle(kTextureMappingWindow);
        SetWindowPos(window, HWND_TOP, 644, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RealInput::Dispatch(200);
        return window;
    }
    // The middle of texture mapping square (c, r).
    POINT Square(int c, int r) const
    {
        const int size = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->m_cellWidth;
        return POINT{c * size + size / 2, r * size + size / 2};
    }

    EditorSession session;
};

}  // namespace

// A 3 x 2 region selected by a drag, copied with Ctrl+C, pasted with Ctrl+V,
// turned once with "R" and put down by a click elsewhere, then saved: the file
// holds the region there, turned, and one undo takes the paste back.
TEST_F(RegionInputTest, ARegionCopiedPastedTurnedAndPutDownIsSavedTurned)
{
    COxelD3DTerrainEditor& editor = session.editor();
    SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, COxelRegionEditing::kSelectMode, 0);
    HWND mapping = Mapping();
    // Squares (2, 3) to (4, 4): three across, two down.
    DragAcross(mapping, Square(2, 3), Square(4, 4));
    const MapRect selected = editor.m_regions.Selection();
    EXPECT_EQ(3, selected.columns);
    EXPECT_EQ(2, selected.rows);

    const ViewedMap view{*editor.m_terrain};
    std::vector<std::vector<CellState>> cells(2, std::vector<CellState>(3));
    std::vector<std::vector<double>> heights(3, std::vector<double>(4));
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            cells[r][c] = view.Cell(2 + c, 3 + r);
        }
    }
    for (int l = 0; l < 3; ++l) {
        for (int k = 0; k < 4; ++k) {
            heights[l][k] = view.Height(1 + k, 3 + l);
        }
    }

    RealInput::Key("ctrl+c");
    RealInput::Key("ctrl+v");
    RealInput::Dispatch(100);
    ASSERT_TRUE(editor.m_regions.Stamping());
    RealInput::MoveTo(mapping, Square(9, 8));
    RealInput::Dispatch(100);
    RealInput::Key("r");
    RealInput::MoveTo(mapping, Square(9, 9));
    RealInput::Press(1);
    RealInput::Release(1);
    RealInput::Key("Escape");
    RealInput::Dispatch(100);
    EXPECT_FALSE(editor.m_regions.Stamping());

    ScratchFolder folder("RegionInput");
    const std::string path = folder.path() + "stamped.omd";
    ASSERT_TRUE(editor.m_mapFile->Save(path.c_str()));
    editor.NewMap(kSize, kSize);
    ASSERT_EQ(S_OK, editor.m_mapFile->Load(path.c_str()));
    // Turned a quarter clockwise as the views show it: two across, three down;
    // square (c, r) of the turned copy is square (r, 1 - c) of the copy.
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c) {
            const CellState expected = {cells[1 - c][r].chip, (cells[1 - c][r].rotation + 1) % 4,
                                        cells[1 - c][r].billboard};
            EXPECT_EQ(expected, view.Cell(9 + c, 9 + r)) << c << " " << r;
        }
    }
    for (int l = 0; l < 4; ++l) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_DOUBLE_EQ(heights[2 - k][l], view.Height(8 + k, 9 + l)) << k << " " << l;
        }
    }
    // Around it, the map is as it was made.
    EXPECT_EQ((CellState{(WrapIndex(kSize - 8, kSize) + 3 * 9) % 32, (WrapIndex(kSize - 8, kSize) + 9) % 4, -1}),
              view.Cell(8, 9));
}

// A copy made in the real program, running beside, pastes here: the
// clipboard carries it between the two.
TEST(RegionBetweenPrograms, ACopyInOneProgramPastesInAnother)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    EditorSession session;
    ASSERT_TRUE(session.ok());
    session.MakeVariedMap(kSize, 0, false);
    ScratchFolder folder("RegionBetweenPrograms");
    const std::string path = folder.path() + "source.omd";
    ASSERT_TRUE(session.editor().m_mapFile->Save(path.c_str()));
    // This editor's map is flat and plain; the copy is of the varied one.
    session.editor().NewMap(kSize, kSize);

    RunningProgram program(std::vector<std::string>{path});
    ASSERT_TRUE(program.started());
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    program.WaitForRateTitle();
    // The other program copies its whole map, through its menu's commands:
    // its windows stay out of the way of the keys and the mouse here.
    HWND theirMenu = program.FindWindowOfClass("EditMenu");
    PostMessageA(theirMenu, WM_COMMAND, COxelRegionEditing::kSelectAll, 0);
    PostMessageA(theirMenu, WM_COMMAND, COxelRegionEditing::kCopy, 0);
    const UINT format = RegisterClipboardFormatA("Quelmora.MapRegion.1");
    for (int wait = 0; wait < 100 && !IsClipboardFormatAvailable(format); ++wait) {
        Sleep(50);
    }
    ASSERT_TRUE(IsClipboardFormatAvailable(format));

    HWND mapping = session.handle(kTextureMappingWindow);
    SetWindowPos(mapping, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(mapping);
    RealInput::Dispatch(300);
    MessageBoxAnswer boxes;
    RealInput::Key("ctrl+v");
    RealInput::Dispatch(100);
    ASSERT_TRUE(session.editor().m_regions.Stamping()) << boxes.count << " " << boxes.text;
    RealInput::MoveTo(mapping, POINT{6 * 10 + 5, 6 * 10 + 5});
    RealInput::Press(1);
    RealInput::Release(1);
    RealInput::Dispatch(100);
    const ViewedMap view{*session.editor().m_terrain};
    // Their map from its top-left square on, here from square (6, 6) on, wrapping.
    for (int r = 0; r < kSize; ++r) {
        for (int c = 0; c < kSize; ++c) {
            const int x = WrapIndex(kSize - c, kSize);
            EXPECT_EQ((CellState{(x + 3 * r) % 32, (x + r) % 4, -1}), view.Cell(6 + c, 6 + r)) << c << " " << r;
        }
    }
    session.editor().m_regions.Forget();
    PostMessageA(program.FindWindowOfClass("EditMenu"), WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(program.WaitForExit(20000, &exitCode));
    DeleteFileA(SettingsFilePath().c_str());
}

// "切り取り" leaves the region flat at its lowest vertex, with the picked chip
// unturned and no billboard; its copy put down with Shift held stands on the
// ground: its lowest vertex at the height under its top-left corner.
TEST_F(RegionInputTest, ACutLeavesFlatGroundAndShiftPutsTheCopyDownOnTheGround)
{
    COxelD3DTerrainEditor& editor = session.editor();
    const ViewedMap view{*editor.m_terrain};
    editor.m_selectedChip = 5;
    // Squares (2, 3) to (3, 4); their corners are height squares 1 to 3, rows 3 to 5.
    editor.m_regions.Select(MapRect{{kSize - 2, 3}, 2, 2});
    double heights[3][3];
    double lowest = 16.0;
    for (int l = 0; l < 3; ++l) {
        for (int k = 0; k < 3; ++k) {
            heights[l][k] = view.Height(1 + k, 3 + l);
            lowest = std::min(lowest, heights[l][k]);
        }
    }
    HWND mapping = Mapping();
    RealInput::Key("ctrl+x");
    RealInput::Dispatch(100);
    for (int l = 0; l < 3; ++l) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_DOUBLE_EQ(lowest, view.Height(1 + k, 3 + l)) << k << " " << l;
        }
    }
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ((CellState{5, 0, -1}), view.Cell(2 + c, 3 + r)) << c << " " << r;
        }
    }

    RealInput::Key("ctrl+v");
    const double ground = view.Height(8, 9);
    RealInput::MoveTo(mapping, Square(9, 9));
    RealInput::Xdotool("keydown shift");
    RealInput::Press(1);
    RealInput::Release(1);
    RealInput::Xdotool("keyup shift");
    RealInput::Key("Escape");
    RealInput::Dispatch(100);
    for (int l = 0; l < 3; ++l) {
        for (int k = 0; k < 3; ++k) {
            const double expected = std::min(16.0, std::max(0.0, heights[l][k] - lowest + ground));
            EXPECT_DOUBLE_EQ(expected, view.Height(8 + k, 9 + l)) << k << " " << l;
        }
    }
}
