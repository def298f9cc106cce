#include "tools/COxelD3DTextureMappingWnd.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/CellStep.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"
#include "tools/BillboardMark.h"
#include "tools/MapViewMath.h"
#include "tools/RegionOutline.h"

#include <algorithm>

namespace {

const char kClassName[] = "TextureMapping";
const char kMenuName[] = "OXELAPP_EDITOR_TEXTUREMAPMENU";
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kDefaultCellSize = 16;
const int kLargestCellSize = 64;

// "小", "中" and "大" of "表示サイズ", for the sizes of kDisplaySizes.
const int kDisplaySizeCommands[3] = {1000, 1001, 1002};

LRESULT CALLBACK TextureMappingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kTextureMappingWindow, kRouteAllMouse | kRouteScrollAndSize | kRouteWheel, hwnd,
                                    message, wParam, lParam);
}

}  // namespace

COxelD3DTextureMappingWnd::COxelD3DTextureMappingWnd()
    : COxelMapViewWnd(0, kDisplaySizeCommands), m_cellWidth(kDefaultCellSize), m_cellHeight(kDefaultCellSize), m_gesture(MapPoint::kCell)
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
    // A top-level window gets a caption without asking for one. The menu is
    // the class's, in the program's language rather than the system's.
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                             outer.cy, COxelD3DTerrainEditor::PreviewWindow(), LoadProgramMenu(kMenuName), instance,
                             nullptr);
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
    DrawRegionOutlines(hdc, m_view, MapPoint::kCell, editor->m_regions);
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
    // While billboards are being placed, the cells show where they stand.
    if (editor->m_tools.m_placeBillboard && CellStep::Read(*editor->m_terrain, row * editor->m_mapWidth + WrapIndex(x, editor->m_mapWidth)).billboard >= 0) {
        DrawBillboardMark(hdc, cell);
    }
    Rectangle(hdc, cell.left, cell.top, cell.right, cell.bottom);
}

int COxelD3DTextureMappingWnd::OnMouse(UINT message, int x, int y)
{
    UpdateLayout();
    m_gesture.OnMouse(m_hWnd, m_view, message, POINT{static_cast<short>(x), static_cast<short>(y)});
    return 0;
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

int COxelD3DTextureMappingWnd::SquareSize() const
{
    return m_cellWidth;
}

void COxelD3DTextureMappingWnd::SetSquareSize(int size)
{
    MarkDisplaySize(size);
    SetCellSize(size, size);
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
