#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"

#include <windows.h>

// The modeless "Scene" dialog: a thumbnail of the sky with a button that loads
// a new sky image, the scene's planes listed with their heights (add, delete,
// and for the plane clicked in the list its height, image, tiling and
// visibility), and the fog's start and end distances. The list and the
// scene's planes always hold the same planes in the same order: list entry i
// is the plane with id i.
class COxelD3DSceneSettingWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DSceneSettingWnd();
    // Deletes the thumbnail.
    ~COxelD3DSceneSettingWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    // The plane height slider and the two fog sliders.
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // A click on a plane's entry shows that plane in the plane controls.
    void OnNotify(WPARAM wParam, LPARAM lParam) override;
    // Repaints the thumbnail.
    void Refresh() override;
    // Keeps the list, and the controls of the plane picked in it, in step with
    // the scene's planes after every step, undo and redo.
    void OnMapChanged(const MapChange& change) override;

    // Empties the scene's planes and the list, and disables the plane controls.
    void DeleteAllPlanes();
    void DeleteSelectedPlane();
    void ToggleSelectedPlaneVisible();

    HWND m_planeList;
    HWND m_heightBar;
    HWND m_fogStartBar;
    HWND m_fogEndBar;
    // List position of the plane the plane controls act on, which is also its id.
    int m_selectedPlane;
    SCROLLINFO m_heightBarInfo;
    SCROLLINFO m_fogStartBarInfo;
    SCROLLINFO m_fogEndBarInfo;
    // 160 x 80, owned.
    HBITMAP m_thumbnail;
    // Whether the height slider is between press and release: its moves then
    // join the step its first move made.
    bool m_heightSliding;

private:
    // The editor's AddPlane, for the load only.
    friend class COxelD3DTerrainEditor;

    // A new plane in the scene and its entry at the end of the list, without
    // a step; the selection and the plane controls stay as they are.
    void AddPlaneEntry();
    // Makes a horizontal slider over 0 .. maximum at `position`, 20 pixels high
    // at (x, y) in pixels of the dialog's design.
    HWND CreateSlider(int x, int y, int width, int maximum, int position, SCROLLINFO* info);
    void SetSliderPosition(HWND bar, SCROLLINFO* info, int position);
    void EnablePlaneControls(bool enabled);
    // Lists the plane with this id: its entry at position id, named `label`
    // (or after its id), with its height.
    void InsertPlaneEntry(int id, const char* label);
    // Shows the picked plane's height and flags in the plane controls.
    void ShowSelectedPlane();
    // Writes a height into column 1 of list entry `entry`.
    void ShowHeight(int entry, float height);
    void StepHeight(int code, int position);
    void StepFog(HWND bar, int code, int position);
    void RedrawThumbnail();
    // Shrinks `image` into the thumbnail.
    void DrawThumbnail(HBITMAP image);
    void LoadPlaneImage();
    void LoadBackgroundImage();
};
