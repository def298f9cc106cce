#include "editor/COxelD3DTerrainEditorChildWndBase.h"

COxelD3DTerrainEditorChildWndBase::COxelD3DTerrainEditorChildWndBase() : m_hWnd(nullptr)
{
}

COxelD3DTerrainEditorChildWndBase::~COxelD3DTerrainEditorChildWndBase()
{
}

void COxelD3DTerrainEditorChildWndBase::OnNotify(WPARAM, LPARAM)
{
}

void COxelD3DTerrainEditorChildWndBase::OnSize(UINT, int, int)
{
}

void COxelD3DTerrainEditorChildWndBase::OnMapChanged(const MapChange&)
{
}

void COxelD3DTerrainEditorChildWndBase::Show()
{
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    UpdateWindow(m_hWnd);
}

void COxelD3DTerrainEditorChildWndBase::OnWheel(int, bool)
{
}

void COxelD3DTerrainEditorChildWndBase::OnZoom(int, POINT)
{
}

void COxelD3DTerrainEditorChildWndBase::Redraw()
{
    InvalidateRect(m_hWnd, nullptr, FALSE);
    UpdateWindow(m_hWnd);
}

void COxelD3DTerrainEditorChildWndBase::MoveTo(int x, int y)
{
    RECT rect;
    if (!GetWindowRect(m_hWnd, &rect)) {
        return;
    }
    MoveWindow(m_hWnd, x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

SIZE COxelD3DTerrainEditorChildWndBase::OuterSize(int width, int height, DWORD style, DWORD exStyle, bool hasMenu)
{
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void COxelD3DTerrainEditorChildWndBase::FitClientArea(int width, int height)
{
    RECT rect;
    if (!GetWindowRect(m_hWnd, &rect)) {
        return;
    }
    const SIZE outer = OuterSize(width, height, static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)),
                                 static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)), GetMenu(m_hWnd) != nullptr);
    MoveWindow(m_hWnd, rect.left, rect.top, outer.cx, outer.cy, TRUE);
}

void COxelD3DTerrainEditorChildWndBase::RegisterEditorClass(const char* className, WNDPROC procedure,
                                                            const char* menuName, const char* iconName)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HICON icon = iconName ? LoadIconA(instance, iconName) : LoadIconA(nullptr, IDI_APPLICATION);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = menuName;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
}

void COxelD3DTerrainEditorChildWndBase::CheckMenuCommand(int id, bool checked)
{
    CheckMenuItem(GetMenu(m_hWnd), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}
