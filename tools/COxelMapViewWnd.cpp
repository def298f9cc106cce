#include "tools/COxelMapViewWnd.h"

#include "app/WindowPlacement.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "tools/MapViewMath.h"

#include <algorithm>

namespace {

// The largest map the windows show whole, and the page they show of a larger one.
const int kWholeMapSquares = 64;
// A page smaller than this many squares a side moves the window back onto the
// screen rather than shrink further.
const int kLeastPageSquares = 8;

// Adds to `turned` (down, across) the wheel messages waiting for `window`
// ahead of any button of the mouse, taking them from the queue: a burst of
// notches becomes one scroll, and a click made after some of them still lands
// on the view those left.
void TakeWaitingWheel(HWND window, int turned[2])
{
    MSG message;
    // From the first button message to the tilt: the buttons and both wheels,
    // in the order they came; the moves in between do not matter here.
    while (PeekMessageA(&message, window, WM_LBUTTONDOWN, WM_MOUSEHWHEEL, PM_NOREMOVE | PM_NOYIELD) &&
           (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEHWHEEL)) {
        const UINT kind = message.message;
        if (!PeekMessageA(&message, window, kind, kind, PM_REMOVE | PM_NOYIELD)) {
            return;
        }
        const WheelTurn turn = WheelTurnOf(kind == WM_MOUSEHWHEEL, GET_WHEEL_DELTA_WPARAM(message.wParam),
                                           (GET_KEYSTATE_WPARAM(message.wParam) & MK_SHIFT) != 0);
        turned[turn.across ? 1 : 0] += turn.delta;
    }
}

bool IsDialog(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

}  // namespace

COxelMapViewWnd::COxelMapViewWnd(int mirrorShift, const int (&sizeCommands)[3])
    : m_view(mirrorShift), m_sizeCommands(sizeCommands), m_home{0, 0}, m_movedTo{0, 0}, m_moved(false)
{
}

void COxelMapViewWnd::OnScroll(LPARAM, int code, int position, int vertical)
{
    const POINT from = m_view.m_scroll;
    if (m_view.ScrollRequest(code, position, vertical != 0, Page())) {
        ShowScrolled(from);
    }
}

void COxelMapViewWnd::OnWheel(int delta, bool across)
{
    if (!m_hWnd) {
        m_view.WheelNotches(delta, across);
        return;
    }
    int turned[2] = {across ? 0 : delta, across ? delta : 0};
    TakeWaitingWheel(m_hWnd, turned);
    const int down = m_view.WheelNotches(turned[0], false);
    const int left = m_view.WheelNotches(turned[1], true);
    if (down == 0 && left == 0) {
        return;
    }
    const POINT from = m_view.m_scroll;
    m_view.ScrollTo(from.x - left * m_view.SquareWidth(), from.y - down * m_view.SquareHeight(), Page());
    if (m_view.m_scroll.x != from.x || m_view.m_scroll.y != from.y) {
        ShowScrolled(from);
    }
}

const int COxelMapViewWnd::kDisplaySizes[3] = {10, 16, 32};

void COxelMapViewWnd::OnZoom(int delta, POINT anchor)
{
    const int next = SteppedSize(kDisplaySizes, 3, SquareSize(), delta);
    if (next != SquareSize()) {
        ShowAtSize(next, anchor, true);
    }
}

void COxelMapViewWnd::OnCommand(int id)
{
    UpdateLayout();
    OnDisplaySizeCommand(id);
}

bool COxelMapViewWnd::OnDisplaySizeCommand(int id)
{
    for (int i = 0; i < 3; ++i) {
        if (m_sizeCommands[i] == id) {
            if (SquareSize() != kDisplaySizes[i]) {
                ShowAtSize(kDisplaySizes[i], POINT{0, 0}, false);
            }
            return true;
        }
    }
    return false;
}

void COxelMapViewWnd::MarkDisplaySize(int size)
{
    for (int i = 0; i < 3; ++i) {
        CheckMenuCommand(m_sizeCommands[i], kDisplaySizes[i] == size);
    }
}

void COxelMapViewWnd::ShowAtSize(int size, POINT anchor, bool keepWithin)
{
    const int old = SquareSize();
    const GridPoint square = m_view.SquareAt(anchor);
    const POINT content = m_view.ContentPoint(anchor);
    const int withinX = keepWithin ? (content.x - square.column * old) * size / old : 0;
    const int withinY = keepWithin ? (content.y - square.row * old) * size / old : 0;
    SetSquareSize(size);
    m_view.m_scroll = POINT{square.column * size + withinX - anchor.x, square.row * size + withinY - anchor.y};
    // The fit keeps the page on the map.
    Refresh();
}

void COxelMapViewWnd::FitView(int columns, int rows, int squareWidth, int squareHeight)
{
    m_view.SetLayout(columns, rows, squareWidth, squareHeight);
    const SIZE content = m_view.ContentSize();
    const POINT origin = Origin();
    if (columns <= kWholeMapSquares && rows <= kWholeMapSquares) {
        m_view.m_scroll = POINT{0, 0};
        m_view.ShowScrollBars(m_hWnd, content);
        FitClientArea(content.cx, content.cy);
        Place(origin, origin);
        return;
    }
    // The frame, the menu and both scroll bars must fit on the screen too.
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SIZE frame = OuterSize(0, 0, static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)),
                           static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)), GetMenu(m_hWnd) != nullptr);
    frame.cx += GetSystemMetrics(SM_CXVSCROLL);
    frame.cy += GetSystemMetrics(SM_CYHSCROLL);
    const SIZE wanted = {
        std::max(squareWidth, std::min<int>(kWholeMapSquares * squareWidth, work.right - work.left - frame.cx)),
        std::max(squareHeight, std::min<int>(kWholeMapSquares * squareHeight, work.bottom - work.top - frame.cy))};
    // Standing too near the screen's edge for even a small page, the window
    // moves back in, so that its scroll bars can be reached.
    const SIZE least = {std::min<int>(wanted.cx, kLeastPageSquares * squareWidth) + frame.cx,
                        std::min<int>(wanted.cy, kLeastPageSquares * squareHeight) + frame.cy};
    const POINT place = KeepInside(RECT{origin.x, origin.y, origin.x + least.cx, origin.y + least.cy}, work);
    const SIZE onScreen = {std::min<LONG>(wanted.cx + frame.cx, work.right - place.x),
                           std::min<LONG>(wanted.cy + frame.cy, work.bottom - place.y)};
    const SIZE room = SizeClearOf(place, onScreen, KeptClear(place));
    const SIZE page = {std::max<LONG>(squareWidth, room.cx - frame.cx), std::max<LONG>(squareHeight, room.cy - frame.cy)};
    m_view.ScrollTo(m_view.m_scroll.x, m_view.m_scroll.y, page);
    m_view.ShowScrollBars(m_hWnd, page);
    // The frame's size leaves the scroll bars out; they take their share of it.
    FitClientArea(page.cx + GetSystemMetrics(SM_CXVSCROLL), page.cy + GetSystemMetrics(SM_CYHSCROLL));
    Place(origin, place);
}

SIZE COxelMapViewWnd::Page() const
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return SIZE{client.right, client.bottom};
}

void COxelMapViewWnd::ShowScrolled(POINT from)
{
    // Only the bar that moved, and only its position: drawing a scroll bar
    // costs more than painting the strip that comes into view.
    const struct {
        int bar;
        LONG from;
        LONG to;
    } bars[] = {{SB_HORZ, from.x, m_view.m_scroll.x}, {SB_VERT, from.y, m_view.m_scroll.y}};
    for (const auto& bar : bars) {
        if (bar.from != bar.to) {
            SCROLLINFO info = {};
            info.cbSize = sizeof info;
            info.fMask = SIF_POS;
            info.nPos = bar.to;
            SetScrollInfo(m_hWnd, bar.bar, &info, TRUE);
        }
    }
    // What waits to be painted is painted where it is before it moves.
    UpdateWindow(m_hWnd);
    ScrollWindowEx(m_hWnd, from.x - m_view.m_scroll.x, from.y - m_view.m_scroll.y, nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE);
    UpdateWindow(m_hWnd);
}

POINT COxelMapViewWnd::Origin()
{
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    if (m_moved && window.left == m_movedTo.x && window.top == m_movedTo.y) {
        return m_home;
    }
    m_moved = false;
    return POINT{window.left, window.top};
}

void COxelMapViewWnd::Place(POINT origin, POINT place)
{
    m_moved = place.x != origin.x || place.y != origin.y;
    m_home = origin;
    m_movedTo = place;
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    if (window.left != place.x || window.top != place.y) {
        MoveTo(place.x, place.y);
    }
}

std::vector<RECT> COxelMapViewWnd::KeptClear(POINT place) const
{
    std::vector<RECT> kept;
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor) {
        return kept;
    }
    const auto keep = [&](HWND window) {
        RECT rect;
        // A window this one already stands on is no window it grows over.
        if (!window || window == m_hWnd || !IsWindowVisible(window) || IsIconic(window) || !GetWindowRect(window, &rect) ||
            PtInRect(&rect, place)) {
            return;
        }
        if (!IsDialog(window)) {
            // The caption and the menu, between the side borders: windows laid
            // edge to edge may share a border's pixels.
            RECT client = {};
            GetClientRect(window, &client);
            POINT corner = {0, 0};
            ClientToScreen(window, &corner);
            rect = RECT{corner.x, rect.top, corner.x + client.right, corner.y};
        }
        kept.push_back(rect);
    };
    keep(COxelD3DTerrainEditor::PreviewWindow());
    for (int index = 0; index < kEditorWindowCount; ++index) {
        keep(editor->GetWindowHandle(index));
    }
    return kept;
}
