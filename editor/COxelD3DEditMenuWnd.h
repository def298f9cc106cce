#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The small window that carries the editor's main menu: new maps, files, the
// preview's display switches, the atlas image and the About box. Its client
// area has no height; it is all caption and menu.
class COxelD3DEditMenuWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DEditMenuWnd();
    ~COxelD3DEditMenuWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    void Refresh() override;

    // The map file last opened, which "上書き保存(&S)" writes to; empty for none.
    char m_fileName[MAX_PATH];

private:
    // Flips a switch that lives elsewhere and sets the item's mark from the
    // switch's new value, whatever the mark showed before.
    void Toggle(int id, int& flag);
};
