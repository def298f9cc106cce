#include "tools/COxelMapView.h"

#include "editor/GdiScope.h"
#include "editor/MapStep.h"

COxelMapView::COxelMapView(int mirrorShift)
    : m_scroll{0, 0}, m_wheelRest{0, 0}, m_mirrorShift(mirrorShift), m_columns(0), m_rows(0), m_squareWidth(1), m_squareHeight(1)
{
}

void COxelMapView::SetLayout(int columns, int rows, int squareWidth, int squareHeight)
{
    m_columns = columns;
    m_rows = rows;
    m_squareWidth = squareWidth > 0 ? squareWidth : 1;
    m_squareHeight = squareHeight > 0 ? squareHeight : 1;
}

SIZE COxelMapView::ContentSize() const
{
    return SIZE{m_columns * m_squareWidth, m_rows * m_squareHeight};
}

void COxelMapView::ScrollTo(int x, int y, SIZE page)
{
    const SIZE content = ContentSize();
    m_scroll = POINT{ClampedOffset(x, content.cx, page.cx), ClampedOffset(y, content.cy, page.cy)};
}

POINT COxelMapView::ContentPoint(POINT client) const
{
    return POINT{client.x + m_scroll.x, client.y + m_scroll.y};
}

GridPoint COxelMapView::SquareAt(POINT client) const
{
    return GridPoint{ViewSquareAt(client.x, m_scroll.x, m_squareWidth),
                     ViewSquareAt(client.y, m_scroll.y, m_squareHeight)};
}

bool COxelMapView::OnMap(GridPoint square) const
{
    return square.column >= 0 && square.row >= 0 && square.column < m_columns && square.row < m_rows;
}

int COxelMapView::GridColumn(int column) const
{
    return ShiftedGridColumn(column, m_columns, m_mirrorShift);
}

int COxelMapView::ViewColumn(int gridColumn) const
{
    return ViewColumnOfGrid(gridColumn, m_columns, m_mirrorShift);
}

RECT COxelMapView::SquareRect(int column, int row) const
{
    const int left = column * m_squareWidth - m_scroll.x;
    const int top = row * m_squareHeight - m_scroll.y;
    return RECT{left, top, left + m_squareWidth, top + m_squareHeight};
}

RECT COxelMapView::VisibleSquares(const RECT& clip) const
{
    const SquareSpan columns = ::VisibleSquares(clip.left, clip.right, m_scroll.x, m_squareWidth, m_columns);
    const SquareSpan rows = ::VisibleSquares(clip.top, clip.bottom, m_scroll.y, m_squareHeight, m_rows);
    if (columns.first == columns.end || rows.first == rows.end) {
        return RECT{0, 0, 0, 0};
    }
    return RECT{columns.first, rows.first, columns.end, rows.end};
}

void COxelMapView::Repaint(HWND window, const MapArea& area) const
{
    RECT client = {};
    GetClientRect(window, &client);
    if (area.CoversMap(m_columns, m_rows)) {
        InvalidateRect(window, nullptr, FALSE);
    } else {
        // Each invalidation is a round trip to the window manager; a brush's
        // hundred squares go as one region instead.
        ScopedGdiObject<HRGN> changed(CreateRectRgn(0, 0, 0, 0));
        ScopedGdiObject<HRGN> square(CreateRectRgn(0, 0, 0, 0));
        area.ForEachCell(m_columns, m_rows, [&](int gridColumn, int row) {
            const RECT rect = SquareRect(ViewColumnOfGrid(gridColumn, m_columns, m_mirrorShift), row);
            // Squares scrolled out of view need no paint.
            RECT shown;
            if (IntersectRect(&shown, &rect, &client)) {
                SetRectRgn(square.get(), shown.left, shown.top, shown.right, shown.bottom);
                CombineRgn(changed.get(), changed.get(), square.get(), RGN_OR);
            }
        });
        InvalidateRgn(window, changed.get(), FALSE);
    }
    UpdateWindow(window);
}

bool COxelMapView::ScrollRequest(int code, int position, bool vertical, SIZE page)
{
    const int square = vertical ? m_squareHeight : m_squareWidth;
    const int pagePixels = vertical ? page.cy : page.cx;
    const LONG offset = vertical ? m_scroll.y : m_scroll.x;
    int target = offset;
    switch (code) {
    case SB_LINEUP:
        target -= square;
        break;
    case SB_LINEDOWN:
        target += square;
        break;
    case SB_PAGEUP:
        target -= pagePixels;
        break;
    case SB_PAGEDOWN:
        target += pagePixels;
        break;
    case SB_TOP:
        target = 0;
        break;
    case SB_BOTTOM:
        target = vertical ? ContentSize().cy : ContentSize().cx;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        target = position;
        break;
    default:
        return false;
    }
    ScrollTo(vertical ? m_scroll.x : target, vertical ? target : m_scroll.y, page);
    return (vertical ? m_scroll.y : m_scroll.x) != offset;
}

int COxelMapView::WheelNotches(int delta, bool across)
{
    int& rest = m_wheelRest[across ? 1 : 0];
    rest += delta;
    const int notches = rest / WHEEL_DELTA;
    rest -= notches * WHEEL_DELTA;
    return notches;
}

void COxelMapView::ShowScrollBars(HWND window, SIZE page) const
{
    const SIZE content = ContentSize();
    const struct {
        int bar;
        int size;
        int page;
        int position;
    } bars[] = {{SB_HORZ, content.cx, page.cx, m_scroll.x}, {SB_VERT, content.cy, page.cy, m_scroll.y}};
    for (const auto& bar : bars) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = bar.size - 1;
        info.nPage = static_cast<UINT>(bar.page > 0 ? bar.page : 0);
        info.nPos = bar.position;
        SetScrollInfo(window, bar.bar, &info, TRUE);
    }
}
