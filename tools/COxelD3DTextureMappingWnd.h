#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "tools/BrushMath.h"
#include "tools/COxelMapView.h"
#include "tools/COxelPaintStroke.h"

#include <windows.h>

#include <vector>

// The map from above, each cell showing its map chip turned by its rotation,
// outlined in white. A left click puts the chip picked in the texture window on
// a cell, a right click turns a cell's chip a quarter clockwise; moving the
// mouse puts the preview's cursor on the cell under it. Its menu picks the
// cell size on screen. The painting tools widen a click to a brush, let a
// drag paint every cell it passes, and let a left click fill a region.
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
    // Repaints the changed cells.
    void OnMapChanged(const MapChange& change) override;

    // Stores the cell size on screen; the caller refreshes. A size that is not
    // positive becomes the default 16, one above 64 becomes 64.
    void SetCellSize(int width, int height);
    void GetCellSize(int* width, int* height);

    int m_cellWidth;
    int m_cellHeight;

private:
    // The chip tools on the brush around the cell of each view square: the
    // picked chip with the left button, a quarter turn with the right.
    void EditSquares(const std::vector<GridPoint>& squares, bool rightButton);
    // The picked chip over the region of like cells around view square `square`.
    void FillAt(GridPoint square);
    // The mouse while "ドラッグで描く" is on: a press starts a stroke, which
    // acts on every square the pointer passes until the button is released.
    void OnStrokeMouse(UINT message, POINT at);
    // Follows the editor's map size and the cell size.
    void UpdateLayout();

    // What the offscreen copy of the cells was drawn for; any change in it
    // means every cell must be drawn again.
    struct DrawnFor {
        int mapWidth;
        int mapHeight;
        int cellWidth;
        int cellHeight;
        HBITMAP atlas;
        int chipColumns;
        int chipRowRest;
        bool operator==(const DrawnFor& other) const;
    };
    // What a cell's square shows.
    struct CellPicture {
        int chip;
        int rotation;
        bool operator!=(const CellPicture& other) const { return chip != other.chip || rotation != other.rotation; }
    };

    // Brings the offscreen copy up to date: every cell after a change of map,
    // cell size or atlas, otherwise only the cells whose chip or rotation
    // changed. False when there is no copy to draw into.
    bool UpdateCells(HDC reference);
    // Draws every cell into `hdc`, on a white background.
    void DrawAllCells(HDC hdc);
    // One cell: its chip turned by its rotation, then its white outline.
    void DrawCell(HDC hdc, HPEN outline, int column, int row);
    CellPicture PictureOf(int column, int row) const;
    DrawnFor Current() const;
    void DropCells();

    // Repainting the whole map for every click is too slow for a large map:
    // the cells are drawn once into this copy, and a paint redraws only the
    // cells whose picture changed since.
    HDC m_cellsDC;
    HBITMAP m_cellsBitmap;
    HGDIOBJ m_cellsPrevious;
    DrawnFor m_drawnFor;
    std::vector<CellPicture> m_drawnCells;
    // A square for each cell, the first column showing the first cell.
    COxelMapView m_view;
    COxelPaintStroke m_stroke;
    // By grid cell: turned already in this stroke, so that overlapping
    // brushes turn no cell twice.
    std::vector<char> m_turned;
};
