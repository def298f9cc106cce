#pragma once

#include <windows.h>

#include <cstdint>

// The arithmetic of the editor's 2D views of the map; no window needed.
// The views show the map from above, mirrored left to right, rows from the top.

// The grid column shown in column `viewColumn` of a view whose first column
// shows grid column W - `shift`: W - shift - c, not wrapped.
int ShiftedGridColumn(int viewColumn, int mapWidth, int shift);

// The view column that shows grid column `gridColumn` (any, the grid wraps it)
// in a view whose first column shows W - `shift`: within 0 .. W - 1.
int ViewColumnOfGrid(int gridColumn, int mapWidth, int shift);

// The grid column shown in column `viewColumn` of the height and texture
// mapping views: W - c. The grid wraps it, so column 0 shows x = W, the same
// vertex as x = 0, and column 1 shows x = W - 1.
int MirroredGridColumn(int viewColumn, int mapWidth);

// The grid column of the map edit view's column `viewColumn`: W - 1 - c.
int MapEditGridColumn(int viewColumn, int mapWidth);

// The square of `squarePixels` pixels that holds pixel `pixel` of a view
// scrolled by `offset` pixels; pixels before the view's start give negative
// squares.
int ViewSquareAt(int pixel, int offset, int squarePixels);

// A wheel message as a view takes it: WM_MOUSEHWHEEL (`tilted`) and Shift
// with WM_MOUSEWHEEL move the view across, a tilt right (positive) to the
// right, so `delta` counts up and left for a positive value either way.
struct WheelTurn {
    int delta;
    bool across;
};
WheelTurn WheelTurnOf(bool tilted, int delta, bool shift);

// The squares [first, end) of a row of `count` that the pixels [begin, end) of
// a view scrolled by `offset` touch, none when they touch none.
struct SquareSpan {
    int first;
    int end;
    bool operator==(const SquareSpan& other) const { return first == other.first && end == other.end; }
};
SquareSpan VisibleSquares(int begin, int end, int offset, int squarePixels, int count);

// The last scroll offset at which a page of `page` pixels still lies within
// `content` pixels; 0 when the page holds it all.
int LastOffset(int content, int page);

// A scroll offset kept from 0 to the last one at which a page of `page`
// pixels still lies within `content` pixels (0 when the page holds it all).
int ClampedOffset(int offset, int content, int page);

// The map edit view draws a cell as a square of this many pixels, with a
// smaller square in each corner for the height of the vertex there.
// Ctrl+wheel steps it through kMapEditCellSizes; a corner square is a
// quarter of the cell.
const int kMapEditCellPixels = 40;
const int kMapEditCornerPixels = 10;
const int kMapEditCellSizes[3] = {16, 32, 40};

// Where the square of a cell's corner `corner` starts inside the cell's square
// of `cellPixels`. Corner k is grid vertex (x + k / 2, y + k % 2) of cell (x, y);
// the view is mirrored, so corner 0 lies at the top right and corner 3 at the
// bottom left.
POINT MapEditCornerOrigin(int corner, int cellPixels = kMapEditCellPixels);

// The corner whose square holds pixel (dx, dy) of a cell's square, its edges
// included on all four sides, so 10 and 30 still count at 40 pixels; -1 for
// the middle.
int MapEditCornerAt(int dx, int dy, int cellPixels = kMapEditCellPixels);

// The size after `current` in the ascending `sizes` (count of them) for a
// zoom of `delta`: the next larger for a positive delta, the next smaller for
// a negative one, `current` itself at either end.
int SteppedSize(const int* sizes, int count, int current, int delta);

// Grey level for a height: trunc(height * scale), kept within 0..255.
int HeightGrey(double height, double scale);

// The atlas pixels of map chip `chip`: a 128 x 128 square, chips counted row by
// row across `columns` whole chips; only the rows carry the atlas's leftover
// pixels (`rowRest`). `columns` must be positive.
RECT ChipSourceRect(int chip, int columns, int rowRest);


// Copies the size x size square of `source` into `target` turned `quarterTurns`
// quarter turns clockwise (0 to 3); both are rows of `stride` pixels, and the
// square starts at their first pixel.
void TurnSquare(const uint32_t* source, uint32_t* target, int stride, int size, int quarterTurns);
