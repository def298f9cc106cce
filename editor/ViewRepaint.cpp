#include "editor/ViewRepaint.h"

#include <algorithm>

namespace {

const size_t kSeparateSquares = 64;

}  // namespace

void InvalidateSquares(HWND hwnd, const std::vector<GridPoint>& squares, int squareWidth, int squareHeight)
{
    if (squares.empty()) {
        return;
    }
    RECT around = {squares[0].column, squares[0].row, squares[0].column + 1, squares[0].row + 1};
    for (const GridPoint& square : squares) {
        if (squares.size() <= kSeparateSquares) {
            const RECT rect = {square.column * squareWidth, square.row * squareHeight,
                               (square.column + 1) * squareWidth, (square.row + 1) * squareHeight};
            InvalidateRect(hwnd, &rect, FALSE);
        }
        around.left = std::min<LONG>(around.left, square.column);
        around.top = std::min<LONG>(around.top, square.row);
        around.right = std::max<LONG>(around.right, square.column + 1);
        around.bottom = std::max<LONG>(around.bottom, square.row + 1);
    }
    if (squares.size() > kSeparateSquares) {
        const RECT rect = {around.left * squareWidth, around.top * squareHeight, around.right * squareWidth,
                           around.bottom * squareHeight};
        InvalidateRect(hwnd, &rect, FALSE);
    }
}
