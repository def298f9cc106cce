#pragma once

#include <windows.h>

#include <cstdint>

// The arithmetic of the editor's 2D views of the map; no window needed.
// The views show the map from above, mirrored left to right, rows from the top.

// The grid column shown in column `viewColumn` of the height and texture
// mapping views: W - c. The grid wraps it, so column 0 shows x = W, the same
// vertex as x = 0, and column 1 shows x = W - 1.
int MirroredGridColumn(int viewColumn, int mapWidth);

// The grid column of the map edit view's column `viewColumn`: W - 1 - c.
int MapEditGridColumn(int viewColumn, int mapWidth);

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
