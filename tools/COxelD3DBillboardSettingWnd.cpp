#include "tools/COxelD3DBillboardSettingWnd.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/EditorWindowRouting.h"
#include "editor/FileDialog.h"
#include "editor/MapPainting.h"
#include "editor/PlaneImageStep.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "tools/DialogLayout.h"
#include "tools/EntryList.h"

#include <commctrl.h>
#include <d3dx9.h>

#include <cstdio>
#include <memory>

namespace {

const int kDialogResource = 103;
const int kListId = 3;
const int kAddButton = 1005;
const int kLoadImageButton = 1008;
const int kRepeatBox = 1009;
const int kDeleteButton = 40013;
const int kClearButton = 1010;

INT_PTR CALLBACK BillboardDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorDialogMessage(kBillboardSettingWindow, hwnd, message, wParam, lParam);
}

COxelD3DTerrainChipManager* EditedTerrain()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    return editor ? editor->m_terrain : nullptr;
}

}  // namespace

COxelD3DBillboardSettingWnd::COxelD3DBillboardSettingWnd() : m_billboardList(nullptr), m_selectedBillboard(0)
{
}

COxelD3DBillboardSettingWnd::~COxelD3DBillboardSettingWnd()
{
}

void COxelD3DBillboardSettingWnd::Create()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    // Made hidden: the editor puts it in its place before it first shows.
    m_hWnd = CreateHiddenDialog(instance, kDialogResource, COxelD3DTerrainEditor::PreviewWindow(), BillboardDialogProc);
    if (!m_hWnd) {
        return;
    }
    const EntryColumn column = {Text(IDS_COLUMN_NAME), 200};
    m_billboardList = CreateEntryList(m_hWnd, kListId, 10, 40, 260, 160, &column, 1);
    // The map may have billboards already: the list starts with them.
    Refresh();
}

void COxelD3DBillboardSettingWnd::OnPaint(HDC)
{
}

int COxelD3DBillboardSettingWnd::OnMouse(UINT, int, int)
{
    return 0;
}

void COxelD3DBillboardSettingWnd::OnCommand(int id)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    COxelD3DTerrainChipManager* terrain = EditedTerrain();
    if (!terrain) {
        return;
    }
    switch (id) {
    case kAddButton:
        // The list follows through OnMapChanged; out of memory, nothing is added.
        AddListedPlane(*editor, PlaneKind::kBillboard);
        break;
    case kDeleteButton:
        if (m_selectedBillboard >= 0 && m_selectedBillboard < static_cast<int>(terrain->m_billboards.size())) {
            char label[128] = {};
            ListView_GetItemText(m_billboardList, m_selectedBillboard, 0, label, sizeof label);
            editor->Perform(PlaneListStep::Deleting(PlaneKind::kBillboard, m_selectedBillboard, label));
        }
        break;
    case kLoadImageButton: {
        char path[MAX_PATH];
        if (!terrain->FindBillboard(m_selectedBillboard) ||
            !AskForFileToOpen(nullptr, kDdsFileType, Text(IDS_OPEN_IMAGE_TITLE), path)) {
            break;
        }
        // The dialog runs a message loop of its own: the billboard may be gone
        // by the time it closes.
        if (!terrain->FindBillboard(m_selectedBillboard)) {
            break;
        }
        // An image Direct3D cannot read is refused before the old one goes.
        D3DXIMAGE_INFO info;
        if (FAILED(D3DXGetImageInfoFromFileA(path, &info))) {
            MessageBoxA(nullptr, Text(IDS_FILE_NOT_OPENED), "Error", MB_OK | MB_TASKMODAL);
            break;
        }
        editor->Perform(std::make_unique<PlaneImageStep>(PlaneKind::kBillboard, m_selectedBillboard, path));
        break;
    }
    case kClearButton:
        RemoveBillboardEverywhere(*editor, PickedBillboard());
        break;
    case kRepeatBox:
        // The box's own mark is not the billboard's flag: the flag flips.
        editor->Perform(PlaneSettingStep::FlipRepeat(PlaneKind::kBillboard, m_selectedBillboard));
        break;
    }
}

void COxelD3DBillboardSettingWnd::OnMapChanged(const MapChange& change)
{
    switch (change.kind) {
    case MapChange::kBillboardInserted:
        AddEntry(change.index, change.label);
        m_selectedBillboard = PickAfterListChange(m_selectedBillboard, change.index, true);
        break;
    case MapChange::kBillboardRemoved:
        SendMessageA(m_billboardList, LVM_DELETEITEM, change.index, 0);
        m_selectedBillboard = PickAfterListChange(m_selectedBillboard, change.index, false);
        break;
    case MapChange::kBillboardChanged:
        // The box shows what the user just did with it; an undo or redo puts
        // the picked billboard's flag back into it.
        if (change.replayed && change.index == m_selectedBillboard && IsWindowEnabled(GetDlgItem(m_hWnd, kRepeatBox))) {
            ShowSelectedBillboard();
        }
        break;
    default:
        break;
    }
}

void COxelD3DBillboardSettingWnd::ShowSelectedBillboard()
{
    COxelD3DTerrainChipManager* terrain = EditedTerrain();
    if (const COxelD3DTerrainPlane* billboard = terrain ? terrain->FindBillboard(m_selectedBillboard) : nullptr) {
        CheckDlgButton(m_hWnd, kRepeatBox, billboard->m_repeat ? BST_CHECKED : BST_UNCHECKED);
    }
}

void COxelD3DBillboardSettingWnd::OnScroll(LPARAM, int, int, int)
{
}

void COxelD3DBillboardSettingWnd::OnNotify(WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != kListId || header->code != LVN_ITEMACTIVATE) {
        return;
    }
    const int entry = SelectedEntry(m_billboardList);
    if (entry < 0) {
        return;
    }
    EnableBillboardControls(true);
    m_selectedBillboard = entry;
    ShowSelectedBillboard();
}

void COxelD3DBillboardSettingWnd::Refresh()
{
    if (!m_hWnd) {
        return;
    }
    SendMessageA(m_billboardList, LVM_DELETEALLITEMS, 0, 0);
    if (COxelD3DTerrainChipManager* terrain = EditedTerrain()) {
        for (int id = 0; id < static_cast<int>(terrain->m_billboards.size()); ++id) {
            AddEntry(id);
        }
    }
    EnableBillboardControls(false);
    m_selectedBillboard = 0;
    Redraw();
}

void COxelD3DBillboardSettingWnd::AddEntry(int id, const char* label)
{
    char name[64];
    std::snprintf(name, sizeof name, Text(IDS_BILLBOARD_ENTRY), id);
    InsertEntry(m_billboardList, id, label ? label : name);
}

int COxelD3DBillboardSettingWnd::PickedBillboard() const
{
    COxelD3DTerrainChipManager* terrain = EditedTerrain();
    const bool picked = m_hWnd && IsWindowEnabled(GetDlgItem(m_hWnd, kClearButton));
    return picked && terrain && terrain->FindBillboard(m_selectedBillboard) ? m_selectedBillboard : -1;
}

void COxelD3DBillboardSettingWnd::EnableBillboardControls(bool enabled)
{
    EnableWindow(GetDlgItem(m_hWnd, kClearButton), enabled);
    EnableWindow(GetDlgItem(m_hWnd, kRepeatBox), enabled);
    EnableWindow(GetDlgItem(m_hWnd, kLoadImageButton), enabled);
}
