#include "editor/COxelD3DTerrainEditor.h"

#include "editor/CellStep.h"
#include "editor/COxelD3DMapEditWnd.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/HeightStep.h"
#include "editor/COxelMapDataFile.h"
#include "support/EditorSession.h"
#include "support/MessageBoxAnswer.h"
#include "support/RealInput.h"
#include "support/ScratchFolder.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DTextureMappingWnd.h"
#include "tools/COxelMapViewWnd.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// The tools of "ツール(&T)" driven with the real mouse and keyboard.
class ToolInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.ok());
        session.editor().NewMap(16, 16);
    }
    void TearDown() override
    {
        RealInput::Release(1);
        RealInput::Release(3);
        session.editor().m_tools = COxelPaintTools();
    }

    // Window `index` in front at (x, y), with the focus.
    HWND Front(int index, int x, int y) const
    {
        HWND window = session.handle(index);
        SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        RealInput::Dispatch(200);
        return window;
    }
    void Click(HWND window, POINT at, int button = 1) const
    {
        RealInput::MoveTo(window, at);
        RealInput::Press(button);
        RealInput::Release(button);
    }
    void Choose(int id) const { SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, id, 0); }
    // The middle of the texture mapping window's square for cell (x, y): its
    // first column shows cell 0, the next one cell W - 1.
    POINT Cell(int x, int y) const
    {
        const int size = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->m_cellWidth;
        const int column = x == 0 ? 0 : session.editor().m_mapWidth - x;
        return POINT{column * size + size / 2, y * size + size / 2};
    }
    // The map's billboards, cell by cell: -1 where there is none.
    std::vector<int> Billboards() const
    {
        std::vector<int> billboards;
        for (int index = 0; index < 16 * 16; ++index) {
            billboards.push_back(CellStep::Read(session.terrain(), index).billboard);
        }
        return billboards;
    }
    static std::vector<int> Only(std::vector<std::pair<int, int>> cells, int billboard)
    {
        std::vector<int> billboards(16 * 16, -1);
        for (const auto& cell : cells) {
            billboards[cell.second * 16 + cell.first] = billboard;
        }
        return billboards;
    }

    EditorSession session;
};

HWND HeightBox()
{
    return FindWindowA(nullptr, "指定する高さ");
}

// Waits up to five seconds for `ready`.
template <class Ready>
bool WaitFor(Ready ready)
{
    for (int wait = 0; wait < 100 && !ready(); ++wait) {
        Sleep(50);
    }
    return ready();
}

// A user at "指定する高さ...": types 17.5 and Enter, reads the refusal and
// closes it with Enter, then types 3.5 over the selected text and Enter. From
// another thread, so that the dialog's own loop takes the keys (Enter reaches
// its default button only through that loop). True when the refusal came and
// the box stayed open behind it.
std::thread TypeIntoTheHeightBox(bool* refused)
{
    return std::thread([refused] {
        const auto type = [](const char* text) {
            RealInput::Xdotool(std::string("type --delay 20 ") + text);
            RealInput::Xdotool("key Return");
        };
        WaitFor([] { return IsWindowVisible(HeightBox()) != FALSE; });
        Sleep(200);
        type("17.5");
        *refused = WaitFor([] { return FindWindowA("#32770", "Quelmora") != nullptr; }) && HeightBox();
        Sleep(200);
        RealInput::Xdotool("key Return");
        WaitFor([] { return IsWindowEnabled(HeightBox()) != FALSE; });
        Sleep(200);
        type("3.5");
    });
}

}  // namespace

// A billboard added (it stands on every cell), taken off every cell, then put
// on chosen cells by clicks in the texture mapping and map edit windows,
// taken off one by a right click, the removal undone with Ctrl+Z; the saved
// file, opened again, holds exactly those cells. Before one is picked a left
// click places nothing and says so, once.
TEST_F(ToolInputTest, BillboardsArePlacedOnChosenCellsTakenOffUndoneAndSaved)
{
    ScratchFolder scratch{"quelmora-tool-input-test"};
    const std::string saved = scratch.path() + "trees.omd";
    session.editor().OpenWindow(kBillboardSettingWindow);
    HWND dialog = Front(kBillboardSettingWindow, 700, 500);
    HWND mapping = Front(kTextureMappingWindow, 200, 40);
    Choose(7022);
    {
        MessageBoxAnswer told;
        Click(mapping, Cell(3, 3));
        Click(mapping, Cell(4, 3));
        EXPECT_EQ(1, told.count) << "no billboard picked, said once";
    }
    EXPECT_EQ(Only({}, -1), Billboards());

    SendMessageA(dialog, WM_COMMAND, 1005, 0);
    EXPECT_EQ(std::vector<int>(256, 0), Billboards()) << "a new billboard stands on every cell";
    HWND list = GetDlgItem(dialog, 3);
    RECT entry = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&entry));
    Front(kBillboardSettingWindow, 700, 500);
    Click(list, POINT{entry.left + 20, (entry.top + entry.bottom) / 2});
    EXPECT_EQ(0, session.editor().PickedBillboard());
    Click(GetDlgItem(dialog, 1010), POINT{10, 5});
    EXPECT_EQ(Only({}, -1), Billboards()) << "全セルから外す";

    Front(kTextureMappingWindow, 200, 40);
    Click(mapping, Cell(3, 3));
    Click(mapping, Cell(4, 3));
    Click(mapping, Cell(0, 9));
    session.editor().OpenWindow(kMapEditWindow);
    HWND mapEdit = Front(kMapEditWindow, 600, 40);
    // The map edit window's rightmost column is cell 0: cell 13 of row 2 is
    // column W - 1 - 13; the middle of a square is no corner.
    Click(mapEdit, POINT{(16 - 1 - 13) * 40 + 20, 2 * 40 + 20});
    EXPECT_EQ(Only({{3, 3}, {4, 3}, {0, 9}, {13, 2}}, 0), Billboards());

    Front(kTextureMappingWindow, 200, 40);
    Click(mapping, Cell(4, 3), 3);
    EXPECT_EQ(Only({{3, 3}, {0, 9}, {13, 2}}, 0), Billboards()) << "a right click takes it off";
    RealInput::Key("ctrl+z");
    EXPECT_EQ(Only({{3, 3}, {4, 3}, {0, 9}, {13, 2}}, 0), Billboards()) << "undone";

    // With "塗りつぶし", a click fills the cells that share the clicked cell's billboard (here: none).
    Choose(7021);
    Click(mapping, Cell(8, 8));
    std::vector<int> filled(256, 0);
    EXPECT_EQ(filled, Billboards());
    RealInput::Key("ctrl+z");
    Choose(7021);

    ASSERT_TRUE(session.editor().m_mapFile->Save(saved.c_str()));
    session.editor().NewMap(16, 16);
    ASSERT_EQ(S_OK, session.editor().m_mapFile->Load(saved.c_str()));
    EXPECT_EQ(Only({{3, 3}, {4, 3}, {0, 9}, {13, 2}}, 0), Billboards()) << "reopened";
}

// "指定する高さ..." refuses text that is no height from 0 to 16 and keeps
// asking; in "高さを指定" a left click sets the vertex, a right click picks
// the height under the pointer up as the next target. "強さ" sets how far a
// click of "上げ下げ" raises.
TEST_F(ToolInputTest, AChosenHeightIsTypedSetByClicksAndPickedUpAndTheStrengthSetsTheRaise)
{
    HWND heights = Front(kHeightWindow, 300, 60);
    bool refused = false;
    std::thread typist = TypeIntoTheHeightBox(&refused);
    Choose(7014);
    typist.join();
    EXPECT_TRUE(refused) << "17.5 is above 16";
    EXPECT_EQ(3.5, session.editor().m_tools.m_targetHeight);

    Choose(7013);
    // The height window's first column is the far edge: vertex x = W shows at column 0.
    const auto vertex = [](int x, int y) { return POINT{(16 - x) * 10 + 5, y * 10 + 5}; };
    Click(heights, vertex(5, 5));
    EXPECT_EQ(3.5, session.terrain().GetHeight(5, 5));
    EXPECT_EQ(2.0, session.terrain().GetHeight(6, 5)) << "the 1 x 1 brush sets one vertex";
    Click(heights, vertex(7, 7), 3);
    EXPECT_EQ(2.0, session.editor().m_tools.m_targetHeight) << "picked up";
    EXPECT_EQ(2.0, session.terrain().GetHeight(7, 7)) << "picking changes nothing";
    Click(heights, vertex(5, 5));
    EXPECT_EQ(2.0, session.terrain().GetHeight(5, 5));

    Choose(7010);
    Choose(7034);
    Click(heights, vertex(8, 2));
    EXPECT_EQ(4.0, session.terrain().GetHeight(8, 2)) << "strength 2";
    Choose(7030);
    Click(heights, vertex(8, 2), 3);
    EXPECT_DOUBLE_EQ(3.9, session.terrain().GetHeight(8, 2)) << "strength 0.1";
}

// The tools' keys choose from "ツール(&T)" in every window, and the menu
// shows the choice.
TEST_F(ToolInputTest, TheToolKeysChooseToolsInEveryWindow)
{
    const COxelPaintTools& tools = session.editor().m_tools;
    HMENU menu = GetMenu(session.handle(kEditMenuWindow));
    const auto checked = [menu](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    Front(kHeightWindow, 300, 60);
    RealInput::Key("3");
    RealInput::Key("t");
    EXPECT_EQ(5, tools.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kSetHeight, tools.m_heightTool);
    EXPECT_TRUE(checked(7002));
    EXPECT_TRUE(checked(7013));
    Front(kTextureMappingWindow, 200, 40);
    RealInput::Key("b");
    RealInput::Key("g");
    RealInput::Key("d");
    EXPECT_EQ(1, tools.m_placeBillboard);
    EXPECT_EQ(1, tools.m_fill);
    EXPECT_EQ(1, tools.m_dragPaint);
    EXPECT_TRUE(checked(7022));
    Front(kEditMenuWindow, 0, 0);
    RealInput::Key("1");
    RealInput::Key("q");
    EXPECT_EQ(1, tools.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kRaiseLower, tools.m_heightTool);

    // In a dialog too, its list having the focus.
    session.editor().OpenWindow(kBillboardSettingWindow);
    HWND dialog = Front(kBillboardSettingWindow, 700, 500);
    SetFocus(GetDlgItem(dialog, 3));
    RealInput::Key("4");
    RealInput::Key("w");
    EXPECT_EQ(9, tools.m_brushSize);
    EXPECT_EQ(COxelPaintTools::kSmooth, tools.m_heightTool);
}

// On a 512 x 512 map wheeled part of the way with the real wheel, the status
// bar reads what lies under the pointer in the map's own coordinates: the
// vertex in the height window, the cell in the texture mapping window, the
// corner's vertex or the cell in the map edit window.
TEST_F(ToolInputTest, TheStatusBarReadsWhatIsUnderThePointerOnAScrolledLargeMap)
{
    session.editor().NewMap(512, 512);
    HWND status = GetDlgItem(session.handle(kEditMenuWindow), COxelD3DEditMenuWnd::kStatusBarId);
    const auto readout = [status] {
        RealInput::Dispatch(100);
        char text[128] = {};
        GetWindowTextA(status, text, sizeof text);
        return std::string(text);
    };
    // Wheeled down and across until it comes to rest; then the view square
    // 50 pixels in from the top-left corner, the pointer not yet on it.
    const auto wheel = [](HWND window, int square) {
        RealInput::MoveTo(window, POINT{20, 20});
        RealInput::Xdotool("click --repeat 3 --delay 30 5");
        RealInput::Xdotool("keydown shift click --repeat 12 --delay 30 5 keyup shift");
        for (int still = 0, wait = 0; still < 5 && wait < 100; ++wait) {
            const int before = GetScrollPos(window, SB_HORZ) + GetScrollPos(window, SB_VERT) * 100000;
            RealInput::Dispatch(100);
            still = before == GetScrollPos(window, SB_HORZ) + GetScrollPos(window, SB_VERT) * 100000 ? still + 1 : 0;
        }
        return POINT{(GetScrollPos(window, SB_HORZ) + 50) / square, (GetScrollPos(window, SB_VERT) + 50) / square};
    };
    const auto pointAt = [](HWND window, int square, POINT at) {
        RealInput::MoveTo(window, POINT{at.x * square + square / 2 - GetScrollPos(window, SB_HORZ),
                                        at.y * square + square / 2 - GetScrollPos(window, SB_VERT)});
    };

    // The height window's column c shows vertex 512 - c (0 for c = 0); its squares are 10 pixels.
    HWND heights = Front(kHeightWindow, 300, 60);
    const POINT vertexSquare = wheel(heights, 10);
    ASSERT_GT(GetScrollPos(heights, SB_VERT), 0) << "wheeled";
    const int vertex = (512 - vertexSquare.x) % 512;
    session.editor().Perform(std::make_unique<HeightStep>(vertex, vertexSquare.y, 3.25));
    pointAt(heights, 10, vertexSquare);
    EXPECT_EQ("X " + std::to_string(vertex) + "  Y " + std::to_string(vertexSquare.y) + "  高さ 3.25", readout());

    // One window at a time: a page keeps clear of the other windows' title bars.
    ShowWindow(heights, SW_HIDE);
    const int size = static_cast<COxelD3DTextureMappingWnd*>(session.window(kTextureMappingWindow))->m_cellWidth;
    HWND mapping = Front(kTextureMappingWindow, 300, 60);
    const POINT cellSquare = wheel(mapping, size);
    const int cell = (512 - cellSquare.x) % 512;
    auto chip = std::make_unique<CellStep>();
    chip->PlaceChip(cell, cellSquare.y, 5);
    chip->Turn(cell, cellSquare.y);
    session.editor().Perform(std::move(chip));
    pointAt(mapping, size, cellSquare);
    EXPECT_EQ("X " + std::to_string(cell) + "  Y " + std::to_string(cellSquare.y) + "  チップ 5  回転 1  ビルボード なし",
              readout());

    // The map edit window's column c shows cell 511 - c, 40 pixels a cell;
    // its bottom-left corner square is vertex (x + 1, y + 1). Scrolled by
    // its bars: under Wine the wheel goes to the window with the focus,
    // which a click in this window would edit to get.
    ShowWindow(mapping, SW_HIDE);
    session.editor().OpenWindow(kMapEditWindow);
    HWND mapEdit = Front(kMapEditWindow, 300, 60);
    SendMessageA(mapEdit, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 400), 0);
    SendMessageA(mapEdit, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1500), 0);
    const RECT square = static_cast<COxelD3DMapEditWnd*>(session.window(kMapEditWindow))->m_view.SquareRect(511 - 497, 40);
    RealInput::MoveTo(mapEdit, POINT{square.left + 20, square.top + 20});
    EXPECT_EQ("X 497  Y 40  チップ 0  回転 0  ビルボード なし", readout());
    RealInput::Xdotool("mousemove_relative -- -15 15");
    EXPECT_EQ("X 498  Y 41  高さ 2.0", readout());
    ShowWindow(heights, SW_SHOWNOACTIVATE);
    ShowWindow(mapping, SW_SHOWNOACTIVATE);
}

// Ctrl+wheel: the texture mapping and height windows step through their
// display sizes, the map edit window through its own, each keeping the square
// under the pointer under it (the map scrolled so that its edges leave room),
// and the "表示サイズ" marks follow.
TEST_F(ToolInputTest, CtrlWheelZoomsKeepingTheSquareUnderThePointer)
{
    session.editor().NewMap(128, 128);
    const POINT at = {95, 75};
    const auto zoomed = [&](HWND hwnd, int delta) {
        POINT screen = at;
        ClientToScreen(hwnd, &screen);
        SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, delta), MAKELPARAM(screen.x, screen.y));
    };
    const auto squareUnder = [&](HWND hwnd, int size) {
        return POINT{(at.x + GetScrollPos(hwnd, SB_HORZ)) / size, (at.y + GetScrollPos(hwnd, SB_VERT)) / size};
    };
    const struct {
        int index;
        int firstCommand;
    } windows[] = {{kTextureMappingWindow, 1000}, {kHeightWindow, 1011}};
    for (const auto& window : windows) {
        SCOPED_TRACE(window.index);
        auto* view = static_cast<COxelMapViewWnd*>(session.window(window.index));
        HWND hwnd = Front(window.index, 300, 60);
        SendMessageA(hwnd, WM_COMMAND, window.firstCommand, 0);
        SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
        SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
        const POINT before = squareUnder(hwnd, 10);
        // Wheel up three notches, then down three: the last of each changes nothing.
        const int up = WHEEL_DELTA;
        const int down = -WHEEL_DELTA;
        for (const auto [delta, size] : {std::pair{up, 16}, {up, 32}, {up, 32}, {down, 16}, {down, 10}, {down, 10}}) {
            zoomed(hwnd, delta);
            EXPECT_EQ(size, view->SquareSize());
            const POINT now = squareUnder(hwnd, size);
            EXPECT_EQ(before.x, now.x) << size;
            EXPECT_EQ(before.y, now.y) << size;
            EXPECT_EQ(size == 16, (GetMenuState(GetMenu(hwnd), window.firstCommand + 1, MF_BYCOMMAND) & MF_CHECKED) != 0);
        }
        ShowWindow(hwnd, SW_HIDE);
    }

    session.editor().OpenWindow(kMapEditWindow);
    auto* mapEdit = static_cast<COxelD3DMapEditWnd*>(session.window(kMapEditWindow));
    HWND hwnd = Front(kMapEditWindow, 300, 60);
    SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2000), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2000), 0);
    const GridPoint before = mapEdit->m_view.SquareAt(at);
    const int up = WHEEL_DELTA;
    const int down = -WHEEL_DELTA;
    for (const auto [delta, size] : {std::pair{down, 32}, {down, 16}, {down, 16}, {up, 32}, {up, 40}, {up, 40}}) {
        zoomed(hwnd, delta);
        EXPECT_EQ(size, mapEdit->m_cellPixels);
        const GridPoint now = mapEdit->m_view.SquareAt(at);
        EXPECT_EQ(before.column, now.column) << size;
        EXPECT_EQ(before.row, now.row) << size;
    }
    ShowWindow(session.handle(kHeightWindow), SW_SHOWNOACTIVATE);
    ShowWindow(session.handle(kTextureMappingWindow), SW_SHOWNOACTIVATE);
}
