#pragma once

#include <windows.h>

// Marks a cell of a 2D view that has a billboard: a dark green disc with a
// light rim in the middle of `cell`, a third of its size, so the chip stays
// readable around it. Leaves the DC's selections as they were.
void DrawBillboardMark(HDC hdc, const RECT& cell);
