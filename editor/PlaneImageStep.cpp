#include "editor/PlaneImageStep.h"

#include "app/SafeRelease.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <cstring>
#include <utility>

PlaneImageStep::PlaneImageStep(PlaneKind kind, int id, const char* path)
    : m_kind(kind), m_id(id), m_loaded(false), m_file(), m_texture(nullptr)
{
    CopyPath(m_file, sizeof m_file, path ? path : "");
}

PlaneImageStep::~PlaneImageStep()
{
    SafeRelease(m_texture);
}

void PlaneImageStep::Swap(COxelD3DTerrainPlane& plane)
{
    std::swap(m_texture, plane.m_pTexture);
    char file[MAX_PATH];
    memcpy(file, plane.m_textureFile, sizeof file);
    memcpy(plane.m_textureFile, m_file, sizeof file);
    memcpy(m_file, file, sizeof file);
}

bool PlaneImageStep::Redo(EditedMap& map)
{
    COxelD3DTerrainPlane* plane = FindListedPlane(map, m_kind, m_id);
    if (!plane) {
        return false;
    }
    if (m_loaded) {
        Swap(*plane);
        return true;
    }
    // The old image moves into the step; the plane loads the new one into the
    // empty slot, untextured when the file cannot be read.
    char path[MAX_PATH];
    memcpy(path, m_file, sizeof path);
    Swap(*plane);
    plane->LoadTexture(path);
    m_loaded = true;
    return true;
}

void PlaneImageStep::Undo(EditedMap& map)
{
    if (COxelD3DTerrainPlane* plane = FindListedPlane(map, m_kind, m_id)) {
        Swap(*plane);
    }
}

MapChange PlaneImageStep::Changed() const
{
    return MapChange::Listed(m_kind == PlaneKind::kScenePlane ? MapChange::kPlaneChanged : MapChange::kBillboardChanged,
                             m_id);
}

std::size_t PlaneImageStep::Bytes() const
{
    return sizeof *this + TextureBytes(m_texture);
}
