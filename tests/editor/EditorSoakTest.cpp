// A long editing session pressed into a fixed number of rounds: every editor window is
// clicked, dragged, scrolled and resized thousands of times, with menu commands,
// new maps and new atlases in between. Whatever GDI or USER object a step takes
// must be given back, or an editor left open for hours runs out of them.
// The common file dialogs stay out: their objects come and go on the system's
// own threads, long after the dialog has closed.

#include "editor/COxelD3DTerrainEditor.h"
#include "support/EditorSession.h"
#include "support/GuiObjectCount.h"
#include "support/MessageBoxAnswer.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <random>
#include <string>

namespace {

// New maps and atlases come round every this many rounds.
const int kCycle = 5;
// Rounds driven between the two counts, a whole number of cycles: a fixed
// amount of work, so a slow machine takes longer instead of testing less.
const int kDrivenRounds = 4 * kCycle;
// Objects the system may make or drop on its own along the way (cached fonts,
// a caret, a tooltip).
const int kMargin = 8;

// The edit menu's commands that switch something and can be chosen again and
// again; the map sizes and the two windows of the view menu come separately.
const int kSwitchCommands[] = {300, 301, 302, 310, 311, 500, 40001, 40002, 40003};

BOOL CALLBACK CloseAboutBox(HWND hwnd, LPARAM)
{
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (lstrcmpA(title, "Quelmora") == 0) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

class Soak {
public:
    explicit Soak(const EditorSession& session)
        : m_session(session),
          m_random(20240607),
          m_atlases{WriteTestBitmap("quelmora_soak_a.bmp", 512, 256, [](int x, int y) { return (x * 7 + y) * 1021u; }),
                    WriteTestBitmap("quelmora_soak_b.bmp", 1024, 384, [](int x, int y) { return (x ^ y) * 4099u; })}
    {
    }
    ~Soak()
    {
        for (const std::string& atlas : m_atlases) {
            DeleteFileA(atlas.c_str());
        }
    }

    // One round touches every window; every few rounds the map or the atlas changes.
    void Round(int round)
    {
        Menu(600);
        Menu(601);
        ClickAround(kTextureWindow, 256, 128, 10);
        ClickAround(kTextureMappingWindow, 320, 320, 40);
        ClickAround(kHeightWindow, 320, 320, 40);
        ClickAround(kMapEditWindow, 640, 320, 40);
        DragAndScrollMapEdit();
        EditBillboards(round);
        for (int command : kSwitchCommands) {
            Menu(command);
        }
        SendMessageA(Handle(kTextureMappingWindow), WM_COMMAND, MAKEWPARAM(1000 + round % 3, 0), 0);
        if (round % 4 == 0) {
            Menu(40000);
            EnumThreadWindows(GetCurrentThreadId(), CloseAboutBox, 0);
        }
        // Some of the round's edits taken back and done again.
        for (int command : {700, 700, 700, 701}) {
            Menu(command);
        }
        if (round % kCycle == 2) {
            // The map has changes: its edits are dropped when asked.
            MessageBoxAnswer discard(IDNO);
            Menu(200 + round % 3);
        }
        if (round % kCycle == 4) {
            m_session.editor().OpenTextureImage(m_atlases[round % 2].c_str());
        }
        for (int index = 0; index < kEditorWindowCount; ++index) {
            RedrawWindow(Handle(index), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        }
        PumpMessages();
    }

    int clicks() const { return m_clicks; }

private:
    HWND Handle(int index) const { return m_session.handle(index); }
    int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
    void Menu(int command) const
    {
        SendMessageA(Handle(kEditMenuWindow), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    void Press(int id) const
    {
        HWND dialog = Handle(kBillboardSettingWindow);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    void ClickAround(int index, int width, int height, int count)
    {
        for (int i = 0; i < count; ++i) {
            const POINT at = {Random(width), Random(height)};
            SendMessageA(Handle(index), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
            m_session.Click(index, at, Random(2) == 1);
            ++m_clicks;
        }
    }

    void DragAndScrollMapEdit()
    {
        HWND mapEdit = Handle(kMapEditWindow);
        for (int i = 0; i < 5; ++i) {
            POINT at = {Random(600), Random(300)};
            SendMessageA(mapEdit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            for (int step = 0; step < 6; ++step) {
                at = POINT{Random(600), Random(300)};
                SendMessageA(mapEdit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            }
            SendMessageA(mapEdit, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        }
        for (int i = 0; i < 10; ++i) {
            const UINT bar = Random(2) ? WM_VSCROLL : WM_HSCROLL;
            SendMessageA(mapEdit, bar, MAKEWPARAM(Random(8), Random(3000)), 0);
        }
        MoveWindow(mapEdit, Random(100), 600 + Random(100), 200 + Random(1400), 150 + Random(1400), TRUE);
    }

    void EditBillboards(int round)
    {
        const int kAdd = 1005;
        const int kRepeat = 1009;
        const int kDelete = 40013;
        Press(kAdd);
        HWND list = GetDlgItem(Handle(kBillboardSettingWindow), 3);
        const int entries = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        RECT entry = {};
        entry.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETITEMRECT, round % entries, reinterpret_cast<LPARAM>(&entry));
        const LPARAM at = MAKELPARAM(entry.left + 4, (entry.top + entry.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        Press(kRepeat);
        if (entries > 3) {
            Press(kDelete);
        }
    }

    static void PumpMessages()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                DispatchMessageA(&message);
            }
        }
    }

    const EditorSession& m_session;
    std::mt19937 m_random;
    std::string m_atlases[2];
    int m_clicks = 0;
};

}  // namespace

TEST(EditorSoak, ThousandsOfEditsInEveryWindowGiveBackEveryGdiAndUserObject)
{
    EditorSession session;
    ASSERT_TRUE(session.ok());
    Soak soak(session);
    // The first rounds make what lives as long as the program: the two windows
    // opened from the menu, the system's caches.
    int rounds = 0;
    while (rounds < kCycle) {
        soak.Round(rounds++);
    }
    const GuiObjectCount before = CountGuiObjects();
    const int clicksBefore = soak.clicks();
    // The count is taken at the same point of the map and atlas cycle as before.
    while (rounds < kCycle + kDrivenRounds) {
        soak.Round(rounds++);
    }
    const GuiObjectCount after = CountGuiObjects();
    std::printf("%d rounds, %d clicks: GDI objects %d -> %d, USER objects %d -> %d\n", rounds - kCycle,
                soak.clicks() - clicksBefore, before.gdi, after.gdi, before.user, after.user);
    EXPECT_GT(before.gdi, 0);
    EXPECT_LE(after.gdi, before.gdi + kMargin);
    EXPECT_LE(after.user, before.user + kMargin);
}
