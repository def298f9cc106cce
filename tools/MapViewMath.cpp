#include "tools/MapViewMath.h"

#include "terrain/MapGridMath.h"

#include <algorithm>

int ShiftedGridColumn(int viewColumn, int mapWidth, int shift)
{
    return mapWidth - shift - viewColumn;
}

int ViewColumnOfGrid(int gridColumn, int mapWidth, int shift)
{
    // The mirroring is its own inverse.
    return WrapIndex(ShiftedGridColumn(gridColumn, mapWidth, shift), mapWidth);
}

int MirroredGridColumn(int viewColumn, int mapWidth)
{
    return ShiftedGridColumn(viewColumn, mapWidth, 0);
}

int MapEditGridColumn(int viewColumn, int mapWidth)
{
    return ShiftedGridColumn(viewColumn, mapWidth, 1);
}

int ViewSquareAt(int pixel, int offset, int squarePixels)
{
    const int content = pixel + offset;
    // Rounded down, so that a pixel just before the view is no square of it.
    return content >= 0 ? content / squarePixels : -((squarePixels - 1 - content) / squarePixels);
}

WheelTurn WheelTurnOf(bool tilted, int delta, bool shift)
{
    return tilted ? WheelTurn{-delta, true} : WheelTurn{delta, shift};
}

SquareSpan VisibleSquares(int begin, int end, int offset, int squarePixels, int count)
{
    if (end <= begin) {
        return SquareSpan{0, 0};
    }
    const int first = std::max(0, ViewSquareAt(begin, offset, squarePixels));
    const int last = std::min(count, ViewSquareAt(end - 1, offset, squarePixels) + 1);
    return first < last ? SquareSpan{first, last} : SquareSpan{0, 0};
}

int LastOffset(int content, int page)
{
    return std::max(0, content - page);
}

int ClampedOffset(int offset, int content, int page)
{
    return std::max(0, std::min(offset, LastOffset(content, page)));
}

POINT MapEditCornerOrigin(int corner, int cellPixels)
{
    const int inner = cellPixels - cellPixels / 4;
    return POINT{corner / 2 ? 0 : inner, corner % 2 ? inner : 0};
}

int MapEditCornerAt(int dx, int dy, int cellPixels)
{
    const int cornerPixels = cellPixels / 4;
    for (int corner = 0; corner < 4; ++corner) {
        const POINT origin = MapEditCornerOrigin(corner, cellPixels);
        if (dx >= origin.x && dx <= origin.x + cornerPixels && dy >= origin.y && dy <= origin.y + cornerPixels) {
            return corner;
        }
    }
    return -1;
}

int SteppedSize(const int* sizes, int count, int current, int delta)
{
    int next = current;
    for (int i = 0; i < count; ++i) {
        if ((delta > 0 && sizes[i] > current && next == current) || (delta < 0 && sizes[i] < current)) {
            next = sizes[i];
        }
    }
    return next;
}

int HeightGrey(double height, double scale)
{
    const double grey = height * scale;
    if (!(grey > 0.0)) {
        return 0;
    }
    return grey >= 255.0 ? 255 : static_cast<int>(grey);
}

RECT ChipSourceRect(int chip, int columns, int rowRest)
{
    const int left = kChipSize * (chip % columns);
    const int top = kChipSize * (chip / columns) + rowRest;
    return RECT{left, top, left + kChipSize, top + kChipSize};
}

void TurnSquare(const uint32_t* source, uint32_t* target, int stride, int size, int quarterTurns)
{
    const int last = size - 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // The source pixel that lands on (x, y).
            int sx = x;
            int sy = y;
            switch (quarterTurns) {
            case 1:
                sx = y;
                sy = last - x;
                break;
            case 2:
                sx = last - x;
                sy = last - y;
                break;
            case 3:
                sx = last - y;
                sy = x;
                break;
            }
            target[y * stride + x] = source[sy * stride + sx];
        }
    }
}
