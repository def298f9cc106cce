#pragma once

#include "terrain/GroundPick.h"
#include "tools/COxelTool.h"

#include <windows.h>

#include <vector>

class COxelD3DTerrainEditor;

// The preview's mouse. A right drag turns the view, a middle drag moves it
// sideways and up or down, the wheel moves it along the view; the ground
// under the pointer shows in the status bar and the cursor walls stand on it.
// With "プレビューで編集" on, the tools of "ツール(&T)" act on that ground as
// they act in the 2D windows (a press and a release over the same point is a
// click, a drag with "ドラッグで描く" a stroke, each one step of the history),
// and the brush's outline lies on it. The right button is then the tool's,
// and the view turns with Alt held.
class COxelPreviewMouse {
public:
    explicit COxelPreviewMouse(COxelD3DTerrainEditor& editor);

    // One message of the preview window `window`; true when it was used.
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The view or the ground moved under a pointer that did not: the readout,
    // the cursor and the outline follow, when the pointer is over the preview.
    void Follow(HWND window);
    // Ends the drag or stroke under way and takes the outline away: the mode
    // changed or the map is about to.
    void Stop(HWND window);

    // How far the view turns per pixel dragged, in radians, and moves per
    // notch of the wheel, in world units.
    static constexpr float kTurnPerPixel = 0.005f;
    static constexpr float kDollyPerNotch = 2.0f;

private:
    enum Drag { kNoDrag, kTurnDrag, kPanDrag, kEditDrag };

    // The ground under client point `at`.
    bool Pick(HWND window, POINT at, GroundHit* hit) const;
    // The tool "プレビューで編集" chooses and what it works on; null when off.
    COxelTool* Tool(MapPoint::Kind* kind) const;
    MapPoint PointOf(const GroundHit& hit, MapPoint::Kind kind) const;
    // The same point on the copy of the map the ground lies on: columns and
    // rows that go on past the map's edges.
    GridPoint WorldPointOf(const GroundHit& hit, MapPoint::Kind kind) const;
    // The readout, cursor and outline for the ground under `at`; without
    // ground, no outline. `strokes`: a stroke under way reaches that ground.
    void Hover(HWND window, POINT at, bool strokes = true);
    void ShowOutline(const GroundHit& hit, MapPoint::Kind kind);
    void ClearOutline();

    void BeginCameraDrag(HWND window, Drag drag, POINT at);
    void MoveCamera(HWND window, POINT at);
    void BeginEdit(HWND window, POINT at, bool right);
    void ContinueStroke(const GroundHit& hit);
    void EndEdit(HWND window, POINT at);
    // Lets go of the mouse without hearing of it as an interruption.
    void Release(HWND window);
    // Runs `action` of the tool, which changes the map: the message under
    // way follows the change, so Follow need not do it again.
    template <class Action>
    void Act(Action action)
    {
        m_acting = true;
        action();
        m_acting = false;
    }

    COxelD3DTerrainEditor& m_editor;
    Drag m_drag;
    // The button that holds the drag: WM_LBUTTONDOWN, WM_RBUTTONDOWN or WM_MBUTTONDOWN.
    UINT m_button;
    POINT m_last;
    bool m_tracking;
    // A turn with Alt held: the Alt key's release must not open the window's menu.
    bool m_altTurned;
    // A tool of the preview is changing the map.
    bool m_acting;
    // The edit under way: its tool, whether it strokes, where its press was
    // (a click is a release over the same point) and, for a stroke, the points
    // it has reached and the last ground it passed, in world units.
    COxelTool* m_tool;
    MapPoint::Kind m_kind;
    bool m_stroking;
    bool m_right;
    MapPoint m_press;
    unsigned m_mapCount;
    std::vector<char> m_reached;
    D3DXVECTOR3 m_lastGround;
};
