#pragma once

#include "tools/BrushMath.h"
#include "tools/COxelMapViewWnd.h"
#include "tools/COxelToolGesture.h"

#include <windows.h>

#include <vector>

// The map from above, each cell showing its map chip turned by its rotation,
// outlined in white. A left click puts the chip picked in the texture window on
// a cell, a right click turns a cell's chip a quarter clockwise; moving the
// mouse puts the preview's cursor on the cell under it. Its menu picks the
// cell size on screen. The painting tools widen a click to a brush, let a
// drag paint every cell it passes, and let a left click fill a region. A map
// larger than 64 x 64 shows in part, with scroll bars.
class COxelD3DTextureMappingWnd : public COxelMapViewWnd {
public:
    COxelD3DTextureMappingWnd();
    ~COxelD3DTextureMappingWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    // Fits the window to the map size and cell size and repaints.
    void Refresh() override;
    // Repaints the changed cells.
    void OnMapChanged(const MapChange& change) override;

    // Stores the cell size on screen; the caller refreshes. A size that is not
    // positive becomes the default 16, one above 64 becomes 64.
    void SetCellSize(int width, int height);
    void GetCellSize(int* width, int* height);

    int m_cellWidth;
    int m_cellHeight;

    int SquareSize() const override;

protected:
    void SetSquareSize(int size) override;

private:
    // The view has a square for each cell, its first column showing the
    // first cell.
    void UpdateLayout() override;

    // One cell: its chip turned by its rotation, then its outline with the
    // pen and brush selected.
    void DrawCell(HDC hdc, int column, int row);

    COxelToolGesture m_gesture;
};
