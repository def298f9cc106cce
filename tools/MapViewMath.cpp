#include "tools/MapViewMath.h"

#include "terrain/MapGridMath.h"

int MirroredGridColumn(int viewColumn, int mapWidth)
{
    return mapWidth - viewColumn;
}

int MapEditGridColumn(int viewColumn, int mapWidth)
{
    return mapWidth - 1 - viewColumn;
}

POINT MapEditCornerOrigin(int corner)
{
    const int inner = kMapEditCellPixels - kMapEditCornerPixels;
    return POINT{corner / 2 ? 0 : inner, corner % 2 ? inner : 0};
}

int MapEditCornerAt(int dx, int dy)
{
    for (int corner = 0; corner < 4; ++corner) {
        const POINT origin = MapEditCornerOrigin(corner);
        if (dx >= origin.x && dx <= origin.x + kMapEditCornerPixels && dy >= origin.y &&
            dy <= origin.y + kMapEditCornerPixels) {
            return corner;
        }
    }
    return -1;
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
