#include "editor/PlaneSettingStep.h"

#include "terrain/COxelD3DTerrainPlane.h"

std::unique_ptr<PlaneSettingStep> PlaneSettingStep::Height(PlaneKind kind, int id, float height)
{
    return std::unique_ptr<PlaneSettingStep>(new PlaneSettingStep(kind, id, kHeight, height));
}

std::unique_ptr<PlaneSettingStep> PlaneSettingStep::FlipRepeat(PlaneKind kind, int id)
{
    return std::unique_ptr<PlaneSettingStep>(new PlaneSettingStep(kind, id, kFlipRepeat, 0.0f));
}

std::unique_ptr<PlaneSettingStep> PlaneSettingStep::FlipVisible(PlaneKind kind, int id)
{
    return std::unique_ptr<PlaneSettingStep>(new PlaneSettingStep(kind, id, kFlipVisible, 0.0f));
}

PlaneSettingStep::PlaneSettingStep(PlaneKind kind, int id, Action action, float height)
    : m_kind(kind), m_id(id), m_action(action), m_height(height), m_done(false), m_before(), m_after()
{
}

PlaneSettingStep::Setting PlaneSettingStep::Read(const COxelD3DTerrainPlane& plane)
{
    return Setting{plane.m_y, plane.m_repeat, plane.m_visible};
}

void PlaneSettingStep::Write(COxelD3DTerrainPlane& plane, const Setting& setting) const
{
    // Each setter rewrites the quad; only what differs is set.
    if (plane.m_y != setting.height) {
        plane.SetHeight(setting.height);
    }
    if (plane.m_repeat != setting.repeat) {
        plane.SetRepeat(setting.repeat);
    }
    plane.m_visible = setting.visible;
}

bool PlaneSettingStep::Redo(EditedMap& map)
{
    COxelD3DTerrainPlane* plane = FindListedPlane(map, m_kind, m_id);
    if (!plane) {
        return false;
    }
    if (m_done) {
        Write(*plane, m_after);
        return true;
    }
    m_before = Read(*plane);
    switch (m_action) {
    case kHeight:
        plane->SetHeight(m_height);
        break;
    case kFlipRepeat:
        plane->SetRepeat(plane->m_repeat ? 0 : 1);
        break;
    case kFlipVisible:
        plane->m_visible = plane->m_visible ? 0 : 1;
        break;
    }
    m_after = Read(*plane);
    m_done = true;
    return !(m_after == m_before);
}

void PlaneSettingStep::Undo(EditedMap& map)
{
    if (COxelD3DTerrainPlane* plane = FindListedPlane(map, m_kind, m_id)) {
        Write(*plane, m_before);
    }
}

MapChange PlaneSettingStep::Changed() const
{
    return MapChange::Listed(m_kind == PlaneKind::kScenePlane ? MapChange::kPlaneChanged : MapChange::kBillboardChanged,
                             m_id);
}

bool PlaneSettingStep::MergeWith(const MapStep& next)
{
    const PlaneSettingStep* piece = dynamic_cast<const PlaneSettingStep*>(&next);
    // Only a slider's moves make one step; two flips are two.
    if (!piece || piece->m_kind != m_kind || piece->m_id != m_id || !piece->m_done || m_action != kHeight ||
        piece->m_action != kHeight) {
        return false;
    }
    m_after = piece->m_after;
    return true;
}

std::size_t PlaneSettingStep::Bytes() const
{
    return sizeof *this;
}
