#pragma once

#include "tools/BrushMath.h"
#include "tools/COxelMapViewWnd.h"
#include "tools/COxelToolGesture.h"

#include <windows.h>

// The heights of the map's grid vertices as grey squares, 10 x 10 pixels each
// (16 or 32 through "表示サイズ" or Ctrl+wheel),
// black at 0 and white at 16. A left click raises a vertex by 0.5, a right click
// lowers it; moving the mouse puts the preview's cursor on the vertex under it.
// The painting tools widen a click to a brush, change what it does, and let a
// drag paint every square it passes. A map larger than 64 x 64 shows in part,
// with scroll bars.
class COxelD3DHeightWnd : public COxelMapViewWnd {
public:
    COxelD3DHeightWnd();
    ~COxelD3DHeightWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    // Fits the window to the map size and repaints.
    void Refresh() override;
    // Repaints the squares of the vertices at the corners of the changed cells.
    void OnMapChanged(const MapChange& change) override;

    // The square size on screen; a size the display-size menu does not offer
    // becomes the smallest. The caller refreshes.
    int SquareSize() const override;
    void SetSquareSize(int size) override;

private:
    // The view has a square for each vertex of a row, its first column
    // showing the far edge.
    void UpdateLayout() override;

    COxelToolGesture m_gesture;
    int m_squareSize;
};
