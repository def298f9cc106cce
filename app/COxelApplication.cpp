#include "app/COxelApplication.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "app/WindowPlacement.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/FileDrop.h"
#include "editor/FileDropTarget.h"

namespace {

const char kClassName[] = "Quelmora";
const char kWindowTitle[] = "Preview";
const int kWindowWidth = 640;
const int kWindowHeight = 480;

}  // namespace

COxelApplication::COxelApplication(HINSTANCE hInstance, int showCommand)
    : m_showCommand(showCommand), m_hInstance(hInstance), m_hWnd(nullptr), m_msg()
{
}

COxelApplication::~COxelApplication()
{
    COxelSettingsFile::DestroyInstance();
    UnregisterClassA(kClassName, m_hInstance);
}

HWND COxelApplication::CreateMainWindow()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PreviewWndProc;
    windowClass.hInstance = m_hInstance;
    windowClass.hIcon = LoadIconA(m_hInstance, "IDI_SMALLICON");
    windowClass.hIconSm = LoadIconA(m_hInstance, "IDI_SMALLICON");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);

    POINT place = {0, 0};
    if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
        place = VisibleWindowPosition(settings->m_values[0], settings->m_values[1], kWindowWidth, kWindowHeight);
    }
    m_hWnd = CreateWindowExA(0, kClassName, kWindowTitle, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, place.x, place.y,
                             kWindowWidth, kWindowHeight, nullptr, nullptr, m_hInstance, nullptr);
    return m_hWnd;
}

int COxelApplication::Run()
{
    CreateMainWindow();
    ShowWindow(m_hWnd, m_showCommand);
    UpdateWindow(m_hWnd);
    while (m_msg.message != WM_QUIT) {
        if (GetMessageA(&m_msg, nullptr, 0, 0) <= 0) {
            break;
        }
        TranslateMessage(&m_msg);
        DispatchMessageA(&m_msg);
    }
    delete this;
    return 0;
}

void COxelApplication::OnKeyDown(WPARAM)
{
}

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
            // A map with unsaved changes is not closed without asking.
            if (!editor->ConfirmDiscard()) {
                return 0;
            }
            editor->SaveWindowLayout();
        }
        DestroyWindow(hwnd);
        return 0;
    case WM_QUERYENDSESSION:
        // Windows asks before it ends the session: the same question, and
        // Cancel keeps the session.
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
            return editor->ConfirmDiscard() ? TRUE : FALSE;
        }
        return TRUE;
    case WM_ENDSESSION:
        // The session ends and the program with it, without a WM_CLOSE.
        if (wParam) {
            if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
                editor->EndSession();
            }
        }
        return 0;
    case WM_DESTROY:
        FileDropTarget::Revoke(hwnd);
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (g_application) {
            g_application->OnKeyDown(wParam);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_MOUSELEAVE:
    case WM_CAPTURECHANGED:
    case WM_SYSCOMMAND:
        // The preview's mouse camera and editing; a left press does nothing else.
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance()) {
            if (editor->OnPreviewMouse(hwnd, message, wParam, lParam)) {
                return 0;
            }
        }
        if (message == WM_LBUTTONDOWN) {
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_DROPFILES:
        OpenDroppedFiles(COxelD3DTerrainEditor::ExistingInstance(), kPreviewDropTarget,
                         reinterpret_cast<HDROP>(wParam));
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
