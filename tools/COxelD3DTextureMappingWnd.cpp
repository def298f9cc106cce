#include "tools/COxelD3DTextureMappingWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "editor/MapPainting.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/MapViewMath.h"

#include <algorithm>

namespace {

const char kClassName[] = "TextureMapping";
const char kMenuName[] = "OXELAPP_EDITOR_TEXTUREMAPMENU";
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kDefaultCellSize = 16;
const int kLargestCellSize = 64;

struct DisplaySize {
    int command;
    int pixels;
};
const DisplaySize kDisplaySizes[] = {{1000, 10}, {1001, 16}, {1002, 32}};

// Where each button went down; (-1, -1) for none.
POINT g_leftPress = {-1, -1};
POINT g_rightPress = {-1, -1};

LRESULT CALLBACK TextureMappingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kTextureMappingWindow, kRouteAllMouse | kRouteScrollAndSize | kRouteWheel, hwnd,
                                    message, wParam, lParam);
}

bool SameCell(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

}  // namespace

COxelD3DTextureMappingWnd::COxelD3DTextureMappingWnd()
    : COxelMapViewWnd(0), m_cellWidth(kDefaultCellSize), m_cellHeight(kDefaultCellSize)
{
}

COxelD3DTextureMappingWnd::~COxelD3DTextureMappingWnd()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

void COxelD3DTextureMappingWnd::Create()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor) {
        return;
    }
    RegisterEditorClass(kClassName, TextureMappingWndProc, kMenuName);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    const SIZE outer = OuterSize(editor->m_mapWidth * m_cellWidth, editor->m_mapHeight * m_cellHeight,
                                 WS_CAPTION | WS_SYSMENU, kExStyle, true);
    // A top-level window gets a caption without asking for one; the class menu applies.
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                             outer.cy, COxelD3DTerrainEditor::PreviewWindow(), nullptr, instance, nullptr);
}

void COxelD3DTextureMappingWnd::OnPaint(HDC hdc)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->HasMap()) {
        return;
    }
    UpdateLayout();
    // Only the squares that need it: after an edit that is a few of thousands.
    const SIZE content = m_view.ContentSize();
    RECT box = {0, 0, content.cx, content.cy};
    GetClipBox(hdc, &box);
    const RECT visible = m_view.VisibleSquares(box);
    // The outline's pen and hollow brush stay selected for every square.
    ScopedGdiObject<HPEN> white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    ScopedSelection penSelection(hdc, white.get());
    ScopedSelection brushSelection(hdc, GetStockObject(NULL_BRUSH));
    for (int row = visible.top; row < visible.bottom; ++row) {
        for (int column = visible.left; column < visible.right; ++column) {
            DrawCell(hdc, column, row);
        }
    }
}

void COxelD3DTextureMappingWnd::DrawCell(HDC hdc, int column, int row)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const RECT cell = m_view.SquareRect(column, row);
    const int x = m_view.GridColumn(column);
    // Without an atlas bitmap, or without a whole chip column in it, the cells
    // show their outlines only; a chip the atlas does not have draws no tile,
    // and the square must not keep the picture it had.
    const TurnedAtlas* tiles = editor->TurnedTiles();
    if (!tiles ||
        !tiles->DrawTile(hdc, cell, editor->m_terrain->GetMapChip(x, row), editor->m_terrain->GetMapChipRotation(x, row))) {
        FillRect(hdc, &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    Rectangle(hdc, cell.left, cell.top, cell.right, cell.bottom);
}

int COxelD3DTextureMappingWnd::OnMouse(UINT message, int x, int y)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->HasMap()) {
        return 0;
    }
    // While a stroke holds the mouse, a point left of or above the window
    // comes as a large unsigned word.
    const POINT at = {static_cast<short>(x), static_cast<short>(y)};
    if (message == WM_MBUTTONDOWN && !m_stroke.Active()) {
        UpdateLayout();
        const GridPoint square = m_view.SquareAt(at);
        if (m_view.OnMap(square)) {
            editor->MoveCameraOver(m_view.GridColumn(square.column) + 0.5f, square.row + 0.5f);
        }
        return 0;
    }
    const bool fill = editor->m_tools.m_fill != 0;
    // With fill on, the left button fills on a click; the right button still strokes.
    const bool leftFills = fill && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP);
    if (leftFills && message == WM_LBUTTONDOWN && m_stroke.Active()) {
        // Any press ends a stroke that is held.
        m_stroke.Stop(m_hWnd);
        m_turned.clear();
        EndPaintAction(*editor);
    }
    if (!leftFills && (editor->m_tools.m_dragPaint || m_stroke.Active())) {
        OnStrokeMouse(message, at);
        return 0;
    }
    UpdateLayout();
    const GridPoint square = m_view.SquareAt(at);
    // Clicks outside the view do nothing.
    if (message == WM_CAPTURECHANGED || !m_view.OnMap(square)) {
        return 0;
    }
    const POINT cell = {square.column, square.row};
    const int column = m_view.GridColumn(cell.x);
    const int row = cell.y;
    editor->PlaceCursor(column, row);

    switch (message) {
    case WM_LBUTTONDOWN:
        g_leftPress = cell;
        break;
    case WM_LBUTTONUP:
        if (SameCell(g_leftPress, cell)) {
            if (fill) {
                FillAt(GridPoint{cell.x, cell.y});
            } else {
                BeginPaintAction(*editor);
                EditSquares({GridPoint{cell.x, cell.y}}, false);
                EndPaintAction(*editor);
            }
            g_leftPress = POINT{-1, -1};
        }
        break;
    case WM_RBUTTONDOWN:
        g_rightPress = cell;
        break;
    case WM_RBUTTONUP:
        if (SameCell(g_rightPress, cell)) {
            BeginPaintAction(*editor);
            EditSquares({GridPoint{cell.x, cell.y}}, true);
            EndPaintAction(*editor);
            g_rightPress = POINT{-1, -1};
        }
        break;
    }
    return 0;
}

void COxelD3DTextureMappingWnd::OnStrokeMouse(UINT message, POINT at)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    UpdateLayout();
    const GridPoint square = m_view.SquareAt(at);
    // While the stroke holds the mouse, the pointer may be outside the window.
    if (message != WM_CAPTURECHANGED && m_view.OnMap(square)) {
        editor->PlaceCursor(m_view.GridColumn(square.column), square.row);
    }
    // The stroke counts in squares of the whole map, wherever it is scrolled.
    const COxelPaintStroke::Event event =
        m_stroke.Track(m_hWnd, message, m_view.ContentPoint(at), m_cellWidth, m_cellHeight, width, height);
    if (event.interrupted) {
        m_turned.clear();
        EndPaintAction(*editor);
    }
    if (!event.handled) {
        return;
    }
    if (event.begins) {
        BeginPaintAction(*editor);
        m_turned.assign(static_cast<size_t>(width) * height, 0);
    }
    EditSquares(event.squares, m_stroke.Button() == WM_RBUTTONDOWN);
    if (event.ends) {
        m_stroke.Stop(m_hWnd);
        m_turned.clear();
        EndPaintAction(*editor);
    }
}

void COxelD3DTextureMappingWnd::EditSquares(const std::vector<GridPoint>& squares, bool rightButton)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const int width = editor->m_mapWidth;
    std::vector<GridPoint> cells;
    for (const GridPoint& square : squares) {
        const GridPoint centre = {m_view.GridColumn(square.column), square.row};
        for (const GridPoint& cell : editor->m_tools.Footprint(centre, width, editor->m_mapHeight)) {
            // A stroke's brushes overlap: each cell turns once in it.
            if (rightButton && m_stroke.Active()) {
                char& turned = m_turned[static_cast<size_t>(cell.row) * width + cell.column];
                if (turned) {
                    continue;
                }
                turned = 1;
            }
            cells.push_back(cell);
        }
    }
    if (rightButton) {
        TurnChips(*editor, cells);
    } else {
        PaintChips(*editor, cells, editor->m_selectedChip);
    }
}

void COxelD3DTextureMappingWnd::FillAt(GridPoint square)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const GridPoint start = {WrapIndex(m_view.GridColumn(square.column), editor->m_mapWidth), square.row};
    BeginPaintAction(*editor);
    FillChips(*editor, start, editor->m_selectedChip);
    EndPaintAction(*editor);
}

void COxelD3DTextureMappingWnd::OnMapChanged(const MapChange& change)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || change.kind != MapChange::kGrid) {
        return;
    }
    UpdateLayout();
    m_view.Repaint(m_hWnd, change.area);
}

void COxelD3DTextureMappingWnd::UpdateLayout()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        m_view.SetLayout(editor->m_mapWidth, editor->m_mapHeight, m_cellWidth, m_cellHeight);
    }
}

void COxelD3DTextureMappingWnd::OnCommand(int id)
{
    for (const DisplaySize& size : kDisplaySizes) {
        if (size.command != id) {
            continue;
        }
        if (m_cellWidth == size.pixels) {
            return;
        }
        for (const DisplaySize& other : kDisplaySizes) {
            CheckMenuCommand(other.command, other.command == id);
        }
        // The cell at the top-left corner stays there; the fit keeps the page on the map.
        UpdateLayout();
        const GridPoint corner = m_view.SquareAt(POINT{0, 0});
        SetCellSize(size.pixels, size.pixels);
        m_view.m_scroll = POINT{corner.column * m_cellWidth, corner.row * m_cellHeight};
        Refresh();
        return;
    }
}

void COxelD3DTextureMappingWnd::Refresh()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        FitView(editor->m_mapWidth, editor->m_mapHeight, m_cellWidth, m_cellHeight);
    }
    Redraw();
}

void COxelD3DTextureMappingWnd::SetCellSize(int width, int height)
{
    // A settings file may ask for any size: past the largest even a 16 x 16
    // map would not fit on a screen.
    m_cellWidth = width > 0 ? std::min(width, kLargestCellSize) : kDefaultCellSize;
    m_cellHeight = height > 0 ? std::min(height, kLargestCellSize) : kDefaultCellSize;
}

void COxelD3DTextureMappingWnd::GetCellSize(int* width, int* height)
{
    *width = m_cellWidth;
    *height = m_cellHeight;
}
