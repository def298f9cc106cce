#include "tools/COxelMapViewWnd.h"

#include "app/WindowPlacement.h"

#include <algorithm>

namespace {

// The largest map the windows show whole, and the page they show of a larger one.
const int kWholeMapSquares = 64;

}  // namespace

COxelMapViewWnd::COxelMapViewWnd(int mirrorShift) : m_view(mirrorShift)
{
}

void COxelMapViewWnd::OnScroll(LPARAM, int code, int position, int vertical)
{
    if (m_view.ScrollRequest(code, position, vertical != 0, Page())) {
        ShowScrolled();
    }
}

void COxelMapViewWnd::OnWheel(int delta, bool across)
{
    const int notches = m_view.WheelNotches(delta, across);
    if (notches == 0 || !m_hWnd) {
        return;
    }
    const POINT from = m_view.m_scroll;
    if (across) {
        m_view.ScrollTo(from.x - notches * m_view.SquareWidth(), from.y, Page());
    } else {
        m_view.ScrollTo(from.x, from.y - notches * m_view.SquareHeight(), Page());
    }
    if (m_view.m_scroll.x != from.x || m_view.m_scroll.y != from.y) {
        ShowScrolled();
    }
}

void COxelMapViewWnd::FitView(int columns, int rows, int squareWidth, int squareHeight)
{
    m_view.SetLayout(columns, rows, squareWidth, squareHeight);
    const SIZE content = m_view.ContentSize();
    if (columns <= kWholeMapSquares && rows <= kWholeMapSquares) {
        m_view.m_scroll = POINT{0, 0};
        m_view.ShowScrollBars(m_hWnd, content);
        FitClientArea(content.cx, content.cy);
        return;
    }
    // The frame, the menu and both scroll bars must fit on the screen too.
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE frame = OuterSize(0, 0, static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)),
                                 static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)), GetMenu(m_hWnd) != nullptr);
    const SIZE bars = {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
    const SIZE page = {
        std::max(squareWidth, std::min<int>(kWholeMapSquares * squareWidth, work.right - work.left - frame.cx - bars.cx)),
        std::max(squareHeight,
                 std::min<int>(kWholeMapSquares * squareHeight, work.bottom - work.top - frame.cy - bars.cy))};
    m_view.ScrollTo(m_view.m_scroll.x, m_view.m_scroll.y, page);
    m_view.ShowScrollBars(m_hWnd, page);
    // The frame's size leaves the scroll bars out; they take their share of it.
    FitClientArea(page.cx + bars.cx, page.cy + bars.cy);
    // A page this large may reach past the screen's edge from where the window
    // stands: it moves back in, so that its scroll bars can be reached.
    RECT window;
    if (GetWindowRect(m_hWnd, &window)) {
        const POINT place = KeepInside(window, work);
        if (place.x != window.left || place.y != window.top) {
            MoveTo(place.x, place.y);
        }
    }
}

SIZE COxelMapViewWnd::Page() const
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return SIZE{client.right, client.bottom};
}

void COxelMapViewWnd::ShowScrolled()
{
    m_view.ShowScrollBars(m_hWnd, Page());
    Redraw();
}
