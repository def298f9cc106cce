#pragma once

#include "editor/MapStep.h"
#include "editor/PlaneLists.h"

#include <windows.h>

#include <d3d9.h>

// A new image for a plane or billboard. The step keeps the image not in use
// (the old one while done, the new one while undone) with its file name, so
// that undo and redo swap them without reading the file again.
class PlaneImageStep : public MapStep {
public:
    PlaneImageStep(PlaneKind kind, int id, const char* path);
    // Releases the image it keeps.
    ~PlaneImageStep() override;

    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    std::size_t Bytes() const override;

private:
    PlaneImageStep(const PlaneImageStep&) = delete;
    PlaneImageStep& operator=(const PlaneImageStep&) = delete;

    void Swap(COxelD3DTerrainPlane& plane);

    PlaneKind m_kind;
    int m_id;
    bool m_loaded;
    char m_file[MAX_PATH];
    IDirect3DTexture9* m_texture;
};
