#include "editor/PlaneListStep.h"

#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

std::unique_ptr<PlaneListStep> PlaneListStep::Adding(PlaneKind kind)
{
    return std::unique_ptr<PlaneListStep>(new PlaneListStep(kind, true, -1, std::string()));
}

std::unique_ptr<PlaneListStep> PlaneListStep::Deleting(PlaneKind kind, int id, const std::string& label)
{
    return std::unique_ptr<PlaneListStep>(new PlaneListStep(kind, false, id, label));
}

PlaneListStep::PlaneListStep(PlaneKind kind, bool adding, int id, const std::string& label)
    : m_kind(kind), m_adding(adding), m_id(id), m_label(label), m_kept(nullptr), m_object(nullptr), m_done(false)
{
}

PlaneListStep::~PlaneListStep()
{
    delete m_kept;
}

void PlaneListStep::Insert(EditedMap& map)
{
    PutListedPlane(map, m_kind, m_kept, m_id);
    m_kept = nullptr;
}

void PlaneListStep::Remove(EditedMap& map)
{
    m_kept = TakeListedPlane(map, m_kind, m_id);
}

bool PlaneListStep::Redo(EditedMap& map)
{
    std::vector<COxelD3DTerrainPlane*>* list = PlaneList(map, m_kind);
    if (!list) {
        return false;
    }
    COxelD3DTerrainChipManager* terrain = map.terrain;
    const int cells = terrain->m_mapWidth * terrain->m_mapHeight;
    if (m_adding && !m_object) {
        const int id = static_cast<int>(list->size());
        if (m_kind == PlaneKind::kScenePlane) {
            map.scene->AddPlane();
        } else {
            m_cellBillboards.resize(cells);
            for (int cell = 0; cell < cells; ++cell) {
                m_cellBillboards[cell] = terrain->m_cells[cell].m_billboard;
            }
            terrain->AddBillboard();
        }
        // Out of memory, nothing was added.
        m_object = static_cast<int>(list->size()) > id ? FindListedPlane(map, m_kind, id) : nullptr;
        if (!m_object) {
            return false;
        }
        m_id = id;
    } else if (m_adding) {
        Insert(map);
        for (int cell = 0; m_kind == PlaneKind::kBillboard && cell < cells; ++cell) {
            terrain->m_cells[cell].m_billboard = m_id;
        }
    } else {
        Remove(map);
        if (!m_kept) {
            return false;
        }
    }
    m_done = true;
    return true;
}

void PlaneListStep::Undo(EditedMap& map)
{
    if (m_adding) {
        Remove(map);
        COxelD3DTerrainChipManager* terrain = map.terrain;
        const int cells = static_cast<int>(m_cellBillboards.size());
        for (int cell = 0; cell < cells && cell < terrain->m_mapWidth * terrain->m_mapHeight; ++cell) {
            terrain->m_cells[cell].m_billboard = m_cellBillboards[cell];
        }
    } else {
        Insert(map);
    }
    m_done = false;
}

MapChange PlaneListStep::Changed() const
{
    const bool inserted = m_adding == m_done;
    if (m_kind == PlaneKind::kScenePlane) {
        return MapChange::Listed(inserted ? MapChange::kPlaneInserted : MapChange::kPlaneRemoved, m_id,
                                 inserted && !m_label.empty() ? m_label.c_str() : nullptr);
    }
    return MapChange::Listed(inserted ? MapChange::kBillboardInserted : MapChange::kBillboardRemoved, m_id,
                             inserted && !m_label.empty() ? m_label.c_str() : nullptr);
}

std::size_t PlaneListStep::Bytes() const
{
    // The object counts whether it is kept now or not: it is, on one side of the step.
    return sizeof *this + m_label.capacity() + m_cellBillboards.capacity() * sizeof(int) +
           PlaneBytes(m_kept ? m_kept : m_object);
}
