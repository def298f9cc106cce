#include "tools/COxelD3DHeightWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/MapViewMath.h"

namespace {

const char kClassName[] = "HeightEditor";
const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kSquare = 10;
const double kStep = 0.5;
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

COxelD3DHeightWnd::COxelD3DHeightWnd()
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
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const int grey = HeightGrey(editor->m_terrain->GetHeight(MirroredGridColumn(column, width), row),
                                        kGreyPerUnit);
            ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
            ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(grey, grey, grey)));
            ScopedSelection penSelection(hdc, pen.get());
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
            terrain->SetHeight(vertex, row, terrain->GetHeight(vertex, row) + (left ? kStep : -kStep));
            Redraw();
        }
        press = kNoPress;
        break;
    }
    }
    return 0;
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
