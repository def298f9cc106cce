#include "tools/COxelD3DHeightWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "editor/MapPainting.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/MapViewMath.h"

#include <algorithm>
#include <unordered_map>

namespace {

const char kClassName[] = "HeightEditor";
const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kSquare = 10;
const double kGreyPerUnit = 16.0;

// The square where each button went down; (-1, -1) for none. An edit is a
// press and a release of the same button over the same square.
const POINT kNoPress = {-1, -1};
POINT g_leftPress = kNoPress;
POINT g_rightPress = kNoPress;

LRESULT CALLBACK HeightWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kHeightWindow, kRouteKeysToCamera | kRouteAllMouse | kRouteScrollAndSize | kRouteWheel,
                                    hwnd, message, wParam,
                                    lParam);
}

}  // namespace

COxelD3DHeightWnd::COxelD3DHeightWnd() : COxelMapViewWnd(0), m_strokeStart(0.0)
{
}

COxelD3DHeightWnd::~COxelD3DHeightWnd()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

void COxelD3DHeightWnd::Create()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor) {
        return;
    }
    RegisterEditorClass(kClassName, HeightWndProc);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    const SIZE outer = OuterSize(editor->m_mapWidth * kSquare, editor->m_mapHeight * kSquare,
                                 WS_CAPTION | WS_SYSMENU, kExStyle, false);
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy,
                             COxelD3DTerrainEditor::PreviewWindow(), nullptr, instance, nullptr);
}

void COxelD3DHeightWnd::OnPaint(HDC hdc)
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
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    ScopedSelection penSelection(hdc, pen.get());
    // The DC brush takes each square's grey without a brush of its own.
    ScopedSelection brushSelection(hdc, GetStockObject(DC_BRUSH));
    for (int row = visible.top; row < visible.bottom; ++row) {
        for (int column = visible.left; column < visible.right; ++column) {
            const int grey = HeightGrey(editor->m_terrain->GetHeight(m_view.GridColumn(column), row), kGreyPerUnit);
            SetDCBrushColor(hdc, RGB(grey, grey, grey));
            const RECT square = m_view.SquareRect(column, row);
            Rectangle(hdc, square.left, square.top, square.right, square.bottom);
        }
    }
}

int COxelD3DHeightWnd::OnMouse(UINT message, int x, int y)
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
            editor->MoveCameraOver(static_cast<float>(m_view.GridColumn(square.column)),
                                   static_cast<float>(square.row));
        }
        return 0;
    }
    if (editor->m_tools.m_dragPaint || m_stroke.Active()) {
        OnStrokeMouse(message, at);
        return 0;
    }
    if (message == WM_CAPTURECHANGED) {
        return 0;
    }
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    UpdateLayout();
    const GridPoint square = m_view.SquareAt(at);
    const int column = square.column;
    const int row = square.row;
    const int vertex = m_view.GridColumn(column);
    editor->PlaceCursor(vertex, row);

    switch (message) {
    case WM_LBUTTONDOWN:
        g_leftPress = POINT{column, row};
        break;
    case WM_RBUTTONDOWN:
        g_rightPress = POINT{column, row};
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        const bool left = message == WM_LBUTTONUP;
        POINT& press = left ? g_leftPress : g_rightPress;
        if (press.x == column && press.y == row) {
            BeginPaintAction(*editor);
            EditSquares({GridPoint{column, row}}, !left, terrain->GetHeight(vertex, row));
            EndPaintAction(*editor);
        }
        press = kNoPress;
        break;
    }
    }
    return 0;
}

void COxelD3DHeightWnd::OnStrokeMouse(UINT message, POINT at)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    UpdateLayout();
    const GridPoint square = m_view.SquareAt(at);
    // While the stroke holds the mouse, the pointer may be outside the window.
    if (message != WM_CAPTURECHANGED && m_view.OnMap(square)) {
        editor->PlaceCursor(m_view.GridColumn(square.column), square.row);
    }
    // The stroke counts in squares of the whole map, wherever it is scrolled.
    const COxelPaintStroke::Event event = m_stroke.Track(m_hWnd, message, m_view.ContentPoint(at), kSquare, kSquare,
                                                         m_view.Columns(), m_view.Rows());
    if (event.interrupted) {
        EndPaintAction(*editor);
    }
    if (!event.handled) {
        return;
    }
    if (event.begins) {
        m_strokeStart = editor->m_terrain->GetHeight(m_view.GridColumn(square.column), square.row);
        BeginPaintAction(*editor);
    }
    EditSquares(event.squares, m_stroke.Button() == WM_RBUTTONDOWN, m_strokeStart);
    if (event.ends) {
        m_stroke.Stop(m_hWnd);
        EndPaintAction(*editor);
    }
}

void COxelD3DHeightWnd::EditSquares(const std::vector<GridPoint>& squares, bool rightButton, double startHeight)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    // One change for them all, as if the brush had acted on each square in
    // turn: each reads the heights the squares before it left.
    std::unordered_map<int, double> pending;
    const HeightAt heightAt = [&](int column, int row) {
        const auto found = pending.find(WrapIndex(row, height) * width + WrapIndex(column, width));
        return found != pending.end() ? found->second : terrain->GetHeight(column, row);
    };
    std::vector<HeightChange> changes;
    for (const GridPoint& square : squares) {
        const GridPoint vertex = {m_view.GridColumn(square.column), square.row};
        for (const HeightChange& change :
             editor->m_tools.HeightEdit(heightAt, vertex, rightButton, startHeight, width, height)) {
            pending[change.vertex.row * width + change.vertex.column] = change.height;
            changes.push_back(change);
        }
    }
    PaintHeights(*editor, changes);
}

void COxelD3DHeightWnd::OnMapChanged(const MapChange& change)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (change.kind != MapChange::kGrid || !editor) {
        return;
    }
    UpdateLayout();
    // The vertices are the corners of the changed cells: one more each way.
    m_view.Repaint(m_hWnd, MapArea{change.area.left, change.area.top, change.area.right + 1, change.area.bottom + 1});
}

void COxelD3DHeightWnd::UpdateLayout()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        m_view.SetLayout(editor->m_mapWidth, editor->m_mapHeight, kSquare, kSquare);
    }
}

void COxelD3DHeightWnd::OnCommand(int)
{
}

void COxelD3DHeightWnd::Refresh()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        FitView(editor->m_mapWidth, editor->m_mapHeight, kSquare, kSquare);
    }
    Redraw();
}
