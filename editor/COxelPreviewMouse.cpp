#include "editor/COxelPreviewMouse.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/StatusReadout.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <windowsx.h>

#include <cmath>

namespace {

// The outline floats this far above the ground, so the ground does not hide it.
const float kOutlineLift = 0.1f;
// How far along the edges to its neighbours the cross that marks a vertex
// the brush moves reaches.
const float kCrossArm = 0.25f;
// A stroke reaches every point the ground under the pointer passes, sampled
// this often; a jump farther than kLongestStep (over a ridge, to another
// copy) reaches only where it lands.
const float kStrokeSample = 0.25f;
const float kLongestStep = 8.0f;

UINT PressOf(UINT release)
{
    switch (release) {
    case WM_LBUTTONUP:
        return WM_LBUTTONDOWN;
    case WM_RBUTTONUP:
        return WM_RBUTTONDOWN;
    case WM_MBUTTONUP:
        return WM_MBUTTONDOWN;
    default:
        return 0;
    }
}

}  // namespace

COxelPreviewMouse::COxelPreviewMouse(COxelD3DTerrainEditor& editor)
    : m_editor(editor),
      m_drag(kNoDrag),
      m_button(0),
      m_last{0, 0},
      m_tracking(false),
      m_altTurned(false),
      m_acting(false),
      m_tool(nullptr),
      m_kind(MapPoint::kCell),
      m_stroking(false),
      m_right(false),
      m_press{MapPoint::kCell, GridPoint{-1, -1}},
      m_mapCount(0),
      m_lastGround(0.0f, 0.0f, 0.0f)
{
}

bool COxelPreviewMouse::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_tracking) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window, 0};
            m_tracking = TrackMouseEvent(&track) != FALSE;
        }
        if (m_drag == kTurnDrag || m_drag == kPanDrag) {
            MoveCamera(window, at);
        }
        Hover(window, at);
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        // Any press ends what another button holds.
        Stop(window);
        MapPoint::Kind kind;
        const bool editing = Tool(&kind) != nullptr;
        if (message == WM_MBUTTONDOWN) {
            BeginCameraDrag(window, kPanDrag, at);
        } else if (message == WM_RBUTTONDOWN && (!editing || GetKeyState(VK_MENU) < 0)) {
            m_altTurned = GetKeyState(VK_MENU) < 0;
            BeginCameraDrag(window, kTurnDrag, at);
        } else if (editing) {
            BeginEdit(window, at, message == WM_RBUTTONDOWN);
        }
        Hover(window, at);
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (m_drag != kNoDrag && PressOf(message) == m_button) {
            if (m_drag == kEditDrag) {
                EndEdit(window, at);
            } else {
                Release(window);
            }
            Hover(window, at);
        }
        return true;
    case WM_CAPTURECHANGED:
        // Another window or a prompt took the mouse: what it held is over.
        if (reinterpret_cast<HWND>(lParam) != window) {
            Stop(window);
        }
        return true;
    case WM_MOUSEWHEEL: {
        COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
        if (scene && scene->m_camera) {
            scene->m_camera->Dolly(kDollyPerNotch * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
        }
        Follow(window);
        return true;
    }
    case WM_MOUSELEAVE:
        m_tracking = false;
        if (m_drag == kNoDrag) {
            ClearOutline();
        }
        return true;
    case WM_SYSCOMMAND:
        // Alt let go after turning the view is not a request for the menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && m_altTurned) {
            m_altTurned = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void COxelPreviewMouse::Follow(HWND window)
{
    // The preview's own edits: the mouse message that made them shows them.
    if (m_acting) {
        return;
    }
    POINT at;
    if (!window || !GetCursorPos(&at) || WindowFromPoint(at) != window) {
        if (m_drag == kNoDrag) {
            ClearOutline();
        }
        return;
    }
    ScreenToClient(window, &at);
    // Only the mouse's own messages carry a stroke on: this comes from the
    // stroke's own edits too.
    Hover(window, at, false);
}

void COxelPreviewMouse::Stop(HWND window)
{
    if (m_drag == kEditDrag && m_stroking && m_tool) {
        Act([this] { m_tool->End(); });
    }
    Release(window);
    ClearOutline();
}

void COxelPreviewMouse::Release(HWND window)
{
    m_drag = kNoDrag;
    m_button = 0;
    m_tool = nullptr;
    m_stroking = false;
    if (GetCapture() == window) {
        ReleaseCapture();
    }
}

bool COxelPreviewMouse::Pick(HWND window, POINT at, GroundHit* hit) const
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    RECT client;
    if (!scene || !scene->m_camera || !m_editor.HasMap() || !GetClientRect(window, &client) || client.right <= 0 ||
        client.bottom <= 0) {
        return false;
    }
    D3DXVECTOR3 from;
    D3DXVECTOR3 to;
    // Through the middle of the pixel.
    scene->m_camera->PixelRay(at.x + 0.5f, at.y + 0.5f, static_cast<float>(client.right),
                              static_cast<float>(client.bottom), &from, &to);
    return PickGround(*m_editor.m_terrain, from, to, scene->m_showInfinite != 0, hit);
}

COxelTool* COxelPreviewMouse::Tool(MapPoint::Kind* kind) const
{
    const int mode = m_editor.m_tools.m_previewEdit;
    *kind = mode == COxelPaintTools::kPreviewHeights ? MapPoint::kVertex : MapPoint::kCell;
    return mode == COxelPaintTools::kPreviewOff ? nullptr : &m_editor.PreviewTool(mode);
}

MapPoint COxelPreviewMouse::PointOf(const GroundHit& hit, MapPoint::Kind kind) const
{
    if (kind == MapPoint::kVertex) {
        return MapPoint{kind, GridPoint{hit.vertexColumn, hit.vertexRow}};
    }
    return MapPoint{kind, GridPoint{hit.cellColumn, hit.cellRow}};
}

GridPoint COxelPreviewMouse::WorldPointOf(const GroundHit& hit, MapPoint::Kind kind) const
{
    if (kind == MapPoint::kVertex) {
        return GridPoint{static_cast<int>(std::lround(hit.point.x)), static_cast<int>(std::lround(hit.point.z))};
    }
    return GridPoint{hit.tileX * m_editor.m_mapWidth + hit.cellColumn, hit.tileZ * m_editor.m_mapHeight + hit.cellRow};
}

void COxelPreviewMouse::Hover(HWND window, POINT at, bool strokes)
{
    GroundHit hit;
    if (!Pick(window, at, &hit)) {
        ClearOutline();
        return;
    }
    MapPoint::Kind kind;
    COxelTool* tool = Tool(&kind);
    if (strokes && m_drag == kEditDrag && m_stroking && m_tool) {
        ContinueStroke(hit);
    }
    // The cursor stands on the copy the pointer is over, not on the map itself.
    const GridPoint world = WorldPointOf(hit, kind);
    m_editor.PlaceCursor(world.column, world.row);
    m_editor.ShowStatus((tool ? *tool : m_editor.ActiveTool(kind)).StatusText(PointOf(hit, kind)));
    if (tool) {
        ShowOutline(hit, kind);
    } else {
        ClearOutline();
    }
}

void COxelPreviewMouse::ShowOutline(const GroundHit& hit, MapPoint::Kind kind)
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    if (!scene) {
        return;
    }
    COxelD3DTerrainChipManager& map = *m_editor.m_terrain;
    const int width = m_editor.m_mapWidth;
    const int height = m_editor.m_mapHeight;
    const auto ground = [&](float x, float z) {
        const double y = map.GetHeight(WrapIndex(static_cast<int>(std::lround(x)), width),
                                       WrapIndex(static_cast<int>(std::lround(z)), height));
        return D3DXVECTOR3(x, static_cast<float>(y) + kOutlineLift, z);
    };
    // A fill reaches a region, not the brush: its outline is the cell clicked.
    const bool fills = kind == MapPoint::kCell && m_editor.m_tools.m_fill && !m_right;
    const int size = fills ? 1 : m_editor.m_tools.m_brushSize;
    const int first = -(size / 2);
    // The brush's first corner on the copy under the pointer.
    const GridPoint world = WorldPointOf(hit, kind);
    const float x0 = static_cast<float>(world.column + first);
    const float z0 = static_cast<float>(world.row + first);
    // Cells span size units; vertices sit size - 1 units apart.
    const int span = kind == MapPoint::kVertex ? size - 1 : size;
    std::vector<D3DXVECTOR3>& lines = scene->m_brushOutline;
    lines.clear();
    // The edge of the brush along the ground, one piece per cell side.
    for (int step = 0; step < span; ++step) {
        const float a = static_cast<float>(step);
        const float b = a + 1.0f;
        const float across = static_cast<float>(span);
        const D3DXVECTOR3 pieces[4][2] = {
            {ground(x0 + a, z0), ground(x0 + b, z0)},
            {ground(x0 + a, z0 + across), ground(x0 + b, z0 + across)},
            {ground(x0, z0 + a), ground(x0, z0 + b)},
            {ground(x0 + across, z0 + a), ground(x0 + across, z0 + b)},
        };
        for (const auto& piece : pieces) {
            lines.push_back(piece[0]);
            lines.push_back(piece[1]);
        }
    }
    if (kind != MapPoint::kVertex) {
        return;
    }
    // A cross on every vertex the brush moves, its arms along the cells' edges,
    // which the ground follows straight from vertex to vertex.
    const auto towards = [&](const D3DXVECTOR3& from, float dx, float dz) {
        const D3DXVECTOR3 to = ground(from.x + dx, from.z + dz);
        return from + (to - from) * kCrossArm;
    };
    for (int dz = 0; dz < size; ++dz) {
        for (int dx = 0; dx < size; ++dx) {
            const D3DXVECTOR3 centre = ground(x0 + dx, z0 + dz);
            lines.push_back(towards(centre, -1.0f, 0.0f));
            lines.push_back(towards(centre, 1.0f, 0.0f));
            lines.push_back(towards(centre, 0.0f, -1.0f));
            lines.push_back(towards(centre, 0.0f, 1.0f));
        }
    }
}

void COxelPreviewMouse::ClearOutline()
{
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        scene->m_brushOutline.clear();
    }
}

void COxelPreviewMouse::BeginCameraDrag(HWND window, Drag drag, POINT at)
{
    m_drag = drag;
    m_button = drag == kPanDrag ? WM_MBUTTONDOWN : WM_RBUTTONDOWN;
    m_last = at;
    SetCapture(window);
}

void COxelPreviewMouse::MoveCamera(HWND window, POINT at)
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    const float dx = static_cast<float>(at.x - m_last.x);
    const float dy = static_cast<float>(at.y - m_last.y);
    m_last = at;
    if (!scene || !scene->m_camera || (dx == 0.0f && dy == 0.0f)) {
        return;
    }
    COxelD3DCameraBase& camera = *scene->m_camera;
    if (m_drag == kTurnDrag) {
        camera.Turn(dx * kTurnPerPixel, -dy * kTurnPerPixel);
        return;
    }
    // The ground at the view's target follows the pointer: a pixel is as many
    // units as the view spans there over the height of the window.
    RECT client = {0, 0, 1, 1};
    GetClientRect(window, &client);
    const D3DXVECTOR3 direction = camera.ViewDirection();
    const float span = COxelD3DCameraBase::ViewSpanAt(D3DXVec3Length(&direction));
    const float perPixel = span / static_cast<float>(client.bottom > 0 ? client.bottom : 1);
    camera.Pan(-dx * perPixel, dy * perPixel);
}

void COxelPreviewMouse::BeginEdit(HWND window, POINT at, bool right)
{
    GroundHit hit;
    MapPoint::Kind kind;
    COxelTool* tool = Tool(&kind);
    if (!tool || !Pick(window, at, &hit)) {
        return;
    }
    m_drag = kEditDrag;
    m_button = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    m_tool = tool;
    m_kind = kind;
    m_right = right;
    m_press = PointOf(hit, kind);
    m_mapCount = m_editor.m_newMapCount;
    m_stroking = tool->Strokes(right);
    SetCapture(window);
    if (m_stroking) {
        m_reached.assign(static_cast<size_t>(m_editor.m_mapWidth) * m_editor.m_mapHeight, 0);
        m_reached[m_press.at.row * m_editor.m_mapWidth + m_press.at.column] = 1;
        m_lastGround = hit.point;
        Act([&] {
            tool->Begin(m_press, right);
            tool->Reach({m_press.at});
        });
    }
}

void COxelPreviewMouse::ContinueStroke(const GroundHit& hit)
{
    const int width = m_editor.m_mapWidth;
    const int height = m_editor.m_mapHeight;
    if (m_reached.size() != static_cast<size_t>(width) * height) {
        return;
    }
    const auto pointAt = [&](const D3DXVECTOR3& p) {
        if (m_kind == MapPoint::kVertex) {
            return GridPoint{WrapIndex(static_cast<int>(std::lround(p.x)), width),
                             WrapIndex(static_cast<int>(std::lround(p.z)), height)};
        }
        return GridPoint{WrapIndex(static_cast<int>(std::floor(p.x)), width),
                         WrapIndex(static_cast<int>(std::floor(p.z)), height)};
    };
    std::vector<GridPoint> points;
    const auto reach = [&](GridPoint point) {
        char& reached = m_reached[point.row * width + point.column];
        if (!reached) {
            reached = 1;
            points.push_back(point);
        }
    };
    const D3DXVECTOR3 path = hit.point - m_lastGround;
    const float length = std::sqrt(path.x * path.x + path.z * path.z);
    if (length <= kLongestStep) {
        const int samples = static_cast<int>(std::ceil(length / kStrokeSample));
        for (int k = 1; k < samples; ++k) {
            reach(pointAt(m_lastGround + path * (static_cast<float>(k) / samples)));
        }
    }
    reach(PointOf(hit, m_kind).at);
    m_lastGround = hit.point;
    if (!points.empty()) {
        Act([&] { m_tool->Reach(points); });
    }
}

void COxelPreviewMouse::EndEdit(HWND window, POINT at)
{
    COxelTool* tool = m_tool;
    const bool stroking = m_stroking;
    const MapPoint press = m_press;
    const bool right = m_right;
    GroundHit hit;
    if (stroking) {
        if (Pick(window, at, &hit)) {
            ContinueStroke(hit);
        }
        Release(window);
        Act([tool] { tool->End(); });
        return;
    }
    Release(window);
    // A new map between press and release leaves nothing to click.
    if (m_mapCount == m_editor.m_newMapCount && Pick(window, at, &hit) &&
        PointOf(hit, press.kind).at == press.at) {
        Act([&] { tool->Click(press, right); });
    }
}
