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

void TurnedTilePoints(const RECT& cell, int rotation, POINT points[3])
{
    const POINT topLeft = {cell.left, cell.top};
    const POINT topRight = {cell.right, cell.top};
    const POINT bottomLeft = {cell.left, cell.bottom};
    const POINT bottomRight = {cell.right, cell.bottom};
    switch (rotation) {
    case 1:
        points[0] = topRight;
        points[1] = bottomRight;
        points[2] = topLeft;
        break;
    case 2:
        points[0] = bottomRight;
        points[1] = bottomLeft;
        points[2] = topRight;
        break;
    case 3:
        points[0] = bottomLeft;
        points[1] = topLeft;
        points[2] = bottomRight;
        break;
    default:
        points[0] = topLeft;
        points[1] = topRight;
        points[2] = bottomLeft;
        break;
    }
}
