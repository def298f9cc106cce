#pragma once

#include "tools/BrushMath.h"
#include "tools/MapViewMath.h"

#include <windows.h>

struct MapArea;

// The map from above as the 2D windows show it: a grid of squares of a fixed
// size, mirrored left to right, rows from the top, scrolled by a pixel offset.
// It maps the window's pixels to squares and squares to grid columns and back,
// tells a paint which squares its rectangle holds, and repaints the squares
// of a changed area. Owned by the window that shows it; knows no window itself.
class COxelMapView {
public:
    // View column 0 shows grid column W - `mirrorShift`: 0 where it shows the
    // far edge (vertex W, the same as 0), 1 where it shows the last cell.
    explicit COxelMapView(int mirrorShift);

    // Takes a map of `columns` x `rows` squares of `squareWidth` x
    // `squareHeight` pixels. The offset is left as it was: the window clamps
    // it for its page.
    void SetLayout(int columns, int rows, int squareWidth, int squareHeight);
    // The whole map in pixels.
    SIZE ContentSize() const;
    // Moves the offset to (x, y), kept so that a page of `page` pixels stays
    // on the map (at 0 where the page holds the map).
    void ScrollTo(int x, int y, SIZE page);

    // The pixel of the whole map under client pixel `client`.
    POINT ContentPoint(POINT client) const;
    // The view square under client pixel `client`; it may lie off the map.
    GridPoint SquareAt(POINT client) const;
    bool OnMap(GridPoint square) const;
    // The grid column of view column `column`, not wrapped.
    int GridColumn(int column) const;
    // The view column, 0 .. Columns() - 1, that shows grid column `gridColumn` (any: the grid wraps it).
    int ViewColumn(int gridColumn) const;
    // Where view square (column, row) lies in client pixels.
    RECT SquareRect(int column, int row) const;
    // The view squares that client rectangle `clip` touches, as a half-open
    // rectangle of columns and rows within the map (empty when none).
    RECT VisibleSquares(const RECT& clip) const;
    // Repaints now the squares of `window` that show the grid squares of
    // `area` and lie in its client area.
    void Repaint(HWND window, const MapArea& area) const;

    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    int SquareWidth() const { return m_squareWidth; }
    int SquareHeight() const { return m_squareHeight; }

    // A standard scroll-bar request (WM_HSCROLL or WM_VSCROLL) for a page of
    // `page` pixels: a line is a square, a page is the page. True when the
    // offset moved.
    bool ScrollRequest(int code, int position, bool vertical, SIZE page);
    // The whole wheel notches (WHEEL_DELTA) that `delta` completes, down or
    // across; the parts of a notch a finely stepped wheel turns add up.
    int WheelNotches(int delta, bool across);
    // Sets `window`'s scroll bars to the map, a page of `page` pixels and the
    // offset; the system hides a bar whose page holds the whole map.
    void ShowScrollBars(HWND window, SIZE page) const;

    // The map's pixel at the client area's top-left corner.
    POINT m_scroll;

private:
    int m_wheelRest[2];
    int m_mirrorShift;
    int m_columns;
    int m_rows;
    int m_squareWidth;
    int m_squareHeight;
};
