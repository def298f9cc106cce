#include "editor/COxelD3DTerrainEditor.h"

#include "editor/CellStep.h"
#include "editor/COxelTerrainEditing.h"
#include "support/EditorSession.h"
#include "support/ProgramFiles.h"
#include "support/RealInput.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const int kSize = 16;

HWND RulesDialog()
{
    return FindWindowA("#32770", "高さと傾きで塗る");
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

void Type(const std::string& text)
{
    RealInput::Xdotool("type --delay 20 " + text);
}

std::string KeptRule(const char* key)
{
    char text[256] = "";
    GetPrivateProfileStringA("PaintRules", key, "(none)", text, sizeof text, SettingsFilePath().c_str());
    return text;
}

std::vector<CellState> Cells(COxelD3DTerrainChipManager& terrain)
{
    std::vector<CellState> cells;
    for (int index = 0; index < kSize * kSize; ++index) {
        cells.push_back(CellStep::Read(terrain, index));
    }
    return cells;
}

}  // namespace

// A user opens "高さと傾きで塗る...", finds the kept second rule shown, types
// a first rule whose heights run backwards and presses Enter: the row is
// named and the dialog stays; the height corrected, Enter paints the map by
// both rules as one step and keeps them, and Ctrl+Z takes it all back. Escape
// closes it without a change.
TEST(PaintRulesInput, RulesTypedInTheDialogPaintTheMapAreKeptAndUndoneAsOneStep)
{
    const std::string settings = SettingsFilePath();
    WritePrivateProfileStringA("PaintRules", nullptr, nullptr, settings.c_str());
    WritePrivateProfileStringA("PaintRules", "Rule2", "3,5,16,0,90", settings.c_str());
    WritePrivateProfileStringA("PaintRules", "Rule3", "3,five,16,0,90", settings.c_str());
    EditorSession session;
    ASSERT_TRUE(session.ok());
    COxelD3DTerrainEditor& editor = session.editor();
    COxelD3DTerrainChipManager& terrain = session.terrain();
    editor.NewMap(kSize, kSize);
    // A plateau at 6 on vertices (4..6, 4..6), on ground at 2: its four cells
    // lie at 6, the cells around its edge at 3 and 4.
    for (int row = 4; row <= 6; ++row) {
        for (int column = 4; column <= 6; ++column) {
            terrain.SetHeight(column, row, 6.0);
        }
    }
    const std::vector<CellState> before = Cells(terrain);
    HWND menu = session.handle(kEditMenuWindow);
    SetForegroundWindow(menu);
    RealInput::Dispatch(200);

    std::atomic<bool> shown{false};
    std::atomic<int> keptRow2{0};
    std::string refusal;
    std::thread user([&] {
        shown = WaitFor([] { return IsWindowVisible(RulesDialog()) != FALSE; });
        Sleep(300);
        char row2[64] = "";
        GetDlgItemTextA(RulesDialog(), 1211, row2, sizeof row2);
        keptRow2 = std::string(row2) == "3" ? 1 : -1;
        Type("7");
        RealInput::Key("Tab");
        Type("3");
        RealInput::Key("Tab");
        Type("2.5");
        RealInput::Key("Tab");
        Type("0");
        RealInput::Key("Tab");
        Type("90");
        RealInput::Key("Return");
        HWND box = nullptr;
        WaitFor([&] { return (box = FindWindowA("#32770", "Quelmora")) != nullptr; });
        Sleep(300);
        char text[512] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        refusal = text;
        RealInput::Key("Return");
        WaitFor([] { return IsWindowEnabled(RulesDialog()) != FALSE && !FindWindowA("#32770", "Quelmora"); });
        Sleep(300);
        // The focus is back on the height at fault, its text selected.
        Type("0");
        RealInput::Key("Return");
    });
    SendMessageA(menu, WM_COMMAND, COxelTerrainEditing::kPaintByRules, 0);
    user.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(1, keptRow2.load()) << "the kept second rule is shown";
    EXPECT_NE(std::string::npos, refusal.find("1 行目")) << refusal;
    EXPECT_EQ(nullptr, RulesDialog());

    for (int index = 0; index < kSize * kSize; ++index) {
        const int column = index % kSize;
        const int row = index / kSize;
        const bool plateau = column >= 4 && column <= 5 && row >= 4 && row <= 5;
        const bool edge = !plateau && column >= 3 && column <= 6 && row >= 3 && row <= 6;
        const CellState expected = {plateau ? 3 : edge ? before[index].chip : 7,
                                    plateau || !edge ? 0 : before[index].rotation, before[index].billboard};
        EXPECT_EQ(expected, CellStep::Read(terrain, index)) << column << ", " << row;
    }
    EXPECT_EQ("7,0,2.5,0,90", KeptRule("Rule1"));
    EXPECT_EQ("3,5,16,0,90", KeptRule("Rule2"));
    EXPECT_EQ("(none)", KeptRule("Rule3")) << "a malformed rule is left out";

    SetForegroundWindow(menu);
    RealInput::Dispatch(200);
    RealInput::Key("ctrl+z");
    RealInput::Dispatch(100);
    EXPECT_EQ(before, Cells(terrain)) << "one undo takes the whole painting back";

    // Escape leaves the map and the kept rules as they were.
    std::thread leaving([&] {
        shown = WaitFor([] { return IsWindowVisible(RulesDialog()) != FALSE; });
        Sleep(300);
        Type("9");
        RealInput::Key("Escape");
    });
    SendMessageA(menu, WM_COMMAND, COxelTerrainEditing::kPaintByRules, 0);
    leaving.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(before, Cells(terrain));
    EXPECT_EQ("7,0,2.5,0,90", KeptRule("Rule1"));
    WritePrivateProfileStringA("PaintRules", nullptr, nullptr, settings.c_str());
}
