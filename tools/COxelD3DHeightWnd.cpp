#include "tools/COxelD3DHeightWnd.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/MapViewMath.h"
#include "tools/RegionOutline.h"

#include <algorithm>

namespace {

const char kClassName[] = "HeightEditor";
const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const char kMenuName[] = "OXELAPP_EDITOR_HEIGHTMENU";
// "小", "中" and "大" of "表示サイズ", for the sizes of kDisplaySizes.
const int kDisplaySizeCommands[3] = {1011, 1012, 1013};
const double kGreyPerUnit = 16.0;

LRESULT CALLBACK HeightWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kHeightWindow, kRouteKeysToCamera | kRouteAllMouse | kRouteScrollAndSize | kRouteWheel,
                                    hwnd, message, wParam,
                                    lParam);
}

}  // namespace

COxelD3DHeightWnd::COxelD3DHeightWnd() : COxelMapViewWnd(0, kDisplaySizeCommands), m_gesture(MapPoint::kVertex), m_squareSize(kDisplaySizes[0])
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
    RegisterEditorClass(kClassName, HeightWndProc, kMenuName);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    const SIZE outer = OuterSize(editor->m_mapWidth * m_squareSize, editor->m_mapHeight * m_squareSize,
                                 WS_CAPTION | WS_SYSMENU, kExStyle, true);
    // The menu in the program's language: the class's would come in the system's.
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx, outer.cy,
                             COxelD3DTerrainEditor::PreviewWindow(), LoadProgramMenu(kMenuName), instance, nullptr);
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
    DrawRegionOutlines(hdc, m_view, MapPoint::kVertex, editor->m_regions);
}

int COxelD3DHeightWnd::OnMouse(UINT message, int x, int y)
{
    UpdateLayout();
    m_gesture.OnMouse(m_hWnd, m_view, message, POINT{static_cast<short>(x), static_cast<short>(y)});
    return 0;
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
        m_view.SetLayout(editor->m_mapWidth, editor->m_mapHeight, m_squareSize, m_squareSize);
    }
}

int COxelD3DHeightWnd::SquareSize() const
{
    return m_squareSize;
}

void COxelD3DHeightWnd::SetSquareSize(int size)
{
    // A settings file may ask for any size: only the menu's sizes are taken.
    bool known = false;
    for (int i = 0; i < 3; ++i) {
        known = known || kDisplaySizes[i] == size;
    }
    m_squareSize = known ? size : kDisplaySizes[0];
    MarkDisplaySize(m_squareSize);
}

void COxelD3DHeightWnd::Refresh()
{
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        FitView(editor->m_mapWidth, editor->m_mapHeight, m_squareSize, m_squareSize);
    }
    Redraw();
}
