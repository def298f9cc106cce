#include "tools/COxelD3DTextureWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "terrain/COxelD3DTerrainChipManager.h"

namespace {

const char kClassName[] = "Texture";
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kScale = 4;
const int kChipOnScreen = 32;
const int kOpenTextureImage = 400;

POINT g_pendingPress = {-1, -1};

LRESULT CALLBACK TextureWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kTextureWindow, kRouteMouseButtons, hwnd, message, wParam, lParam);
}

COxelD3DTerrainChipManager* Terrain()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    return editor ? editor->m_terrain : nullptr;
}

}  // namespace

COxelD3DTextureWnd::COxelD3DTextureWnd()
{
}

COxelD3DTextureWnd::~COxelD3DTextureWnd()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

SIZE COxelD3DTextureWnd::ClientSize()
{
    const COxelD3DTerrainChipManager* terrain = Terrain();
    if (!terrain) {
        return SIZE{0, 0};
    }
    return SIZE{terrain->m_chipImage.width / kScale, terrain->m_chipImage.height / kScale};
}

void COxelD3DTextureWnd::Create()
{
    RegisterEditorClass(kClassName, TextureWndProc);
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    const SIZE client = ClientSize();
    const SIZE outer = OuterSize(client.cx, client.cy, WS_CAPTION | WS_SYSMENU, kExStyle, false);
    // A top-level window gets a caption without asking for one.
    m_hWnd = CreateWindowExA(kExStyle, kClassName, kClassName, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                             outer.cy, COxelD3DTerrainEditor::PreviewWindow(), nullptr, instance, nullptr);
}

void COxelD3DTextureWnd::OnPaint(HDC hdc)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const COxelD3DTerrainChipManager* terrain = Terrain();
    if (!terrain || !terrain->m_chipImage.loaded) {
        return;
    }
    const ChipImageInfo& atlas = terrain->m_chipImage;
    {
        ScopedMemoryDC source(hdc);
        ScopedSelection atlasSelection(source.get(), atlas.hBitmap);
        SetStretchBltMode(hdc, HALFTONE);
        StretchBlt(hdc, 0, 0, atlas.width / kScale, atlas.height / kScale, source.get(), 0, 0, atlas.width,
                   atlas.height, SRCCOPY);
    }
    // An atlas without a whole chip column has no chip to frame.
    const int columns = terrain->m_chipColumns;
    if (columns <= 0) {
        return;
    }
    const int chip = editor->m_selectedChip;
    ScopedGdiObject<HPEN> red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    ScopedSelection penSelection(hdc, red.get());
    ScopedSelection brushSelection(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, kChipOnScreen * (chip % columns), kChipOnScreen * (chip / columns),
              kChipOnScreen * (chip % columns + 1), kChipOnScreen * (chip / columns + 1));
}

int COxelD3DTextureWnd::OnMouse(UINT message, int x, int y)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const COxelD3DTerrainChipManager* terrain = Terrain();
    if (!terrain || terrain->m_chipColumns <= 0) {
        return 0;
    }
    const POINT chip = {x / kChipOnScreen, y / kChipOnScreen};
    if (message == WM_LBUTTONDOWN) {
        g_pendingPress = chip;
    } else if (message == WM_LBUTTONUP && g_pendingPress.x == chip.x && g_pendingPress.y == chip.y) {
        editor->m_selectedChip = chip.y * terrain->m_chipColumns + chip.x;
        Redraw();
        g_pendingPress = POINT{-1, -1};
    }
    return 0;
}

void COxelD3DTextureWnd::OnCommand(int id)
{
    if (id != kOpenTextureImage) {
        return;
    }
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->OpenTextureImage(nullptr);
    }
}

void COxelD3DTextureWnd::OnScroll(LPARAM, int, int, int)
{
}

void COxelD3DTextureWnd::Refresh()
{
    const SIZE client = ClientSize();
    FitClientArea(client.cx, client.cy);
    Redraw();
}
