#include "support/EditorSession.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "support/ProgramFiles.h"

#include <commctrl.h>

#include <cstdio>

EditorSession::EditorSession() : m_application(new COxelD3DApplication(GetModuleHandleA(nullptr), SW_HIDE))
{
    // The layout is read afresh, from whatever the test put beside the executable.
    COxelSettingsFile::DestroyInstance();
    COxelD3DTerrainEditor::DestroyInstance();
    g_application = m_application;
    m_application->CreateMainWindow();
    m_application->InitDirect3D(m_application->m_hWnd);
}

EditorSession::~EditorSession()
{
    HWND preview = m_application->m_hWnd;
    // The editor goes with the scene first, so the windows' destruction below
    // finds no editor that holds them and saves no layout.
    delete m_application;
    g_application = nullptr;
    DestroyWindow(preview);
    COxelD3DTerrainEditor::DestroyInstance();
    // Dispatched, not only removed: a paint message stays queued until a paint
    // has validated its window, and windows that earlier tests left without an
    // owner may need one.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    // The maps this session opened or saved are not the next one's recent files.
    const std::string settings = SettingsFilePath();
    char section[16];
    if (GetPrivateProfileSectionA("RecentFiles", section, sizeof section, settings.c_str()) > 0) {
        WritePrivateProfileStringA("RecentFiles", nullptr, nullptr, settings.c_str());
    }
}

bool EditorSession::ok() const
{
    return g_device && m_application->m_scene && window(kEditMenuWindow) && handle(kTextureMappingWindow);
}

bool EditorSession::okOrSaid() const
{
    if (ok()) {
        return true;
    }
    std::printf("no editor: the device or the windows could not be made\n");
    return false;
}

COxelD3DSceneBase& EditorSession::scene() const
{
    return *m_application->m_scene;
}

COxelD3DTerrainEditor& EditorSession::editor() const
{
    return *COxelD3DTerrainEditor::GetInstance();
}

COxelD3DTerrainChipManager& EditorSession::terrain() const
{
    return *editor().m_terrain;
}

COxelD3DTerrainEditorChildWndBase* EditorSession::window(int index) const
{
    return editor().m_windows[index];
}

HWND EditorSession::handle(int index) const
{
    return editor().GetWindowHandle(index);
}

void EditorSession::Click(int index, POINT down, POINT up, bool right) const
{
    const UINT press = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT release = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    SendMessageA(handle(index), press, right ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(down.x, down.y));
    SendMessageA(handle(index), release, 0, MAKELPARAM(up.x, up.y));
}

PaintedPicture::PaintedPicture(COxelD3DTerrainEditorChildWndBase* window, int width, int height)
{
    HDC screen = GetDC(nullptr);
    m_dc = CreateCompatibleDC(screen);
    m_bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    m_previous = SelectObject(m_dc, m_bitmap);
    const RECT all = {0, 0, width, height};
    FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    window->OnPaint(m_dc);
}

PaintedPicture::~PaintedPicture()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

unsigned PaintedPicture::Pixel(int x, int y) const
{
    const COLORREF colour = GetPixel(m_dc, x, y);
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

SIZE ClientSize(HWND hwnd)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    return SIZE{client.right, client.bottom};
}

std::vector<std::string> ListColumn(HWND list, int column)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int entry = 0; entry < count; ++entry) {
        char text[128] = {};
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, entry, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

void EditorSession::MakeVariedMap(int size, int planes, bool planesVisible) const
{
    COxelD3DTerrainEditor& mapEditor = editor();
    mapEditor.NewMap(size, size);
    COxelD3DTerrainChipManager& map = *mapEditor.m_terrain;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            map.SetHeight(column, row, (column * 7 + row * 3) % 33 * 0.5);
            map.SetMapChip(column, row, (column + 3 * row) % 32);
            map.SetMapChipRotation(column, row, (column + row) % 4);
        }
    }
    for (int i = 0; i < planes; ++i) {
        mapEditor.Perform(PlaneListStep::Adding(PlaneKind::kScenePlane));
        scene().FindPlane(i)->SetHeight(1.5f + i);
        if (planesVisible) {
            mapEditor.Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, i));
        }
    }
    // Made as a map is opened: nothing to undo.
    mapEditor.ForgetHistory();
}
