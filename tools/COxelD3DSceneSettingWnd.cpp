#include "tools/COxelD3DSceneSettingWnd.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/FileDialog.h"
#include "editor/GdiScope.h"
#include "editor/PlaneImageStep.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "scene/COxelD3DSceneBackgroundSphere.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "tools/DialogLayout.h"
#include "tools/EntryList.h"

#include <commctrl.h>
#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

const int kDialogResource = 102;

enum Control {
    kSliderId = 1,
    kPlaneListId = 2,
    kAddPlane = 1000,
    kLoadPlaneImage = 1001,
    kLoadBackground = 1003,
    kVisible = 1004,
    kDeletePlane = 40007,
    kRepeatImage = 40010,
};

const int kThumbnailLeft = 18;
const int kThumbnailTop = 18;
const int kThumbnailWidth = 160;
const int kThumbnailHeight = 80;

// Height slider: position p is the height p * 0.5, 0 .. 16. Stepping stops one
// short of the end; only the thumb reaches 16.
const int kHeightPositions = 32;
const int kHighestHeightStep = 31;
const float kHeightPerPosition = 0.5f;
const int kStartHeightPosition = 5;

// Fog sliders: position p is p world units from the camera. The range reaches
// past the camera's far plane (50), so the fog can be pushed out of sight.
const int kFogPositions = 64;
const int kFogPageStep = 5;

INT_PTR CALLBACK SceneSettingDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorDialogMessage(kSceneSettingWindow, hwnd, message, wParam, lParam);
}

COxelD3DTerrainPlane* FindPlane(int id)
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    return scene ? scene->FindPlane(id) : nullptr;
}

int PlaneCount()
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    return scene ? static_cast<int>(scene->m_planes.size()) : 0;
}

// Whether Direct3D can read the image file; asked before an old image is let go.
bool IsReadableImage(const char* path)
{
    D3DXIMAGE_INFO info;
    return SUCCEEDED(D3DXGetImageInfoFromFileA(path, &info));
}

void ReportUnreadableImage()
{
    MessageBoxA(nullptr, Text(IDS_FILE_NOT_OPENED), "Error", MB_OK | MB_TASKMODAL);
}

}  // namespace

COxelD3DSceneSettingWnd::COxelD3DSceneSettingWnd()
    : m_planeList(nullptr),
      m_heightBar(nullptr),
      m_fogStartBar(nullptr),
      m_fogEndBar(nullptr),
      m_selectedPlane(0),
      m_heightBarInfo(),
      m_fogStartBarInfo(),
      m_fogEndBarInfo(),
      m_thumbnail(nullptr),
      m_heightSliding(false)
{
}

COxelD3DSceneSettingWnd::~COxelD3DSceneSettingWnd()
{
    if (m_thumbnail) {
        DeleteObject(m_thumbnail);
    }
}

void COxelD3DSceneSettingWnd::Create()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    m_hWnd = CreateDialogIndirectParamA(instance, ProgramDialog(kDialogResource),
                                        COxelD3DTerrainEditor::PreviewWindow(), SceneSettingDlgProc, 0);
    if (!m_hWnd) {
        return;
    }

    {
        ScopedWindowDC window(m_hWnd);
        m_thumbnail = CreateCompatibleBitmap(window.get(), kThumbnailWidth, kThumbnailHeight);
    }
    ScopedGdiObject<HBITMAP> sky(
        static_cast<HBITMAP>(LoadImageA(instance, "IDB_BACKGROUND", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (sky.get()) {
        DrawThumbnail(sky.get());
    }

    m_heightBar = CreateSlider(15, 170, 250, kHeightPositions, kStartHeightPosition, &m_heightBarInfo);
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    const int fogStart = scene ? static_cast<int>(std::lround(scene->m_fogStart)) : 0;
    const int fogEnd = scene ? static_cast<int>(std::lround(scene->m_fogEnd)) : kFogPositions;
    m_fogStartBar = CreateSlider(30, 455, 225, kFogPositions, fogStart, &m_fogStartBarInfo);
    m_fogEndBar = CreateSlider(30, 505, 225, kFogPositions, fogEnd, &m_fogEndBarInfo);
    EnablePlaneControls(false);

    m_selectedPlane = 0;
    // Wide enough for "15.500000", the highest plane, with both columns inside the list.
    const EntryColumn columns[] = {{Text(IDS_COLUMN_NAME), 176}, {Text(IDS_COLUMN_HEIGHT), 66}};
    m_planeList = CreateEntryList(m_hWnd, kPlaneListId, 10, 215, 260, 160, columns, 2);
}

HWND COxelD3DSceneSettingWnd::CreateSlider(int x, int y, int width, int maximum, int position, SCROLLINFO* info)
{
    const DialogBox place = DesignedPlace(m_hWnd, x, y, width, 20);
    HWND bar = CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, place.x, place.y,
                               place.width, place.height, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSliderId)),
                               GetModuleHandleA(nullptr), nullptr);
    *info = SCROLLINFO();
    info->cbSize = sizeof *info;
    info->fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info->nMin = 0;
    info->nMax = maximum;
    info->nPage = 1;
    info->nPos = position;
    SetScrollInfo(bar, SB_CTL, info, TRUE);
    return bar;
}

void COxelD3DSceneSettingWnd::SetSliderPosition(HWND bar, SCROLLINFO* info, int position)
{
    info->nPos = position;
    info->fMask = SIF_POS;
    SetScrollInfo(bar, SB_CTL, info, TRUE);
}

void COxelD3DSceneSettingWnd::EnablePlaneControls(bool enabled)
{
    EnableWindow(GetDlgItem(m_hWnd, kVisible), enabled);
    EnableWindow(GetDlgItem(m_hWnd, kRepeatImage), enabled);
    EnableWindow(GetDlgItem(m_hWnd, kLoadPlaneImage), enabled);
    EnableWindow(m_heightBar, enabled);
}

void COxelD3DSceneSettingWnd::OnPaint(HDC hdc)
{
    if (!m_thumbnail) {
        return;
    }
    ScopedMemoryDC source(hdc);
    ScopedSelection selection(source.get(), m_thumbnail);
    BitBlt(hdc, kThumbnailLeft, kThumbnailTop, kThumbnailWidth, kThumbnailHeight, source.get(), 0, 0, SRCCOPY);
}

int COxelD3DSceneSettingWnd::OnMouse(UINT, int, int)
{
    return 0;
}

void COxelD3DSceneSettingWnd::OnCommand(int id)
{
    switch (id) {
    case kAddPlane:
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
            AddListedPlane(*editor, PlaneKind::kScenePlane);
        }
        break;
    case kDeletePlane:
        DeleteSelectedPlane();
        break;
    case kLoadPlaneImage:
        LoadPlaneImage();
        break;
    case kRepeatImage:
        if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
            editor->Perform(PlaneSettingStep::FlipRepeat(PlaneKind::kScenePlane, m_selectedPlane));
        }
        break;
    case kVisible:
        ToggleSelectedPlaneVisible();
        break;
    case kLoadBackground:
        LoadBackgroundImage();
        break;
    }
}

void COxelD3DSceneSettingWnd::OnScroll(LPARAM bar, int code, int position, int)
{
    HWND control = reinterpret_cast<HWND>(bar);
    if (!control) {
        return;
    }
    if (control == m_heightBar) {
        StepHeight(code, position);
    } else if (control == m_fogStartBar || control == m_fogEndBar) {
        StepFog(control, code, position);
    }
}

void COxelD3DSceneSettingWnd::StepHeight(int code, int position)
{
    int p = m_heightBarInfo.nPos;
    switch (code) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
    case SB_LEFT:
        if (p > 0) {
            --p;
        }
        break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
    case SB_RIGHT:
        if (p < kHighestHeightStep) {
            ++p;
        }
        break;
    case SB_THUMBPOSITION:
        p = std::clamp(position, 0, kHeightPositions);
        break;
    case SB_ENDSCROLL:
        // Released: the next press starts a step of its own.
        m_heightSliding = false;
        return;
    default:
        // Dragging changes the plane once, when the thumb is let go.
        return;
    }
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!FindPlane(m_selectedPlane) || !editor) {
        return;
    }
    // Applied even when p did not move, so the text always shows the plane's height.
    const float height = p * kHeightPerPosition;
    SetSliderPosition(m_heightBar, &m_heightBarInfo, p);
    // Every move from press to release is one step.
    editor->Perform(PlaneSettingStep::Height(PlaneKind::kScenePlane, m_selectedPlane, height), m_heightSliding);
    m_heightSliding = true;
    ShowHeight(m_selectedPlane, height);
}

void COxelD3DSceneSettingWnd::StepFog(HWND bar, int code, int position)
{
    const bool isStart = bar == m_fogStartBar;
    SCROLLINFO* info = isStart ? &m_fogStartBarInfo : &m_fogEndBarInfo;
    int p = info->nPos;
    switch (code) {
    case SB_LINELEFT:
        p -= 1;
        break;
    case SB_LINERIGHT:
        p += 1;
        break;
    case SB_PAGELEFT:
        p -= kFogPageStep;
        break;
    case SB_PAGERIGHT:
        p += kFogPageStep;
        break;
    case SB_LEFT:
        p = 0;
        break;
    case SB_RIGHT:
        p = kFogPositions;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        p = position;
        break;
    default:
        return;
    }
    // The fog starts at least one unit before it ends: at equal distances the
    // linear fog has no slope.
    if (isStart) {
        p = std::clamp(p, 0, m_fogEndBarInfo.nPos - 1);
    } else {
        p = std::clamp(p, m_fogStartBarInfo.nPos + 1, kFogPositions);
    }
    SetSliderPosition(bar, info, p);
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        (isStart ? scene->m_fogStart : scene->m_fogEnd) = static_cast<float>(p);
    }
}

void COxelD3DSceneSettingWnd::OnNotify(WPARAM, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != kPlaneListId || header->code != LVN_ITEMACTIVATE) {
        return;
    }
    const int selected = SelectedEntry(m_planeList);
    COxelD3DTerrainPlane* plane = FindPlane(selected);
    if (!plane) {
        return;
    }
    EnablePlaneControls(true);
    m_selectedPlane = selected;
    ShowSelectedPlane();
}

void COxelD3DSceneSettingWnd::ShowSelectedPlane()
{
    COxelD3DTerrainPlane* plane = FindPlane(m_selectedPlane);
    if (!plane) {
        return;
    }
    // A height between two steps (a map file may hold any) shows at the step
    // below; one outside 0 .. 16 at the nearer end.
    const float height = std::clamp(plane->m_y, 0.0f, kHeightPositions * kHeightPerPosition);
    SetSliderPosition(m_heightBar, &m_heightBarInfo, static_cast<int>(height / kHeightPerPosition));
    CheckDlgButton(m_hWnd, kRepeatImage, plane->m_repeat ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, kVisible, plane->m_visible ? BST_CHECKED : BST_UNCHECKED);
}

void COxelD3DSceneSettingWnd::OnMapChanged(const MapChange& change)
{
    switch (change.kind) {
    case MapChange::kPlaneInserted:
        InsertPlaneEntry(change.index, change.label);
        m_selectedPlane = PickAfterListChange(m_selectedPlane, change.index, true);
        break;
    case MapChange::kPlaneRemoved:
        SendMessageA(m_planeList, LVM_DELETEITEM, change.index, 0);
        if (change.index == m_selectedPlane) {
            EnablePlaneControls(false);
        }
        m_selectedPlane = PickAfterListChange(m_selectedPlane, change.index, false);
        break;
    case MapChange::kPlaneChanged:
        if (COxelD3DTerrainPlane* plane = FindPlane(change.index)) {
            ShowHeight(change.index, plane->m_y);
        }
        // The controls show what the user just did with them; an undo or
        // redo puts the picked plane's state back into them.
        if (change.replayed && change.index == m_selectedPlane && IsWindowEnabled(m_heightBar)) {
            ShowSelectedPlane();
        }
        break;
    default:
        break;
    }
}

void COxelD3DSceneSettingWnd::Refresh()
{
    // The planes' heights may have changed since they were listed (a map load sets them).
    for (int id = 0; id < PlaneCount(); ++id) {
        if (const COxelD3DTerrainPlane* plane = FindPlane(id)) {
            ShowHeight(id, plane->m_y);
        }
    }
    RedrawThumbnail();
}

void COxelD3DSceneSettingWnd::AddPlaneEntry()
{
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    if (!scene) {
        return;
    }
    const int before = PlaneCount();
    scene->AddPlane();
    if (PlaneCount() == before) {
        return;
    }
    InsertPlaneEntry(PlaneCount() - 1, nullptr);
}

void COxelD3DSceneSettingWnd::InsertPlaneEntry(int id, const char* label)
{
    char name[128];
    snprintf(name, sizeof name, Text(IDS_PLANE_ENTRY), id);
    InsertEntry(m_planeList, id, label ? label : name);
    if (COxelD3DTerrainPlane* plane = FindPlane(id)) {
        ShowHeight(id, plane->m_y);
    }
}

void COxelD3DSceneSettingWnd::ShowHeight(int entry, float height)
{
    char text[128];
    snprintf(text, sizeof text, "%f", height);
    SetEntryText(m_planeList, entry, 1, text);
}

void COxelD3DSceneSettingWnd::DeleteAllPlanes()
{
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        for (int n = PlaneCount() - 1; n >= 0; --n) {
            scene->DeletePlane(n);
            SendMessageA(m_planeList, LVM_DELETEITEM, n, 0);
        }
    }
    EnablePlaneControls(false);
}

void COxelD3DSceneSettingWnd::DeleteSelectedPlane()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || m_selectedPlane < 0 || m_selectedPlane >= PlaneCount()) {
        return;
    }
    // The selection stays at this position: the next press deletes the plane
    // that moved up into it. Undone, the entry comes back under its name.
    char label[128] = {};
    ListView_GetItemText(m_planeList, m_selectedPlane, 0, label, sizeof label);
    editor->Perform(PlaneListStep::Deleting(PlaneKind::kScenePlane, m_selectedPlane, label));
}

void COxelD3DSceneSettingWnd::ToggleSelectedPlaneVisible()
{
    // The preview shows the change with its next frame.
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, m_selectedPlane));
    }
}

void COxelD3DSceneSettingWnd::RedrawThumbnail()
{
    // The thumbnail is all this window draws itself; its controls repaint when
    // they change, and repainting them all here would cost more than the rest
    // of a new map's refresh.
    const RECT thumbnail = {kThumbnailLeft, kThumbnailTop, kThumbnailLeft + kThumbnailWidth,
                            kThumbnailTop + kThumbnailHeight};
    RedrawWindow(m_hWnd, &thumbnail, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

void COxelD3DSceneSettingWnd::DrawThumbnail(HBITMAP image)
{
    if (!m_thumbnail) {
        return;
    }
    BITMAP size = {};
    GetObjectA(image, sizeof size, &size);
    ScopedWindowDC window(m_hWnd);
    ScopedMemoryDC thumbnail(window.get());
    ScopedMemoryDC source(window.get());
    ScopedSelection thumbnailSelection(thumbnail.get(), m_thumbnail);
    ScopedSelection sourceSelection(source.get(), image);
    SetStretchBltMode(thumbnail.get(), HALFTONE);
    SetBrushOrgEx(thumbnail.get(), 0, 0, nullptr);
    StretchBlt(thumbnail.get(), 0, 0, kThumbnailWidth, kThumbnailHeight, source.get(), 0, 0, size.bmWidth,
               size.bmHeight, SRCCOPY);
}

void COxelD3DSceneSettingWnd::LoadPlaneImage()
{
    if (!FindPlane(m_selectedPlane)) {
        return;
    }
    char path[MAX_PATH];
    if (!AskForFileToOpen(nullptr, kDdsFileType, Text(IDS_OPEN_IMAGE_TITLE), path)) {
        return;
    }
    // The dialog leaves the other windows working; the plane is looked up again
    // in case it went meanwhile.
    COxelD3DTerrainPlane* plane = FindPlane(m_selectedPlane);
    if (!plane) {
        return;
    }
    if (!IsReadableImage(path)) {
        ReportUnreadableImage();
        return;
    }
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->Perform(std::make_unique<PlaneImageStep>(PlaneKind::kScenePlane, m_selectedPlane, path));
    }
}

void COxelD3DSceneSettingWnd::LoadBackgroundImage()
{
    char path[MAX_PATH];
    if (!AskForFileToOpen(nullptr, kBitmapFileType, Text(IDS_OPEN_IMAGE_TITLE), path)) {
        return;
    }
    if (!IsReadableImage(path)) {
        ReportUnreadableImage();
        return;
    }
    if (g_backgroundSphere) {
        g_backgroundSphere->ReleaseTexture();
        g_backgroundSphere->LoadTexture(path);
    }
    // A file that GDI cannot read as a bitmap leaves the thumbnail as it was.
    ScopedGdiObject<HBITMAP> image(static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (image.get()) {
        DrawThumbnail(image.get());
    }
    RedrawThumbnail();
}
