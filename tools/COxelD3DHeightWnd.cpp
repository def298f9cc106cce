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
    return RouteEditorWindowMessage(kHeightWindow, kRouteKeysToCamera | kRouteAllMouse, hwnd, message, wParam,
                                    lParam);
}

}  // namespace

COxelD3DHeightWnd::COxelD3DHeightWnd() : m_strokeStart(0.0)
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
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    // Only the squares that need it: after an edit that is a few of thousands.
    RECT box = {0, 0, width * kSquare, height * kSquare};
    GetClipBox(hdc, &box);
    const int lastRow = std::min<int>(height - 1, (box.bottom - 1) / kSquare);
    const int lastColumn = std::min<int>(width - 1, (box.right - 1) / kSquare);
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    ScopedSelection penSelection(hdc, pen.get());
    for (int row = std::max(0, static_cast<int>(box.top) / kSquare); row <= lastRow; ++row) {
        for (int column = std::max(0, static_cast<int>(box.left) / kSquare); column <= lastColumn; ++column) {
            const int grey = HeightGrey(editor->m_terrain->GetHeight(MirroredGridColumn(column, width), row),
                                        kGreyPerUnit);
            ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(grey, grey, grey)));
            ScopedSelection brushSelection(hdc, brush.get());
            Rectangle(hdc, kSquare * column, kSquare * row, kSquare * (column + 1), kSquare * (row + 1));
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
    if (editor->m_tools.m_dragPaint || m_stroke.Active()) {
        OnStrokeMouse(message, at);
        return 0;
    }
    if (message == WM_CAPTURECHANGED) {
        return 0;
    }
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    const int column = x / kSquare;
    const int row = y / kSquare;
    const int vertex = MirroredGridColumn(column, editor->m_mapWidth);
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
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    // While the stroke holds the mouse, the pointer may be outside the window.
    if (message != WM_CAPTURECHANGED && at.x >= 0 && at.y >= 0 && at.x < kSquare * width &&
        at.y < kSquare * height) {
        editor->PlaceCursor(MirroredGridColumn(at.x / kSquare, width), at.y / kSquare);
    }
    const COxelPaintStroke::Event event = m_stroke.Track(m_hWnd, message, at, kSquare, kSquare, width, height);
    if (event.interrupted) {
        EndPaintAction(*editor);
    }
    if (!event.handled) {
        return;
    }
    if (event.begins) {
        m_strokeStart = editor->m_terrain->GetHeight(MirroredGridColumn(at.x / kSquare, width), at.y / kSquare);
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
        const GridPoint vertex = {MirroredGridColumn(square.column, width), square.row};
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
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    // The vertices are the corners of the changed cells: one more each way.
    const MapArea corners = {change.area.left, change.area.top, change.area.right + 1, change.area.bottom + 1};
    if (corners.CoversMap(width, height)) {
        Redraw();
        return;
    }
    corners.ForEachCell(width, height, [&](int vertex, int row) {
        // Grid column 0 shows in view column 0, the others mirrored.
        const int column = WrapIndex(MirroredGridColumn(vertex, width), width);
        const RECT square = {kSquare * column, kSquare * row, kSquare * (column + 1), kSquare * (row + 1)};
        InvalidateRect(m_hWnd, &square, FALSE);
    });
    UpdateWindow(m_hWnd);
}

void COxelD3DHeightWnd::OnCommand(int)
{
}

void COxelD3DHeightWnd::OnScroll(LPARAM, int, int, int)
{
}

void COxelD3DHeightWnd::Refresh()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        FitClientArea(editor->m_mapWidth * kSquare, editor->m_mapHeight * kSquare);
    }
    Redraw();
}
