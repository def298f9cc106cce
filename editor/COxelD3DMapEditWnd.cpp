#include "editor/COxelD3DMapEditWnd.h"

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
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

const char kClassName[] = "MapEditWnd";
const DWORD kStyle = WS_VSCROLL | WS_HSCROLL | WS_SYSMENU | WS_THICKFRAME;
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const double kGreyPerUnit = 15.0;
// A left-button move shorter than this in both directions is still a click.
const int kDragThreshold = 5;

// Mouse state, shared by every map edit window: where each button went down
// ((-1, -1) for none), whether the left button is dragging the view, and where
// the drag last moved it.
const POINT kNoCell = {-1, -1};
POINT g_leftPress = kNoCell;
POINT g_rightPress = kNoCell;
bool g_dragging = false;
// The selection's drag under way, if any.
COxelTool* g_selection = nullptr;
POINT g_lastMouse = {0, 0};

LRESULT CALLBACK MapEditWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kMapEditWindow,
                                    kRouteAllMouse | kRouteMouseActivate | kRouteScrollAndSize | kRouteWheel, hwnd,
                                    message, wParam, lParam);
}

bool SameCell(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

COxelD3DTerrainChipManager* EditedTerrain()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    return editor && editor->HasMap() ? editor->m_terrain : nullptr;
}

}  // namespace

COxelD3DMapEditWnd::COxelD3DMapEditWnd()
    : m_view(1), m_cellPixels(kMapEditCellPixels), m_mapWidth(0), m_mapHeight(0), m_hScrollInfo(), m_vScrollInfo(), m_scrollX(m_view.m_scroll.x),
      m_scrollY(m_view.m_scroll.y)
{
}

COxelD3DMapEditWnd::~COxelD3DMapEditWnd()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

void COxelD3DMapEditWnd::Create()
{
    RegisterEditorClass(kClassName, MapEditWndProc);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, COxelD3DTerrainEditor::PreviewWindow(), nullptr, instance, nullptr);
    Rebuild();
}

void COxelD3DMapEditWnd::Rebuild()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    COxelD3DTerrainChipManager* terrain = EditedTerrain();
    if (!terrain || !m_hWnd) {
        return;
    }
    m_mapWidth = editor->m_mapWidth;
    m_mapHeight = editor->m_mapHeight;
    m_view.SetLayout(m_mapWidth, m_mapHeight, m_cellPixels, m_cellPixels);
    m_cells.assign(static_cast<size_t>(m_mapWidth) * m_mapHeight, MapEditCell());
    for (int row = 0; row < m_mapHeight; ++row) {
        for (int column = 0; column < m_mapWidth; ++column) {
            const int index = CellIndex(column, row);
            m_cells[index] = MapEditCell{index, column, row};
        }
    }
    // The scroll ranges follow the new map, and a window larger than the new
    // map shrinks to it.
    const SIZE client = ClientArea();
    OnSize(SIZE_RESTORED, client.cx, client.cy);
}

void COxelD3DMapEditWnd::DrawCell(const MapEditCell& cell, HDC hdc)
{
    COxelD3DTerrainChipManager* terrain = EditedTerrain();
    if (!terrain) {
        return;
    }
    const RECT square = m_view.SquareRect(cell.column, cell.row);
    const int left = square.left;
    const int top = square.top;
    // Without an atlas bitmap, or without a whole chip in it, squares show
    // their corners and outlines only; a chip the atlas does not have draws
    // no tile, and the square must not keep the picture it had.
    const TurnedAtlas* tiles = COxelD3DTerrainEditor::GetInstance()->TurnedTiles();
    if (!tiles || !tiles->DrawTile(hdc, square, terrain->GetMapChip(cell.index), terrain->GetMapChipRotation(cell.index))) {
        FillRect(hdc, &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }

    if (CellStep::Read(*terrain, cell.index).billboard >= 0) {
        DrawBillboardMark(hdc, square);
    }

    double heights[4];
    terrain->GetCornerHeights(cell.index, &heights[0], &heights[1], &heights[2], &heights[3]);
    // The DC pen and brush take each colour without an object of their own:
    // a fill repaints every square in view.
    SetDCPenColor(hdc, RGB(0, 0, 0));
    for (int corner = 0; corner < 4; ++corner) {
        const int grey = HeightGrey(heights[corner], kGreyPerUnit);
        const POINT origin = MapEditCornerOrigin(corner, m_cellPixels);
        SetDCBrushColor(hdc, RGB(grey, grey, grey));
        Rectangle(hdc, left + origin.x, top + origin.y, left + origin.x + m_cellPixels / 4,
                  top + origin.y + m_cellPixels / 4);
    }
    SetDCPenColor(hdc, RGB(255, 255, 255));
    ScopedSelection brushSelection(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, square.left, square.top, square.right, square.bottom);
}

void COxelD3DMapEditWnd::OnPaint(HDC hdc)
{
    if (m_cells.empty() || !EditedTerrain()) {
        return;
    }
    // Only the squares in view, and of those only the ones the paint needs.
    const SIZE map = MapSize();
    RECT box = {0, 0, map.cx, map.cy};
    GetClipBox(hdc, &box);
    const RECT visible = m_view.VisibleSquares(box);
    ScopedSelection penSelection(hdc, GetStockObject(DC_PEN));
    ScopedSelection brushSelection(hdc, GetStockObject(DC_BRUSH));
    for (int row = visible.top; row < visible.bottom; ++row) {
        for (int column = visible.left; column < visible.right; ++column) {
            DrawCell(m_cells[CellIndex(column, row)], hdc);
        }
    }
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        DrawRegionOutlines(hdc, m_view, MapPoint::kCell, editor->m_regions);
    }
}

MapPoint COxelD3DMapEditWnd::PointAt(const MapEditCell& cell, int px, int py) const
{
    const int corner = MapEditCornerAt(px - m_cellPixels * cell.column, py - m_cellPixels * cell.row, m_cellPixels);
    const GridPoint at = {cell.index % m_mapWidth, cell.index / m_mapWidth};
    if (corner < 0) {
        return MapPoint{MapPoint::kCell, at};
    }
    return MapPoint{MapPoint::kVertex,
                    GridPoint{WrapIndex(at.column + corner / 2, m_mapWidth), WrapIndex(at.row + corner % 2, m_mapHeight)}};
}

void COxelD3DMapEditWnd::EditCell(const MapEditCell& cell, UINT message, int px, int py)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!EditedTerrain()) {
        return;
    }
    const MapPoint point = PointAt(cell, px, py);
    editor->MapEditTool(point.kind).Click(point, message == WM_RBUTTONUP);
}

void COxelD3DMapEditWnd::OnMapChanged(const MapChange& change)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (change.kind != MapChange::kGrid || m_cells.empty() || !editor || m_mapWidth != editor->m_mapWidth ||
        m_mapHeight != editor->m_mapHeight) {
        return;
    }
    m_view.Repaint(m_hWnd, change.area);
}

int COxelD3DMapEditWnd::OnMouse(UINT message, int x, int y)
{
    // The drag holds the mouse, so its release reaches this window wherever
    // it happens; losing the mouse to anything else ends the drag.
    if (message == WM_CAPTURECHANGED) {
        g_dragging = false;
        g_leftPress = g_rightPress = kNoCell;
        if (COxelTool* selection = std::exchange(g_selection, nullptr)) {
            selection->End();
        }
        return 0;
    }
    // With the mouse held, a point left of or above the window comes as a
    // large unsigned word.
    x = static_cast<short>(x);
    y = static_cast<short>(y);
    const GridPoint square = m_view.SquareAt(POINT{x, y});
    const POINT cell = {square.column, square.row};
    const bool onMap = m_view.OnMap(square);
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
        editor && EditedTerrain() &&
        (g_selection || (message == WM_LBUTTONDOWN && onMap && editor->m_regions.Selecting() &&
                         !editor->m_regions.Stamping()))) {
        SelectDrag(message, cell, onMap);
        return 0;
    }
    switch (message) {
    case WM_MBUTTONDOWN:
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance(); editor && onMap) {
            editor->MoveCameraOver(m_view.GridColumn(cell.x) + 0.5f, cell.y + 0.5f);
        }
        break;
    case WM_LBUTTONDOWN:
        g_lastMouse = POINT{x, y};
        g_leftPress = cell;
        g_dragging = true;
        SetCapture(m_hWnd);
        break;
    case WM_MOUSEMOVE:
        if (onMap && EditedTerrain()) {
            const POINT pixel = m_view.ContentPoint(POINT{x, y});
            const MapPoint point = PointAt(m_cells[CellIndex(cell.x, cell.y)], pixel.x, pixel.y);
            COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
            COxelTool& tool = editor->MapEditTool(point.kind);
            tool.Hover(point);
            editor->ShowStatus(tool.StatusText(point));
        }
        if (!g_dragging ||
            (std::abs(g_lastMouse.x - x) < kDragThreshold && std::abs(g_lastMouse.y - y) < kDragThreshold)) {
            break;
        }
        // A drag is no click.
        g_leftPress = g_rightPress = kNoCell;
        m_scrollX += g_lastMouse.x - x;
        m_scrollY += g_lastMouse.y - y;
        ClampScroll();
        m_hScrollInfo.fMask = m_vScrollInfo.fMask = SIF_POS;
        m_hScrollInfo.nPos = m_scrollX;
        m_vScrollInfo.nPos = m_scrollY;
        SetScrollInfo(m_hWnd, SB_HORZ, &m_hScrollInfo, TRUE);
        SetScrollInfo(m_hWnd, SB_VERT, &m_vScrollInfo, TRUE);
        g_lastMouse = POINT{x, y};
        Redraw();
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        const bool left = message == WM_LBUTTONUP;
        POINT& press = left ? g_leftPress : g_rightPress;
        const POINT pressed = press;
        if (left) {
            g_dragging = false;
            // Its WM_CAPTURECHANGED clears the presses: the click is decided on what was pressed.
            if (GetCapture() == m_hWnd) {
                ReleaseCapture();
            }
        }
        if (!SameCell(pressed, cell) || x < 0 || y < 0) {
            press = kNoCell;
            break;
        }
        // A window wider than its map has no cell past the map's last square.
        if (onMap) {
            const POINT pixel = m_view.ContentPoint(POINT{x, y});
            EditCell(m_cells[CellIndex(cell.x, cell.y)], message, pixel.x, pixel.y);
        }
        press = kNoCell;
        break;
    }
    case WM_RBUTTONDOWN:
        g_rightPress = cell;
        break;
    }
    return 0;
}

void COxelD3DMapEditWnd::SelectDrag(UINT message, POINT square, bool onMap)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const int index = onMap ? m_cells[CellIndex(square.x, square.y)].index : 0;
    const MapPoint point = {MapPoint::kCell, GridPoint{index % m_mapWidth, index / m_mapWidth}};
    switch (message) {
    case WM_LBUTTONDOWN:
        g_selection = &editor->ActiveTool(MapPoint::kCell);
        g_selection->Begin(point, false);
        g_selection->Reach({point.at});
        SetCapture(m_hWnd);
        break;
    case WM_MOUSEMOVE:
        if (onMap) {
            g_selection->Reach({point.at});
        }
        break;
    case WM_LBUTTONUP:
        if (COxelTool* selection = std::exchange(g_selection, nullptr)) {
            if (onMap) {
                selection->Reach({point.at});
            }
            selection->End();
        }
        if (GetCapture() == m_hWnd) {
            ReleaseCapture();
        }
        break;
    }
}

void COxelD3DMapEditWnd::OnCommand(int)
{
}

void COxelD3DMapEditWnd::OnScroll(LPARAM, int code, int position, int vertical)
{
    const SIZE bitmap = MapSize();
    const SIZE client = ClientArea();
    LONG& offset = vertical ? m_scrollY : m_scrollX;
    const int last = vertical ? LastOffset(bitmap.cy, client.cy) : LastOffset(bitmap.cx, client.cx);
    switch (code) {
    case SB_LINEUP:
    case SB_PAGEUP:
    case SB_TOP:
        if (offset > 0) {
            --offset;
        }
        break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
    case SB_BOTTOM:
        if (offset < last) {
            ++offset;
        }
        break;
    case SB_THUMBPOSITION:
        // The scroll range ends one pixel past the last position that still
        // fills the client area.
        offset = std::min(std::max(position, 0), last);
        break;
    default:
        return;
    }
    SCROLLINFO& info = vertical ? m_vScrollInfo : m_hScrollInfo;
    info.fMask = SIF_POS;
    info.nPos = offset;
    SetScrollInfo(m_hWnd, vertical ? SB_VERT : SB_HORZ, &info, TRUE);
    Redraw();
}

void COxelD3DMapEditWnd::OnWheel(int delta, bool across)
{
    const int notches = m_view.WheelNotches(delta, across);
    if (notches == 0 || !m_hWnd) {
        return;
    }
    const SIZE bitmap = MapSize();
    const SIZE client = ClientArea();
    LONG& offset = across ? m_scrollX : m_scrollY;
    offset = across ? ClampedOffset(offset - notches * m_cellPixels, bitmap.cx, client.cx)
                    : ClampedOffset(offset - notches * m_cellPixels, bitmap.cy, client.cy);
    SCROLLINFO& info = across ? m_hScrollInfo : m_vScrollInfo;
    info.fMask = SIF_POS;
    info.nPos = offset;
    SetScrollInfo(m_hWnd, across ? SB_HORZ : SB_VERT, &info, TRUE);
    Redraw();
}

void COxelD3DMapEditWnd::OnZoom(int delta, POINT anchor)
{
    const int next = SteppedSize(kMapEditCellSizes, 3, m_cellPixels, delta);
    if (next == m_cellPixels || m_cells.empty()) {
        return;
    }
    // The same spot of the cell under the pointer stays under it.
    const POINT content = m_view.ContentPoint(anchor);
    m_scrollX = content.x * next / m_cellPixels - anchor.x;
    m_scrollY = content.y * next / m_cellPixels - anchor.y;
    m_cellPixels = next;
    Rebuild();
    ClampScroll();
    const SIZE client = ClientArea();
    UpdateScrollBars(std::min<int>(MapSize().cx, client.cx), std::min<int>(MapSize().cy, client.cy));
    Redraw();
}

void COxelD3DMapEditWnd::Refresh()
{
    if (!m_hWnd) {
        return;
    }
    Rebuild();
    Redraw();
}

void COxelD3DMapEditWnd::OnSize(UINT type, int width, int height)
{
    if (m_cells.empty() || type == SIZE_MINIMIZED) {
        return;
    }
    const SIZE bitmap = MapSize();
    const int pageWidth = std::min<int>(bitmap.cx, width);
    if (bitmap.cy >= height && bitmap.cx >= width) {
        m_scrollX = std::min<int>(m_scrollX, bitmap.cx - pageWidth);
        m_scrollY = std::min<int>(m_scrollY, bitmap.cy - height);
        UpdateScrollBars(pageWidth, height);
        return;
    }
    const int pageHeight = std::min<int>(bitmap.cy, height);
    // The frame's size leaves out the scroll bars, which take their share of
    // the window too: without them the map would not fit after all.
    FitClientArea(pageWidth + GetSystemMetrics(SM_CXVSCROLL), pageHeight + GetSystemMetrics(SM_CYHSCROLL));
}

int COxelD3DMapEditWnd::CellIndex(int column, int row) const
{
    return row * m_mapWidth + m_view.GridColumn(column);
}

SIZE COxelD3DMapEditWnd::MapSize() const
{
    return m_cells.empty() ? SIZE{0, 0} : m_view.ContentSize();
}

SIZE COxelD3DMapEditWnd::ClientArea() const
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    return SIZE{client.right, client.bottom};
}

void COxelD3DMapEditWnd::ClampScroll()
{
    const SIZE bitmap = MapSize();
    const SIZE client = ClientArea();
    m_scrollX = ClampedOffset(m_scrollX, bitmap.cx, client.cx);
    m_scrollY = ClampedOffset(m_scrollY, bitmap.cy, client.cy);
}

void COxelD3DMapEditWnd::UpdateScrollBars(int pageWidth, int pageHeight)
{
    const SIZE bitmap = MapSize();
    struct Bar {
        SCROLLINFO& info;
        int bar;
        int size;
        int page;
        int position;
    } bars[] = {{m_hScrollInfo, SB_HORZ, bitmap.cx, pageWidth, m_scrollX},
                {m_vScrollInfo, SB_VERT, bitmap.cy, pageHeight, m_scrollY}};
    for (Bar& bar : bars) {
        bar.info.cbSize = sizeof bar.info;
        bar.info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        bar.info.nMin = 0;
        bar.info.nMax = bar.size;
        bar.info.nPage = static_cast<UINT>(bar.page);
        bar.info.nPos = bar.position;
        SetScrollInfo(m_hWnd, bar.bar, &bar.info, TRUE);
    }
}
