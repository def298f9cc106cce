#include "editor/COxelRegionEditing.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/RegionStep.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kClipboardFormatName[] = "Quelmora.MapRegion.1";
// The windows that show the selection and the stamp.
const int kRegionWindows[] = {kHeightWindow, kTextureMappingWindow, kMapEditWindow};

void Tell(const std::string& text)
{
    MessageBoxA(nullptr, text.c_str(), "Quelmora", MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

// The cells `rect` covers with one more round it, where its outline lies.
MapArea OutlineArea(const MapRect& rect)
{
    return MapArea{rect.topLeft.column - rect.columns, rect.topLeft.row - 1, rect.topLeft.column + 1,
                   rect.topLeft.row + rect.rows};
}

bool SameRect(const MapRect& a, const MapRect& b)
{
    return a.Empty() == b.Empty() && (a.Empty() || (a.topLeft == b.topLeft && a.columns == b.columns && a.rows == b.rows));
}

}  // namespace

COxelRegionEditing::COxelRegionEditing(COxelD3DTerrainEditor& editor)
    : m_editor(editor), m_select(editor), m_stamp(editor), m_selection{}, m_selecting(false), m_shownSelection{},
      m_shownStamp{}
{
}

UINT COxelRegionEditing::ClipboardFormat()
{
    static const UINT format = RegisterClipboardFormatA(kClipboardFormatName);
    return format;
}

COxelTool* COxelRegionEditing::Tool()
{
    if (m_stamp.Active()) {
        return &m_stamp;
    }
    return m_selecting ? &m_select : nullptr;
}

bool COxelRegionEditing::OnCommand(int id)
{
    if (!m_editor.HasMap() && id != kSelectMode) {
        return id == kCopy || id == kCut || id == kPaste || id == kSelectAll || id == kSelectNone || id == kTurnStamp ||
               id == kEndStamp;
    }
    switch (id) {
    case kSelectMode:
        m_selecting = !m_selecting;
        break;
    case kSelectAll:
        Select(MapRect{{0, 0}, m_editor.m_mapWidth, m_editor.m_mapHeight});
        break;
    case kSelectNone:
        Select(MapRect{});
        break;
    case kCopy:
        Copy();
        break;
    case kCut:
        Cut();
        break;
    case kPaste:
        Paste();
        break;
    case kTurnStamp:
        m_stamp.Turn();
        ShowOutlines();
        break;
    case kEndStamp:
        EndStamp();
        break;
    default:
        return false;
    }
    return true;
}

void COxelRegionEditing::Select(const MapRect& rect)
{
    m_selection = rect.Empty() ? MapRect{} : rect;
    ShowOutlines();
    ShowIn(GetMenu(m_editor.GetWindowHandle(kEditMenuWindow)));
}

void COxelRegionEditing::Forget()
{
    m_selection = m_shownSelection = m_shownStamp = MapRect{};
    m_stamp.Stop();
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        scene->m_selectionShown = false;
    }
    ShowIn(GetMenu(m_editor.GetWindowHandle(kEditMenuWindow)));
}

void COxelRegionEditing::EndStamp()
{
    m_stamp.Stop();
    ShowOutlines();
}

void COxelRegionEditing::ShowOutlines()
{
    const MapRect stamp = m_stamp.Footprint();
    const bool selectionMoved = !SameRect(m_selection, m_shownSelection);
    std::vector<MapArea> repainted;
    if (selectionMoved) {
        for (const MapRect& rect : {m_shownSelection, m_selection}) {
            if (!rect.Empty()) {
                repainted.push_back(OutlineArea(rect));
            }
        }
    }
    if (!SameRect(stamp, m_shownStamp)) {
        for (const MapRect& rect : {m_shownStamp, stamp}) {
            if (!rect.Empty()) {
                repainted.push_back(OutlineArea(rect));
            }
        }
    }
    m_shownSelection = m_selection;
    m_shownStamp = stamp;
    for (int index : kRegionWindows) {
        COxelD3DTerrainEditorChildWndBase* window = m_editor.m_windows[index];
        for (const MapArea& area : repainted) {
            if (window && window->m_hWnd) {
                window->OnMapChanged(MapChange::Grid(area));
            }
        }
    }
    // The preview stands walls round the selection, from below its lowest
    // vertex to above its highest, as it does round the cursor.
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    if (!scene || !selectionMoved) {
        return;
    }
    scene->m_selectionShown = !m_selection.Empty() && m_editor.HasMap();
    if (scene->m_selectionShown) {
        const MapRegion region = CopyRegion(*m_editor.m_terrain, m_selection);
        const double lowest = region.Lowest();
        const double highest = *std::max_element(region.heights.begin(), region.heights.end());
        scene->m_selectionBox[0] = static_cast<float>(m_selection.topLeft.column - m_selection.columns + 1);
        scene->m_selectionBox[1] = static_cast<float>(lowest);
        scene->m_selectionBox[2] = static_cast<float>(m_selection.topLeft.row);
        scene->m_selectionBox[3] = static_cast<float>(m_selection.columns);
        scene->m_selectionBox[4] = static_cast<float>(highest - lowest);
        scene->m_selectionBox[5] = static_cast<float>(m_selection.rows);
    }
}

void COxelRegionEditing::ShowIn(HMENU menu) const
{
    CheckMenuItem(menu, kSelectMode, MF_BYCOMMAND | (m_selecting ? MF_CHECKED : MF_UNCHECKED));
    const UINT selected = MF_BYCOMMAND | (m_selection.Empty() ? MF_GRAYED : MF_ENABLED);
    EnableMenuItem(menu, kCopy, selected);
    EnableMenuItem(menu, kCut, selected);
    EnableMenuItem(menu, kSelectNone, selected);
}

bool COxelRegionEditing::Copy()
{
    if (m_selection.Empty()) {
        return false;
    }
    const std::vector<unsigned char> bytes = EncodeRegion(CopyRegion(*m_editor.m_terrain, m_selection));
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* locked = memory ? GlobalLock(memory) : nullptr;
    if (locked) {
        std::memcpy(locked, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    bool put = false;
    if (locked && OpenClipboard(m_editor.GetWindowHandle(kEditMenuWindow))) {
        // Once the clipboard has it, the memory is the clipboard's.
        put = EmptyClipboard() && SetClipboardData(ClipboardFormat(), memory);
        CloseClipboard();
    }
    if (!put) {
        if (memory) {
            GlobalFree(memory);
        }
        Tell(Text(IDS_COPY_FAILED));
    }
    return put;
}

void COxelRegionEditing::Cut()
{
    if (m_selection.Empty()) {
        return;
    }
    const MapRegion copied = CopyRegion(*m_editor.m_terrain, m_selection);
    // Nothing is taken away that the clipboard does not hold.
    if (!Copy()) {
        return;
    }
    // What is left: the picked chip unturned, no billboard, and the ground
    // level at the region's lowest vertex.
    MapRegion left = copied;
    std::fill(left.heights.begin(), left.heights.end(), copied.Lowest());
    std::fill(left.cells.begin(), left.cells.end(), CellState{m_editor.m_selectedChip, 0, -1});
    m_editor.Perform(std::make_unique<RegionStep>(left, m_selection.topLeft));
}

void COxelRegionEditing::Paste()
{
    MapRegion region;
    bool read = false;
    const bool offered = IsClipboardFormatAvailable(ClipboardFormat());
    if (offered && OpenClipboard(m_editor.GetWindowHandle(kEditMenuWindow))) {
        HANDLE data = GetClipboardData(ClipboardFormat());
        const void* bytes = data ? GlobalLock(data) : nullptr;
        if (bytes) {
            read = DecodeRegion(static_cast<const unsigned char*>(bytes), GlobalSize(data), &region);
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    if (!read) {
        Tell(Text(offered ? IDS_PASTE_UNREADABLE : IDS_PASTE_NOTHING));
        return;
    }
    if (region.columns > m_editor.m_mapWidth || region.rows > m_editor.m_mapHeight) {
        Tell(FormatText(IDS_PASTE_TOO_LARGE, region.columns, region.rows, m_editor.m_mapWidth, m_editor.m_mapHeight));
        return;
    }
    // A billboard id names a billboard of the map it was copied from; this
    // map may have fewer.
    const int billboards = static_cast<int>(m_editor.m_terrain->m_billboards.size());
    bool dropped = false;
    for (CellState& cell : region.cells) {
        if (cell.billboard >= billboards) {
            cell.billboard = -1;
            dropped = true;
        }
    }
    if (dropped) {
        Tell(FormatText(IDS_PASTE_DROPPED_BILLBOARDS, billboards));
    }
    m_stamp.Start(region);
    ShowOutlines();
}
