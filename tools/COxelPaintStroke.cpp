#include "tools/COxelPaintStroke.h"

COxelPaintStroke::COxelPaintStroke()
    : m_button(0), m_last{0, 0}, m_squareWidth(1), m_squareHeight(1), m_columns(0), m_rows(0)
{
}

COxelPaintStroke::Event COxelPaintStroke::Follow(UINT message, POINT at, int squareWidth, int squareHeight,
                                                 int columns, int rows)
{
    Event event;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (Active()) {
            End();
            event.interrupted = true;
        }
        if (at.x < 0 || at.y < 0 || at.x >= squareWidth * columns || at.y >= squareHeight * rows) {
            return event;
        }
        event.begins = true;
        event.squares = Begin(message, at, squareWidth, squareHeight, columns, rows);
        break;
    case WM_MOUSEMOVE:
        event.squares = MoveTo(at);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (!Active() || (m_button == WM_LBUTTONDOWN) != (message == WM_LBUTTONUP)) {
            return event;
        }
        event.ends = true;
        event.squares = MoveTo(at);
        break;
    default:
        return event;
    }
    event.handled = true;
    return event;
}

COxelPaintStroke::Event COxelPaintStroke::Track(HWND window, UINT message, POINT at, int squareWidth,
                                                int squareHeight, int columns, int rows)
{
    const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN;
    if (Active() && !press &&
        (GetCapture() != window || squareWidth != m_squareWidth || squareHeight != m_squareHeight ||
         columns != m_columns || rows != m_rows)) {
        Stop(window);
        Event event;
        event.interrupted = true;
        return event;
    }
    const Event event = Follow(message, at, squareWidth, squareHeight, columns, rows);
    if (event.begins) {
        SetCapture(window);
    } else if (event.interrupted) {
        Stop(window);
    }
    return event;
}

void COxelPaintStroke::Stop(HWND window)
{
    // Ended before the mouse goes: letting go sends the window a message
    // that must find no stroke.
    End();
    if (GetCapture() == window) {
        ReleaseCapture();
    }
}

std::vector<GridPoint> COxelPaintStroke::Begin(UINT button, POINT at, int squareWidth, int squareHeight, int columns,
                                               int rows)
{
    m_button = button;
    m_last = at;
    m_squareWidth = squareWidth;
    m_squareHeight = squareHeight;
    m_columns = columns;
    m_rows = rows;
    m_reached.assign(static_cast<size_t>(columns > 0 ? columns : 0) * (rows > 0 ? rows : 0), 0);
    return Reach(SquaresAlongSegment(at, at, squareWidth, squareHeight, columns, rows));
}

std::vector<GridPoint> COxelPaintStroke::MoveTo(POINT at)
{
    if (!Active()) {
        return {};
    }
    const POINT from = m_last;
    m_last = at;
    return Reach(SquaresAlongSegment(from, at, m_squareWidth, m_squareHeight, m_columns, m_rows));
}

void COxelPaintStroke::End()
{
    m_button = 0;
    m_reached.clear();
}

std::vector<GridPoint> COxelPaintStroke::Reach(const std::vector<GridPoint>& passed)
{
    std::vector<GridPoint> fresh;
    for (const GridPoint& square : passed) {
        char& reached = m_reached[static_cast<size_t>(square.row) * m_columns + square.column];
        if (!reached) {
            reached = 1;
            fresh.push_back(square);
        }
    }
    return fresh;
}
