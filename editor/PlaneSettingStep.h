#pragma once

#include "editor/MapStep.h"
#include "editor/PlaneLists.h"

#include <memory>

// A plane's height, tiling or visibility, or a billboard's tiling. The height
// slider's moves from press to release merge into one step.
class PlaneSettingStep : public MapStep {
public:
    static std::unique_ptr<PlaneSettingStep> Height(PlaneKind kind, int id, float height);
    // Flip the repeat-image flag, or the visibility.
    static std::unique_ptr<PlaneSettingStep> FlipRepeat(PlaneKind kind, int id);
    static std::unique_ptr<PlaneSettingStep> FlipVisible(PlaneKind kind, int id);

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    // Takes in a later height of the same plane.
    bool MergeWith(const MapStep& next) override;
    std::size_t Bytes() const override;

private:
    enum Action { kHeight, kFlipRepeat, kFlipVisible };
    struct Setting {
        float height;
        int repeat;
        int visible;
        bool operator==(const Setting& other) const
        {
            return height == other.height && repeat == other.repeat && visible == other.visible;
        }
    };

    PlaneSettingStep(PlaneKind kind, int id, Action action, float height);
    static Setting Read(const COxelD3DTerrainPlane& plane);
    void Write(COxelD3DTerrainPlane& plane, const Setting& setting) const;

    PlaneKind m_kind;
    int m_id;
    Action m_action;
    float m_height;
    bool m_done;
    Setting m_before;
    Setting m_after;
};
