#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The heights of the map's grid vertices as grey squares, 10 x 10 pixels each,
// black at 0 and white at 16. A left click raises a vertex by 0.5, a right click
// lowers it; moving the mouse puts the preview's cursor on the vertex under it.
class COxelD3DHeightWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DHeightWnd();
    ~COxelD3DHeightWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // Fits the window to the map size and repaints.
    void Refresh() override;
    // Repaints the squares of the vertices at the corners of the changed cells.
    void OnMapChanged(const MapChange& change) override;
};
