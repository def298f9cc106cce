#include "editor/COxelMapDataFile.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/FileDialog.h"
#include "editor/WaitCursor.h"
#include "io/AnsiPath.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "io/OpenedMap.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Task-modal: while the box waits, no editor window can start another command.
void ReportError(const char* message)
{
    MessageBoxA(nullptr, message, "Error", MB_OK | MB_TASKMODAL);
}

// One box for all the images a map named on the network or a device, however many.
void ReportRefusedImages(const std::vector<const char*>& names)
{
    const size_t kListed = 5;
    std::string text = Text(IDS_REMOTE_IMAGES_REFUSED);
    for (size_t i = 0; i < names.size() && i < kListed; ++i) {
        text += "\n";
        text += names[i];
    }
    if (names.size() > kListed) {
        text += FormatText(IDS_REMOTE_IMAGES_MORE, static_cast<unsigned>(names.size() - kListed));
    }
    ReportError(text.c_str());
}

void CopyVector(float (&to)[3], const D3DXVECTOR3& from)
{
    to[0] = from.x;
    to[1] = from.y;
    to[2] = from.z;
}

}  // namespace

COxelMapDataFile::COxelMapDataFile(COxelD3DTerrainEditor* editor) : m_editor(editor)
{
}

bool COxelMapDataFile::Save(const char* path, char* savedPath)
{
    char chosen[MAX_PATH];
    if (!path) {
        const unsigned asked = m_editor ? m_editor->m_newMapCount : 0;
        // A map made while the dialog was up is not the one the name was chosen for.
        if (!AskForFileToSave(nullptr, kMapFileType, Text(IDS_SAVE_TITLE), chosen) ||
            (m_editor && m_editor->m_newMapCount != asked)) {
            return false;
        }
        path = chosen;
    }
    MapFileContents map;
    if (!Gather(&map) || !SaveMapFile(path, map)) {
        ReportError(MapNotSavedMessage());
        return false;
    }
    if (savedPath && savedPath != path) {
        CopyPath(savedPath, MAX_PATH, path);
    }
    return true;
}

HRESULT COxelMapDataFile::Open(char* pathOut, const char* folder)
{
    char chosen[MAX_PATH];
    // The question about unsaved changes comes once the file is chosen, when
    // the load really starts: whatever was done before then is asked about.
    if (!AskForFileToOpen(nullptr, kMapFileType, Text(IDS_OPEN_TITLE), chosen, folder) || !m_editor ||
        !m_editor->ConfirmDiscard()) {
        return 0;
    }
    return OpenPath(chosen, pathOut);
}

HRESULT COxelMapDataFile::OpenPath(const char* path, char* pathOut)
{
    const HRESULT result = Load(path);
    if (SUCCEEDED(result) && pathOut) {
        // A name given relative to the current folder still names this file
        // when "上書き保存(&S)" writes it later.
        char full[MAX_PATH];
        const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
        CopyPath(pathOut, MAX_PATH, length > 0 && length < MAX_PATH ? full : path);
    }
    return result;
}

HRESULT COxelMapDataFile::Load(const char* path)
{
    // Everything is read and checked before the first change, so a refused
    // file leaves the map, its planes and the windows as they were.
    if (!m_editor) {
        return E_FAIL;
    }
    WaitCursor wait;
    MapFileContents file;
    const MapFileError error = LoadMapFile(path, &file);
    if (error != MapFileError::None) {
        ReportError(MapFileErrorMessage(error));
        return E_FAIL;
    }
    return Apply(OpenMap(std::move(file))) ? 0 : E_ABORT;
}

bool COxelMapDataFile::Gather(MapFileContents* map) const
{
    if (!m_editor || !m_editor->HasMap()) {
        return false;
    }
    COxelD3DTerrainChipManager* terrain = m_editor->m_terrain;
    const int width = m_editor->m_mapWidth;
    const int height = m_editor->m_mapHeight;
    map->width = width;
    map->height = height;
    const bool standIn = m_editor->m_missingAtlas[0] && strcmp(terrain->m_chipImage.fileName, kBuiltInAtlasName) == 0;
    CopyMapFileText(map->atlasFile, standIn ? m_editor->m_missingAtlas : terrain->m_chipImage.fileName);

    map->cells.resize(static_cast<size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) {
        const int x = i % width;
        const int y = i / width;
        MapFileCell& cell = map->cells[i];
        cell = MapFileCell();
        cell.index = i;
        cell.heights[0] = terrain->GetHeight(x, y);
        cell.heights[1] = terrain->GetHeight(x, y + 1);
        cell.heights[2] = terrain->GetHeight(x + 1, y);
        cell.heights[3] = terrain->GetHeight(x + 1, y + 1);
        if (COxelD3DTerrainChipBase* quad = terrain->GetTerrainChip(i)) {
            for (int corner = 0; corner < 4; ++corner) {
                CopyVector(cell.normals[corner], quad->GetNormal(corner));
            }
            CopyVector(cell.boxMin, quad->m_vMin);
            CopyVector(cell.boxMax, quad->m_vMax);
        }
        cell.chip = terrain->GetMapChip(x, y);
        cell.rotation = terrain->GetMapChipRotation(x, y);
        cell.billboard = terrain->m_cells[i].m_billboard;
    }

    map->planes.clear();
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        const int count = static_cast<int>(scene->m_planes.size());
        for (int id = 0; id < count; ++id) {
            if (const COxelD3DTerrainPlane* plane = scene->FindPlane(id)) {
                MapFilePlane record = {};
                CopyMapFileText(record.textureFile, plane->m_textureFile);
                record.y = plane->m_y;
                record.repeat = plane->m_repeat;
                record.visible = plane->m_visible;
                map->planes.push_back(record);
            }
        }
    }

    map->billboards.clear();
    const int billboards = static_cast<int>(terrain->m_billboards.size());
    for (int id = 0; id < billboards; ++id) {
        if (const COxelD3DTerrainPlane* billboard = terrain->FindBillboard(id)) {
            MapFileBillboard record = {};
            CopyMapFileText(record.textureFile, billboard->m_textureFile);
            record.repeat = billboard->m_repeat;
            map->billboards.push_back(record);
        }
    }
    return true;
}

bool COxelMapDataFile::Apply(const OpenedMap& opened)
{
    const MapFileContents& map = opened.map;
    COxelD3DTerrainEditor* editor = m_editor;
    // Clears the grid, the billboards and the planes and puts the built-in atlas back.
    editor->NewMap(map.width, map.height);
    const unsigned loadedMap = editor->m_newMapCount;
    std::vector<const char*> refused;
    if (strcmp(map.atlasFile, kBuiltInAtlasName) != 0) {
        // An atlas that cannot be read is reported by the terrain; the map loads all the same.
        if (IsRemoteOrDevicePath(map.atlasFile)) {
            refused.push_back(map.atlasFile);
        } else {
            editor->OpenTextureImage(map.atlasFile);
        }
        if (editor->m_newMapCount == loadedMap && editor->m_terrain &&
            strcmp(editor->m_terrain->m_chipImage.fileName, map.atlasFile) != 0) {
            CopyPath(editor->m_missingAtlas, sizeof editor->m_missingAtlas, map.atlasFile);
        }
    }
    // The report's message loop goes on dispatching posted commands: a new
    // map or another file may have taken this one's place, at another size.
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    if (editor->m_newMapCount != loadedMap || !terrain || terrain->m_mapWidth != map.width ||
        terrain->m_mapHeight != map.height) {
        return false;
    }
    if (editor->HasMap()) {
        // The cells first, then every quad and vertex normal once: written
        // cell by cell, each cell rewrote the quads and normals around it six
        // times over. The file's normals never lasted that way either (each
        // cell's chip smoothed its corners from the heights again), so the
        // heights give them here too. Opened, each cell's first corner holds
        // the height its vertex takes, and its turn is the one it keeps.
        const int width = map.width;
        for (int i = 0; i < width * map.height; ++i) {
            const MapFileCell& cell = map.cells[i];
            terrain->StoreHeight(i % width, i / width, cell.heights[0]);
            terrain->StoreMapChip(i, cell.chip);
            terrain->StoreMapChipRotation(i, cell.rotation);
        }
        terrain->UpdateAllCells();
    }

    // The planes come back in id order; the scene setting window lists each as it is added.
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    for (size_t id = 0; id < map.planes.size(); ++id) {
        const MapFilePlane& record = map.planes[id];
        editor->AddPlane();
        COxelD3DTerrainPlane* plane = scene ? scene->FindPlane(static_cast<int>(id)) : nullptr;
        if (!plane) {
            continue;
        }
        // A refused image leaves the plane with the image every new plane has.
        if (IsRemoteOrDevicePath(record.textureFile)) {
            refused.push_back(record.textureFile);
        } else {
            plane->ReleaseTexture();
            plane->LoadTexture(record.textureFile);
        }
        plane->Setup(opened.planeExtent.width, opened.planeExtent.depth, record.y, record.repeat);
        editor->SetPlaneVisible(static_cast<int>(id), record.visible);
    }

    RestoreBillboards(opened, &refused);

    // The windows that show the grid and the planes' heights, once all is in
    // place; the map edit window and the billboard list only when they have
    // been opened.
    for (int index :
         {kSceneSettingWindow, kBillboardSettingWindow, kHeightWindow, kTextureMappingWindow, kMapEditWindow}) {
        COxelD3DTerrainEditorChildWndBase* window = editor->m_windows[index];
        // Refresh repaints as it ends.
        if (window && window->m_hWnd) {
            window->Refresh();
        }
    }
    // The opened map starts a history of its own, unmodified.
    editor->ForgetHistory();
    if (!refused.empty()) {
        ReportRefusedImages(refused);
    }
    return true;
}

void COxelMapDataFile::RestoreBillboards(const OpenedMap& opened, std::vector<const char*>* refused)
{
    const MapFileContents& map = opened.map;
    COxelD3DTerrainChipManager* terrain = m_editor->m_terrain;
    if (!m_editor->HasMap()) {
        return;
    }
    // In id order, so each comes back under its own id. A new billboard
    // stands on every cell; the cells' own ids are put back once all exist.
    for (const MapFileBillboard& record : map.billboards) {
        const int id = static_cast<int>(terrain->m_billboards.size());
        terrain->AddBillboard();
        COxelD3DTerrainPlane* billboard = terrain->FindBillboard(id);
        if (!billboard) {
            break;
        }
        if (IsRemoteOrDevicePath(record.textureFile)) {
            refused->push_back(record.textureFile);
        } else {
            billboard->ReleaseTexture();
            billboard->LoadTexture(record.textureFile);
        }
        billboard->Setup(opened.billboardExtent.width, opened.billboardExtent.depth, billboard->m_y, record.repeat);
    }
    // Fewer than the file's when memory ran out: a cell keeps only a billboard that exists.
    const int count = static_cast<int>(terrain->m_billboards.size());
    const size_t cells = std::min(map.cells.size(), static_cast<size_t>(terrain->m_mapWidth) * terrain->m_mapHeight);
    for (size_t i = 0; i < cells; ++i) {
        const int id = map.cells[i].billboard;
        terrain->m_cells[i].m_billboard = id >= 0 && id < count ? id : -1;
    }
}
