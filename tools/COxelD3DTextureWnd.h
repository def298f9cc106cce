#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The map-chip atlas at a quarter of its size, with the picked chip framed in
// red. A left click picks the chip that the texture mapping and map edit
// windows then paint with. An atlas with terrains has them in a strip to the
// right, where a click picks the terrain the terrain brush paints.
class COxelD3DTextureWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DTextureWnd();
    ~COxelD3DTextureWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // Fits the window to the atlas size and repaints.
    void Refresh() override;

private:
    // The client size for the current atlas, with the strip of its terrains.
    static SIZE ClientSize();
    // The strip of terrains, drawn from the atlas selected into `atlasDC`.
    static void PaintTerrains(HDC hdc, HDC atlasDC);
};
