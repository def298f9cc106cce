#pragma once

#include <windows.h>

struct MapChange;

// An editor window. Its window procedure hands every message it routes to the
// terrain editor with the window's fixed index, and the editor calls the
// matching operation here. Derived classes own what they draw with; the window
// itself is an owned window of the preview and goes with it.
class COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DTerrainEditorChildWndBase();
    virtual ~COxelD3DTerrainEditorChildWndBase();

    // Called once by the editor's Initialize: registers the class (or loads the
    // dialog) and makes the window, hidden, at the system's default place.
    virtual void Create() = 0;
    // Called for WM_PAINT, inside a paint cycle already begun on `hdc`.
    virtual void OnPaint(HDC hdc) = 0;
    // Called for the mouse messages the window routes, in client coordinates;
    // nonzero means the message is consumed.
    virtual int OnMouse(UINT message, int x, int y) = 0;
    // Called for WM_COMMAND with the command or control id.
    virtual void OnCommand(int id) = 0;
    // Called for WM_HSCROLL (vertical 0) and WM_VSCROLL (vertical 1); `bar` is
    // the scroll-bar control's handle, or null for the window's own bars.
    virtual void OnScroll(LPARAM bar, int code, int position, int vertical) = 0;
    // Called for WM_MOUSEWHEEL (Shift held: `across`) and WM_MOUSEHWHEEL
    // (`across`, delta negated so that a tilt right is negative), in the windows
    // that route the wheel. The base does nothing.
    virtual void OnWheel(int delta, bool across);
    // Called for WM_MOUSEWHEEL with Ctrl held, in the windows that route the
    // wheel: larger squares for a positive delta, keeping what lies under
    // client point `anchor` there. The base does nothing.
    virtual void OnZoom(int delta, POINT anchor);
    // Called for WM_NOTIFY from the window's controls.
    virtual void OnNotify(WPARAM wParam, LPARAM lParam);
    // Called when the map, the atlas or the window's settings changed elsewhere:
    // re-read what the window shows and repaint.
    virtual void Refresh() = 0;
    // Called for WM_SIZE with the new client size.
    virtual void OnSize(UINT type, int width, int height);
    // Called after a step was done, undone or redone, whichever window made
    // it: show what `change` names, repainting no more than that. The base
    // does nothing.
    virtual void OnMapChanged(const MapChange& change);

    // Shows the window without taking the focus from the window that has it.
    void Show();
    // Repaints the whole client area now.
    void Redraw();
    // Moves the window's top-left corner to (x, y), keeping its size.
    void MoveTo(int x, int y);

    HWND m_hWnd;

protected:
    // Registers a window class as the editor's windows have them: redrawn when
    // resized, arrow cursor, white background; the system's application icon
    // unless `iconName` names one of the program's icons.
    static void RegisterEditorClass(const char* className, WNDPROC procedure, const char* menuName = nullptr,
                                    const char* iconName = nullptr);
    // Sets or clears the check mark of menu item `id` in the window's menu.
    void CheckMenuCommand(int id, bool checked);
    // The outer size of a window of this style whose client area is width x height.
    static SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, bool hasMenu);
    // Resizes the window, keeping its top-left corner, to a client area of
    // width x height, and repaints it.
    void FitClientArea(int width, int height);

private:
    COxelD3DTerrainEditorChildWndBase(const COxelD3DTerrainEditorChildWndBase&) = delete;
    COxelD3DTerrainEditorChildWndBase& operator=(const COxelD3DTerrainEditorChildWndBase&) = delete;
};
