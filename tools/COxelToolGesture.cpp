#include "tools/COxelToolGesture.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "terrain/MapGridMath.h"
#include "tools/COxelMapView.h"

namespace {

const GridPoint kNoPress = {-1, -1};

bool IsPress(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN;
}

bool IsRelease(UINT message)
{
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP;
}

bool IsRight(UINT message)
{
    return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
}

}  // namespace

COxelToolGesture::COxelToolGesture(MapPoint::Kind kind) : m_kind(kind), m_strokeTool(nullptr), m_press{kNoPress, kNoPress}
{
}

MapPoint COxelToolGesture::PointAt(const COxelMapView& view, GridPoint square) const
{
    const COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    return MapPoint{m_kind, GridPoint{WrapIndex(view.GridColumn(square.column), editor->m_mapWidth),
                                      WrapIndex(square.row, editor->m_mapHeight)}};
}

void COxelToolGesture::Hover(const COxelMapView& view, GridPoint square)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    // The cursor stands where the view shows the square: the first column of
    // the height window is the far edge, not vertex 0.
    editor->PlaceCursor(view.GridColumn(square.column), square.row);
    COxelTool& tool = editor->ActiveTool(m_kind);
    const MapPoint point = PointAt(view, square);
    tool.Hover(point);
    editor->ShowStatus(tool.StatusText(point));
}

void COxelToolGesture::OnMouse(HWND window, const COxelMapView& view, UINT message, POINT at)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->HasMap()) {
        return;
    }
    if (message == WM_MBUTTONDOWN && !m_stroke.Active()) {
        const GridPoint square = view.SquareAt(at);
        if (view.OnMap(square)) {
            const float middle = m_kind == MapPoint::kCell ? 0.5f : 0.0f;
            editor->MoveCameraOver(view.GridColumn(square.column) + middle, square.row + middle);
        }
        return;
    }
    COxelTool& tool = editor->ActiveTool(m_kind);
    if (IsPress(message) && !tool.Strokes(IsRight(message)) && m_stroke.Active()) {
        // Any press ends a stroke that is held.
        m_stroke.Stop(window);
        m_strokeTool->End();
        m_strokeTool = nullptr;
    }
    const bool button = IsPress(message) || IsRelease(message);
    if (m_stroke.Active() || (button && tool.Strokes(IsRight(message))) ||
        (!button && (tool.Strokes(false) || tool.Strokes(true)))) {
        OnStroke(window, view, message, at);
    } else {
        OnClick(view, message, at);
    }
}

void COxelToolGesture::OnStroke(HWND window, const COxelMapView& view, UINT message, POINT at)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    const GridPoint square = view.SquareAt(at);
    // While the stroke holds the mouse, the pointer may be outside the window.
    if (message != WM_CAPTURECHANGED && view.OnMap(square)) {
        Hover(view, square);
    }
    // The stroke counts in squares of the whole map, wherever it is scrolled.
    const COxelPaintStroke::Event event = m_stroke.Track(window, message, view.ContentPoint(at), view.SquareWidth(),
                                                         view.SquareHeight(), view.Columns(), view.Rows());
    if (event.interrupted && m_strokeTool) {
        m_strokeTool->End();
        m_strokeTool = nullptr;
    }
    if (!event.handled) {
        return;
    }
    if (event.begins) {
        m_strokeTool = &editor->ActiveTool(m_kind);
        m_strokeTool->Begin(PointAt(view, square), m_stroke.Button() == WM_RBUTTONDOWN);
    }
    if (!m_strokeTool) {
        return;
    }
    std::vector<GridPoint> points;
    for (const GridPoint& reached : event.squares) {
        points.push_back(PointAt(view, reached).at);
    }
    m_strokeTool->Reach(points);
    if (event.ends) {
        m_stroke.Stop(window);
        m_strokeTool->End();
        m_strokeTool = nullptr;
    }
}

void COxelToolGesture::OnClick(const COxelMapView& view, UINT message, POINT at)
{
    const GridPoint square = view.SquareAt(at);
    // Clicks outside the view do nothing.
    if (message == WM_CAPTURECHANGED || !view.OnMap(square)) {
        return;
    }
    Hover(view, square);
    if (!IsPress(message) && !IsRelease(message)) {
        return;
    }
    GridPoint& press = m_press[IsRight(message) ? 1 : 0];
    if (IsPress(message)) {
        press = square;
        return;
    }
    const bool same = press == square;
    press = kNoPress;
    if (same) {
        COxelD3DTerrainEditor::ExistingInstance()->ActiveTool(m_kind).Click(PointAt(view, square), IsRight(message));
    }
}
