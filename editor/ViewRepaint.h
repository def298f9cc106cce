#pragma once

#include "tools/BrushMath.h"

#include <windows.h>

#include <vector>

// Marks the squares (view column, row) of a 2D view, each `squareWidth` x
// `squareHeight` pixels, for repainting. Many squares are marked as the one
// rectangle around them: one large paint costs less than thousands of small
// invalidations.
void InvalidateSquares(HWND hwnd, const std::vector<GridPoint>& squares, int squareWidth, int squareHeight);
