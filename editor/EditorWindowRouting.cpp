#include "editor/EditorWindowRouting.h"

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/FileDrop.h"
#include "editor/FileDropTarget.h"

namespace {

// The editor, when it holds `hwnd` as window `index`.
COxelD3DTerrainEditor* EditorOf(int index, HWND hwnd)
{
    // A window can outlive its editor (the editor goes with the terrain, the
    // windows with the preview): its messages must not make a new one.
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    return editor && editor->GetWindowHandle(index) == hwnd ? editor : nullptr;
}

bool IsRoutedMouseMessage(unsigned routes, UINT message)
{
    if (routes & kRouteAllMouse &&
        ((message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_CAPTURECHANGED)) {
        return true;
    }
    if (routes & kRouteMouseActivate && message == WM_MOUSEACTIVATE) {
        return true;
    }
    return routes & kRouteMouseButtons && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                                           message == WM_RBUTTONDOWN || message == WM_RBUTTONUP);
}

// A window the view menu opens is hidden when closed, to be opened again.
bool HideOnClose(COxelD3DTerrainEditor* editor, int index, HWND hwnd)
{
    if (!editor || COxelD3DTerrainEditor::IsManagedWindow(index)) {
        return false;
    }
    ShowWindow(hwnd, SW_HIDE);
    return true;
}

// Closing any other editor window ends the program, after the layout is saved.
void EndRun(COxelD3DTerrainEditor* editor)
{
    if (editor) {
        editor->SaveWindowLayout();
    }
    PostQuitMessage(0);
}

}  // namespace

LRESULT RouteEditorWindowMessage(int index, unsigned routes, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    COxelD3DTerrainEditor* editor = EditorOf(index, hwnd);
    if (IsRoutedMouseMessage(routes, message)) {
        if (editor && editor->DispatchMouse(index, message, LOWORD(lParam), HIWORD(lParam))) {
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
    case WM_CLOSE:
        if (HideOnClose(editor, index, hwnd)) {
            return 0;
        }
        // Closing the window ends the run: not without asking about unsaved changes.
        if (editor && !editor->ConfirmDiscard()) {
            return 0;
        }
        break;
    case WM_DESTROY:
        FileDropTarget::Revoke(hwnd);
        EndRun(editor);
        return 0;
    case WM_PAINT:
        if (!editor) {
            break;
        }
        editor->PaintWindow(index);
        return 0;
    case WM_KEYDOWN:
        if (routes & kRouteKeysToCamera && g_application) {
            g_application->OnKeyDown(wParam);
        }
        return 0;
    case WM_COMMAND:
        if (editor) {
            editor->DispatchCommand(index, LOWORD(wParam));
        }
        break;
    case WM_DROPFILES:
        OpenDroppedFiles(editor, index, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!(routes & kRouteScrollAndSize)) {
            break;
        }
        if (editor) {
            editor->DispatchScroll(index, lParam, LOWORD(wParam), HIWORD(wParam), message == WM_VSCROLL);
        }
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if (!(routes & kRouteWheel)) {
            break;
        }
        if (editor && message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL)) {
            // Ctrl+wheel zooms, as in every Windows view; the wheel's point is on the screen.
            POINT anchor = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ScreenToClient(hwnd, &anchor);
            editor->DispatchZoom(index, GET_WHEEL_DELTA_WPARAM(wParam), anchor);
        } else if (editor) {
            editor->DispatchWheel(index, message == WM_MOUSEHWHEEL, GET_WHEEL_DELTA_WPARAM(wParam),
                                  (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
        }
        return 0;
    case WM_SIZE:
        if (!(routes & kRouteScrollAndSize)) {
            break;
        }
        if (editor) {
            editor->DispatchSize(index, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        }
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

INT_PTR RouteEditorDialogMessage(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    COxelD3DTerrainEditor* editor = EditorOf(index, hwnd);
    switch (message) {
    case WM_DESTROY:
        FileDropTarget::Revoke(hwnd);
        EndRun(editor);
        return FALSE;
    case WM_PAINT:
        if (!editor) {
            return FALSE;
        }
        editor->PaintWindow(index);
        return TRUE;
    case WM_CLOSE:
        if (HideOnClose(editor, index, hwnd)) {
            return TRUE;
        }
        if (editor && !editor->ConfirmDiscard()) {
            return TRUE;
        }
        DestroyWindow(hwnd);
        return TRUE;
    case WM_NOTIFY:
        if (editor) {
            editor->DispatchNotify(index, wParam, lParam);
        }
        return TRUE;
    case WM_DROPFILES:
        OpenDroppedFiles(editor, index, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_COMMAND:
        if (editor) {
            editor->DispatchCommand(index, LOWORD(wParam));
        }
        return TRUE;
    case WM_HSCROLL:
        if (editor) {
            editor->DispatchScroll(index, lParam, LOWORD(wParam), HIWORD(wParam), 0);
        }
        return FALSE;
    default:
        return FALSE;
    }
}
