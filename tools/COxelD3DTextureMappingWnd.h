#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The map from above, each cell showing its map chip turned by its rotation,
// outlined in white. A left click puts the chip picked in the texture window on
// a cell, a right click turns a cell's chip a quarter clockwise; moving the
// mouse puts the preview's cursor on the cell under it. Its menu picks the
// cell size on screen.
class COxelD3DTextureMappingWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DTextureMappingWnd();
    ~COxelD3DTextureMappingWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    // The display-size menu: "小", "中" and "大".
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // Fits the window to the map size and cell size and repaints.
    void Refresh() override;

    // Stores the cell size on screen; the caller refreshes. A size that is not
    // positive becomes the default 16.
    void SetCellSize(int width, int height);
    void GetCellSize(int* width, int* height);

    int m_cellWidth;
    int m_cellHeight;

private:
    void Check(int id, bool checked);
};
