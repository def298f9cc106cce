#include "tools/COxelD3DTextureWnd.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/GdiScope.h"
#include "io/TextEncoding.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <algorithm>

namespace {

const char kClassName[] = "Texture";
const DWORD kExStyle = WS_EX_TOOLWINDOW;
const int kScale = 4;
const int kChipOnScreen = 32;
const int kOpenTextureImage = 400;
// The terrains of an atlas that describes them, in a strip right of the chips:
// each its first chip and its name.
const int kStripWidth = 124;
const int kTerrainHeight = 28;
const int kTerrainThumb = 24;

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
    const SIZE chips = {terrain->m_chipImage.width / kScale, terrain->m_chipImage.height / kScale};
    const int terrains = COxelD3DTerrainEditor::ExistingInstance()->m_terrains.Terrains().Count();
    if (terrains == 0) {
        return chips;
    }
    return SIZE{chips.cx + kStripWidth, std::max<LONG>(chips.cy, terrains * kTerrainHeight)};
}

void COxelD3DTextureWnd::PaintTerrains(HDC hdc, HDC atlasDC)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    const COxelD3DTerrainChipManager* terrain = Terrain();
    const TerrainSet& set = editor->m_terrains.Terrains();
    if (set.Empty()) {
        return;
    }
    const int left = terrain->m_chipImage.width / kScale;
    const SIZE client = ClientSize();
    RECT strip = {left, 0, client.cx, client.cy};
    FillRect(hdc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    ScopedSelection font(hdc, GetStockObject(DEFAULT_GUI_FONT));
    const int columns = terrain->m_chipColumns;
    for (int k = 0; k < set.Count(); ++k) {
        const int top = k * kTerrainHeight;
        const int chip = set.m_terrains[k].chips.front();
        const int pad = (kTerrainHeight - kTerrainThumb) / 2;
        StretchBlt(hdc, left + pad, top + pad, kTerrainThumb, kTerrainThumb, atlasDC, kChipSize * (chip % columns),
                   kChipSize * (chip / columns), kChipSize, kChipSize, SRCCOPY);
        RECT name = {left + kTerrainHeight + 2, top, client.cx - 2, top + kTerrainHeight};
        DrawTextW(hdc, WideFromUtf8(set.m_terrains[k].name).c_str(), -1, &name,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    // The picked terrain, red while the brush paints it.
    const bool painting = editor->m_terrains.BrushOn();
    ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, painting ? RGB(255, 0, 0) : GetSysColor(COLOR_GRAYTEXT)));
    ScopedSelection penSelection(hdc, pen.get());
    ScopedSelection brushSelection(hdc, GetStockObject(NULL_BRUSH));
    const int top = editor->m_terrains.Picked() * kTerrainHeight;
    Rectangle(hdc, left + 1, top + 1, client.cx - 1, top + kTerrainHeight - 1);
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
        PaintTerrains(hdc, source.get());
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
    // A press and a release over the same chip pick it; over the same terrain of the strip, that terrain.
    const int stripLeft = terrain->m_chipImage.width / kScale;
    const POINT chip = x < stripLeft ? POINT{x / kChipOnScreen, y / kChipOnScreen}
                                     : POINT{-2, y / kTerrainHeight};
    if (message == WM_LBUTTONDOWN) {
        g_pendingPress = chip;
    } else if (message == WM_LBUTTONUP && g_pendingPress.x == chip.x && g_pendingPress.y == chip.y) {
        g_pendingPress = POINT{-1, -1};
        if (chip.x == -2) {
            // Picking a terrain is choosing to paint with it.
            editor->m_terrains.Pick(chip.y);
            return 0;
        }
        if (y >= terrain->m_chipImage.height / kScale) {
            return 0;  // below the atlas, beside a long list of terrains
        }
        editor->m_selectedChip = chip.y * terrain->m_chipColumns + chip.x;
        // And picking a chip, to paint with the chip.
        if (editor->m_terrains.BrushOn()) {
            editor->m_terrains.SetBrush(false);
        }
        Redraw();
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
