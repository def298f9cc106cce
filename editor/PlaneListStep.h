#pragma once

#include "editor/MapStep.h"
#include "editor/PlaneLists.h"

#include <memory>
#include <string>
#include <vector>

class COxelD3DTerrainPlane;

// A plane or billboard added to its list, or deleted from it. The object
// itself is kept by the step while it is out of the list, so that it comes
// back with its image, height and flags exactly.
class PlaneListStep : public MapStep {
public:
    // A new one at the end of the list, as the add buttons make it: a plane of
    // 32 x 32 at 2.5, hidden; a billboard that then stands on every cell.
    static std::unique_ptr<PlaneListStep> Adding(PlaneKind kind);
    // The one with `id` deleted; `label` is its entry's name in the list,
    // shown again when the deletion is undone.
    static std::unique_ptr<PlaneListStep> Deleting(PlaneKind kind, int id, const std::string& label);

    // Deletes the object the step keeps.
    ~PlaneListStep() override;

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    std::size_t Bytes() const override;

private:
    PlaneListStep(PlaneKind kind, bool adding, int id, const std::string& label);
    PlaneListStep(const PlaneListStep&) = delete;
    PlaneListStep& operator=(const PlaneListStep&) = delete;

    void Insert(EditedMap& map);
    void Remove(EditedMap& map);

    PlaneKind m_kind;
    bool m_adding;
    int m_id;
    std::string m_label;
    // Owned while it is out of its list; null while it is in it.
    COxelD3DTerrainPlane* m_kept;
    // Made by the first Redo of an addition.
    COxelD3DTerrainPlane* m_object;
    // Whether the step is done now (false after Undo).
    bool m_done;
    // A new billboard stands on every cell: what they had before.
    std::vector<int> m_cellBillboards;
};
