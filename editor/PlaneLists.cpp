#include "editor/PlaneLists.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/PlaneListStep.h"
#include "io/MapFileFormat.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <algorithm>
#include <cstdio>

namespace {

bool ById(const COxelD3DTerrainPlane* a, const COxelD3DTerrainPlane* b)
{
    return a->m_id < b->m_id;
}

}  // namespace

std::vector<COxelD3DTerrainPlane*>* PlaneList(const EditedMap& map, PlaneKind kind)
{
    if (kind == PlaneKind::kScenePlane) {
        return map.scene ? &map.scene->m_planes : nullptr;
    }
    return map.terrain ? &map.terrain->m_billboards : nullptr;
}

COxelD3DTerrainPlane* FindListedPlane(const EditedMap& map, PlaneKind kind, int id)
{
    if (kind == PlaneKind::kScenePlane) {
        return map.scene ? map.scene->FindPlane(id) : nullptr;
    }
    return map.terrain ? map.terrain->FindBillboard(id) : nullptr;
}

COxelD3DTerrainPlane* TakeListedPlane(const EditedMap& map, PlaneKind kind, int id)
{
    std::vector<COxelD3DTerrainPlane*>* list = PlaneList(map, kind);
    COxelD3DTerrainPlane* plane = FindListedPlane(map, kind, id);
    if (!list || !plane) {
        return nullptr;
    }
    list->erase(std::find(list->begin(), list->end(), plane));
    for (COxelD3DTerrainPlane* other : *list) {
        if (other->m_id > id) {
            --other->m_id;
        }
    }
    // The billboards stand at the position of their id; the scene reorders its
    // planes for every frame anyway.
    std::stable_sort(list->begin(), list->end(), ById);
    // Out of its list, the device's loss and reset do not reach it: it holds
    // no device buffer that would keep the device from being reset.
    plane->OnLostDevice();
    return plane;
}

void PutListedPlane(const EditedMap& map, PlaneKind kind, COxelD3DTerrainPlane* plane, int id)
{
    std::vector<COxelD3DTerrainPlane*>* list = PlaneList(map, kind);
    if (!list || !plane) {
        return;
    }
    for (COxelD3DTerrainPlane* other : *list) {
        if (other->m_id >= id) {
            ++other->m_id;
        }
    }
    plane->m_id = id;
    // Its buffer is made anew for the device as it is now; one that cannot be
    // made now is made at the device's next reset.
    plane->OnResetDevice();
    list->push_back(plane);
    std::stable_sort(list->begin(), list->end(), ById);
}

std::size_t TextureBytes(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC top = {};
    if (!texture || FAILED(texture->GetLevelDesc(0, &top))) {
        return 0;
    }
    return static_cast<std::size_t>(top.Width) * top.Height * 4 * 4 / 3;
}

std::size_t PlaneBytes(const COxelD3DTerrainPlane* plane)
{
    if (!plane) {
        return 0;
    }
    return sizeof *plane + sizeof(COxelD3DTerrainChipBase) + TextureBytes(plane->m_pTexture);
}

bool AddListedPlane(COxelD3DTerrainEditor& editor, PlaneKind kind)
{
    const bool plane = kind == PlaneKind::kScenePlane;
    const std::vector<COxelD3DTerrainPlane*>* list = PlaneList(editor.Map(), kind);
    const std::size_t most = plane ? kMaxMapFilePlanes : kMaxMapFileBillboards;
    if (list && list->size() >= most) {
        char text[256];
        snprintf(text, sizeof text, Text(plane ? IDS_TOO_MANY_PLANES : IDS_TOO_MANY_BILLBOARDS),
                 static_cast<unsigned>(most));
        MessageBoxA(nullptr, text, "Quelmora", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
        return false;
    }
    return editor.Perform(PlaneListStep::Adding(kind));
}
