#include "editor/COxelTerrainEditing.h"

#include "app/ProgramText.h"
#include "editor/AtlasStep.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/PaintRulesDialog.h"
#include "editor/WaitCursor.h"
#include "io/AnsiPath.h"
#include "io/TextEncoding.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A description longer than this is no description a user wrote.
const DWORD kLargestDescription = 1 << 20;

// "desert.bmp" → "desert.terrain.ini", in the atlas's folder.
std::string DescriptionPath(const std::string& atlas)
{
    const size_t nameStart = static_cast<size_t>(LastPathPart(atlas.c_str()) - atlas.c_str());
    const size_t dot = atlas.rfind('.');
    const size_t stemEnd = dot != std::string::npos && dot > nameStart ? dot : atlas.size();
    return atlas.substr(0, stemEnd) + ".terrain.ini";
}

// The file's bytes; false when there is no such file to read.
bool ReadSmallFile(const std::string& path, std::string* bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes->assign(kLargestDescription + 1, '\0');
    DWORD read = 0;
    const BOOL ok = ReadFile(file, &(*bytes)[0], kLargestDescription + 1, &read, nullptr);
    CloseHandle(file);
    bytes->resize(ok ? read : 0);
    return ok != FALSE;
}

std::vector<std::string> BuiltInNames()
{
    std::vector<std::string> names;
    for (UINT id : {IDS_TERRAIN_GRASS, IDS_TERRAIN_SAND, IDS_TERRAIN_DIRT, IDS_TERRAIN_ROCK, IDS_TERRAIN_SNOW,
                    IDS_TERRAIN_SHALLOW_WATER}) {
        names.push_back(Utf8FromAnsi(Text(id)));
    }
    return names;
}

// The popup of `menu` (or of one of its popups) that holds the item `id`.
HMENU PopupHolding(HMENU menu, UINT first, UINT last)
{
    for (int k = 0, count = GetMenuItemCount(menu); k < count; ++k) {
        const UINT id = GetMenuItemID(menu, k);
        if (id != static_cast<UINT>(-1)) {
            if (id >= first && id <= last) {
                return menu;
            }
            continue;
        }
        if (HMENU found = PopupHolding(GetSubMenu(menu, k), first, last)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

COxelTerrainEditing::COxelTerrainEditing(COxelD3DTerrainEditor& editor)
    : m_editor(editor), m_tool(editor), m_readForBitmap(nullptr), m_picked(0), m_brush(false)
{
}

void COxelTerrainEditing::ReadTerrains()
{
    const COxelD3DTerrainChipManager* grid = m_editor.m_terrain;
    if (!grid || !grid->m_chipImage.loaded) {
        m_set = TerrainSet();
        m_readFor.clear();
        m_readForBitmap = nullptr;
        return;
    }
    const ChipImageInfo& atlas = grid->m_chipImage;
    if (m_readFor == atlas.fileName && m_readForBitmap == atlas.hBitmap) {
        return;
    }
    m_readFor = atlas.fileName;
    m_readForBitmap = atlas.hBitmap;
    m_set = TerrainSet();
    if (strcmp(atlas.fileName, kTerrainAtlasName) == 0) {
        m_set = BuiltInTerrainSet(BuiltInNames());
    } else if (!IsBuiltInAtlas(atlas.fileName)) {
        const std::string path = DescriptionPath(atlas.fileName);
        std::string bytes;
        int badLine = 0;
        if (ReadSmallFile(path, &bytes) &&
            !ParseTerrainSet(Utf8FromFileText(bytes), grid->m_chipColumns * grid->m_chipRows, &m_set, &badLine) &&
            m_reported != path) {
            m_reported = path;
            MessageBoxA(nullptr, FormatText(IDS_TERRAIN_DESCRIPTION_BROKEN, path.c_str(), badLine).c_str(), "Quelmora",
                        MB_OK | MB_ICONWARNING | MB_TASKMODAL);
        }
    }
    if (m_picked >= m_set.Count()) {
        m_picked = 0;
    }
}

const TerrainSet& COxelTerrainEditing::Terrains()
{
    ReadTerrains();
    return m_set;
}

void COxelTerrainEditing::AtlasChanged()
{
    ReadTerrains();
    ShowChoices();
}

void COxelTerrainEditing::ShowChoices()
{
    ShowIn(GetMenu(m_editor.GetWindowHandle(kEditMenuWindow)));
    if (HWND texture = m_editor.GetWindowHandle(kTextureWindow)) {
        InvalidateRect(texture, nullptr, FALSE);
    }
    m_editor.FollowPreviewPointer();
}

void COxelTerrainEditing::Pick(int terrain)
{
    if (terrain < 0 || terrain >= Terrains().Count()) {
        return;
    }
    m_picked = terrain;
    m_brush = true;
    ShowChoices();
}

void COxelTerrainEditing::SetBrush(bool on)
{
    if (on && Terrains().Empty()) {
        if (MessageBoxA(nullptr, Text(IDS_TERRAIN_ATLAS_QUESTION), "Quelmora",
                        MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) != IDYES) {
            return;
        }
        UseTerrainAtlas();
        on = !Terrains().Empty();
    }
    m_brush = on;
    if (on && m_editor.m_regions.Selecting()) {
        // Selecting would keep the windows' mouse from the brush just chosen.
        m_editor.m_regions.OnCommand(COxelRegionEditing::kSelectMode);
    }
    ShowChoices();
}

void COxelTerrainEditing::UseTerrainAtlas()
{
    if (!m_editor.HasMap() || strcmp(m_editor.m_terrain->m_chipImage.fileName, kTerrainAtlasName) == 0) {
        return;
    }
    WaitCursor wait;
    m_editor.Perform(std::make_unique<AtlasStep>(kTerrainAtlasName));
}

COxelTool* COxelTerrainEditing::Tool()
{
    return m_brush && !Terrains().Empty() ? &m_tool : nullptr;
}

bool COxelTerrainEditing::OnCommand(int id)
{
    if (id == kUseTerrainAtlas) {
        UseTerrainAtlas();
        return true;
    }
    if (id == kTerrainBrush) {
        SetBrush(!m_brush);
        return true;
    }
    if (id == kPaintByRules) {
        AskPaintRules(m_editor.GetWindowHandle(kEditMenuWindow), m_editor);
        return true;
    }
    if (id >= kFirstTerrain && id <= kLastTerrain) {
        Pick(id - kFirstTerrain);
        return true;
    }
    return false;
}

void COxelTerrainEditing::ShowIn(HMENU menu)
{
    if (!menu) {
        return;
    }
    const COxelD3DTerrainChipManager* grid = m_editor.m_terrain;
    const bool terrainAtlas = grid && strcmp(grid->m_chipImage.fileName, kTerrainAtlasName) == 0;
    CheckMenuItem(menu, kUseTerrainAtlas, MF_BYCOMMAND | (terrainAtlas ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, kTerrainBrush, MF_BYCOMMAND | (m_brush ? MF_CHECKED : MF_UNCHECKED));
    HMENU list = PopupHolding(menu, kNoTerrain, kLastTerrain);
    if (!list) {
        return;
    }
    while (GetMenuItemCount(list) > 0) {
        DeleteMenu(list, 0, MF_BYPOSITION);
    }
    const TerrainSet& set = Terrains();
    for (int terrain = 0; terrain < set.Count() && kFirstTerrain + terrain <= kLastTerrain; ++terrain) {
        AppendMenuW(list, MF_STRING, kFirstTerrain + terrain, WideFromUtf8(set.m_terrains[terrain].name).c_str());
    }
    if (set.Empty()) {
        AppendMenuA(list, MF_STRING | MF_GRAYED, kNoTerrain, Text(IDS_NO_TERRAINS));
    } else {
        CheckMenuRadioItem(list, kFirstTerrain, kFirstTerrain + set.Count() - 1, kFirstTerrain + m_picked,
                           MF_BYCOMMAND);
    }
}
