#include "tools/BillboardMark.h"

#include "editor/GdiScope.h"

#include <algorithm>

void DrawBillboardMark(HDC hdc, const RECT& cell)
{
    const int size = std::max(4, static_cast<int>(std::min(cell.right - cell.left, cell.bottom - cell.top)) / 3);
    const int x = (cell.left + cell.right - size) / 2;
    const int y = (cell.top + cell.bottom - size) / 2;
    ScopedSelection pen(hdc, GetStockObject(DC_PEN));
    ScopedSelection brush(hdc, GetStockObject(DC_BRUSH));
    const COLORREF oldPen = SetDCPenColor(hdc, RGB(240, 255, 240));
    const COLORREF oldBrush = SetDCBrushColor(hdc, RGB(20, 90, 30));
    Ellipse(hdc, x, y, x + size + 1, y + size + 1);
    SetDCPenColor(hdc, oldPen);
    SetDCBrushColor(hdc, oldBrush);
}
