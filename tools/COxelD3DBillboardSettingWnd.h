#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The billboard dialog: lists the chip manager's billboards, adds and deletes
// them, loads the picked billboard's image and switches its repeat-image flag.
// A billboard is picked by clicking its entry; entry i names billboard i.
class COxelD3DBillboardSettingWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DBillboardSettingWnd();
    ~COxelD3DBillboardSettingWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // An entry clicked in the list picks its billboard.
    void OnNotify(WPARAM wParam, LPARAM lParam) override;
    // Lists the billboards the map has now, none picked: a new or loaded map
    // brings its own.
    void Refresh() override;
    // Keeps the list in step with the billboards after every step, undo and redo.
    void OnMapChanged(const MapChange& change) override;

    // The billboard the user picked in the list for the billboard tool and
    // "全セルから外す"; -1 until one is picked after the list was filled.
    int PickedBillboard() const;

    HWND m_billboardList;
    int m_selectedBillboard;

private:
    // Lists billboard `id` at position id, named `label` or after its id.
    void AddEntry(int id, const char* label = nullptr);
    // The controls that work on the picked billboard.
    void EnableBillboardControls(bool enabled);
    // Shows the picked billboard's repeat flag in its box.
    void ShowSelectedBillboard();
};
