#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "tools/BrushMath.h"
#include "tools/COxelMapView.h"
#include "tools/COxelTool.h"

#include <windows.h>

#include <vector>

// One square of the map edit view: the grid cell it shows and where it lies.
struct MapEditCell {
    int index;
    int column;
    int row;
};

// The whole map from above in a scrollable window, 40 pixels to a cell: each
// square shows its cell's map chip turned by its rotation, a grey square in each
// corner for that vertex's height and a white outline. Clicks on a corner raise
// (left) or lower (right) the vertex; clicks elsewhere put the picked chip on the
// cell (left) or turn it (right). Dragging with the left button scrolls. The
// painting tools widen a click to a brush, change what a corner click does,
// and let a left click on a cell fill a region.
// Paints only the squares in view. Owns its squares; the turned atlas is the editor's.
class COxelD3DMapEditWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DMapEditWnd();
    ~COxelD3DMapEditWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    // Every line, page, top or bottom request moves the view by one pixel.
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // The mouse wheel: one cell a notch (WHEEL_DELTA), up for a positive
    // delta; `across` moves the view left instead. Parts of a notch add up.
    void OnWheel(int delta, bool across) override;
    // Ctrl+wheel: the next cell size of kMapEditCellSizes, keeping the spot
    // under `anchor` there.
    void OnZoom(int delta, POINT anchor) override;
    // Draws the map afresh for the editor's current map and atlas: the squares,
    // the cells and the scroll ranges follow the new size.
    void Refresh() override;
    // Keeps the window from growing past the map.
    void OnSize(UINT type, int width, int height) override;
    // Redraws the squares of the changed cells.
    void OnMapChanged(const MapChange& change) override;

    // The squares, a cell each, the first column showing the last cell.
    COxelMapView m_view;
    // The cell's size on screen: 40 pixels until Ctrl+wheel changes it.
    int m_cellPixels;
    int m_mapWidth;
    int m_mapHeight;
    SCROLLINFO m_hScrollInfo;
    SCROLLINFO m_vScrollInfo;
    // By grid cell index.
    std::vector<MapEditCell> m_cells;
    // The view's scroll offset, in pixels of the drawn map.
    LONG& m_scrollX;
    LONG& m_scrollY;

private:
    // Takes the editor's map size: the squares and the scroll ranges follow it.
    void Rebuild();
    // Draws a square where it lies in the client area, with the DC pen and DC
    // brush selected into `hdc`.
    void DrawCell(const MapEditCell& cell, HDC hdc);
    // Changes a vertex or the cell itself after a click at map pixel (px,
    // py); the editor then has every square that shows the change redrawn.
    // While "範囲選択" is on, a left drag selects cells instead of moving the
    // view: `message` at view square `square`.
    void SelectDrag(UINT message, POINT square, bool onMap);
    void EditCell(const MapEditCell& cell, UINT message, int px, int py);
    // What map pixel (px, py) of `cell` lies on: a corner's vertex or the cell.
    MapPoint PointAt(const MapEditCell& cell, int px, int py) const;
    // The grid cell that the square in view column `column`, row `row` shows.
    int CellIndex(int column, int row) const;
    // The whole map in pixels; nothing before the first Rebuild with a map.
    SIZE MapSize() const;
    SIZE ClientArea() const;
    // Keeps the offsets within the map for the current client area.
    void ClampScroll();
    void UpdateScrollBars(int pageWidth, int pageHeight);
};
