#include "tools/RegionOutline.h"

#include "editor/COxelRegionEditing.h"
#include "editor/GdiScope.h"
#include "terrain/MapGridMath.h"
#include "tools/COxelMapView.h"

#include <utility>
#include <vector>

namespace {

const COLORREF kSelectionColour = RGB(255, 224, 0);
const COLORREF kStampColour = RGB(255, 0, 255);
const int kFrameWidth = 2;

// The runs [first, first + count) of a ring of `size` squares that a span of
// `count` squares from `first` covers: one, or two where it wraps.
std::vector<std::pair<int, int>> Runs(int first, int count, int size)
{
    if (count >= size) {
        return {{0, size}};
    }
    if (first + count <= size) {
        return {{first, count}};
    }
    return {{first, size - first}, {0, first + count - size}};
}

void DrawFrame(HDC hdc, const COxelMapView& view, const MapRect& rect, MapPoint::Kind kind, COLORREF colour)
{
    if (rect.Empty()) {
        return;
    }
    // A view of vertices frames the corners: one more square each way, from
    // the left corner of the top-left cell.
    const int extra = kind == MapPoint::kVertex ? 1 : 0;
    const int firstColumn = view.ViewColumn(rect.topLeft.column + extra);
    const int firstRow = WrapIndex(rect.topLeft.row, view.Rows());
    ScopedGdiObject<HPEN> pen(CreatePen(PS_INSIDEFRAME, kFrameWidth, colour));
    ScopedSelection penSelection(hdc, pen.get());
    ScopedSelection brushSelection(hdc, GetStockObject(NULL_BRUSH));
    for (const auto& columns : Runs(firstColumn, rect.columns + extra, view.Columns())) {
        for (const auto& rows : Runs(firstRow, rect.rows + extra, view.Rows())) {
            const RECT first = view.SquareRect(columns.first, rows.first);
            const RECT last = view.SquareRect(columns.first + columns.second - 1, rows.first + rows.second - 1);
            Rectangle(hdc, first.left, first.top, last.right, last.bottom);
        }
    }
}

}  // namespace

void DrawRegionOutlines(HDC hdc, const COxelMapView& view, MapPoint::Kind kind, const COxelRegionEditing& regions)
{
    DrawFrame(hdc, view, regions.Selection(), kind, kSelectionColour);
    DrawFrame(hdc, view, regions.StampFootprint(), kind, kStampColour);
}
