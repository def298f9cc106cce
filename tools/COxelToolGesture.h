#pragma once

#include "tools/COxelPaintStroke.h"
#include "tools/COxelTool.h"

#include <windows.h>

class COxelMapView;

// The mouse of a view of squares (the height or texture mapping window) as
// actions of the editor's active tool: a press and release over one square
// is a click, a drag is a stroke when the tool strokes with that button, a
// middle click moves the preview's camera over the square, and the pointer's
// square puts the preview's cursor there and the map there in the status bar.
class COxelToolGesture {
public:
    // Each square of the view shows a grid vertex or a cell.
    explicit COxelToolGesture(MapPoint::Kind kind);

    // One mouse message the window routes, at client pixel `at` (a point left
    // of or above the window comes as a large unsigned word while the window
    // holds the mouse).
    void OnMouse(HWND window, const COxelMapView& view, UINT message, POINT at);

private:
    // The pointer is over view square `square`, which lies on the map.
    void Hover(const COxelMapView& view, GridPoint square);
    MapPoint PointAt(const COxelMapView& view, GridPoint square) const;
    void OnStroke(HWND window, const COxelMapView& view, UINT message, POINT at);
    void OnClick(const COxelMapView& view, UINT message, POINT at);

    MapPoint::Kind m_kind;
    COxelPaintStroke m_stroke;
    // The tool the stroke under way began with.
    COxelTool* m_strokeTool;
    // The view square where each button (left, right) went down; none: (-1, -1).
    GridPoint m_press[2];
};
