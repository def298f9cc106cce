#pragma once

#include "editor/MapStep.h"
#include "terrain/ChipImageInfo.h"

#include <d3d9.h>

// A new map-chip atlas from a BMP file. The step keeps the atlas that is not
// in use (the old one while done, the new one while undone), both as the GDI
// bitmap and as the texture, so that undo and redo swap them without reading
// any file again.
class AtlasStep : public MapStep {
public:
    explicit AtlasStep(const char* path);
    // Frees the atlas the step keeps.
    ~AtlasStep() override;

    // The first call loads the file; one that cannot be read is reported by
    // the chip manager, and the atlas stays as it was.
    bool Redo(EditedMap& map) override;
    void Undo(EditedMap& map) override;
    MapChange Changed() const override;
    std::size_t Bytes() const override;

private:
    AtlasStep(const AtlasStep&) = delete;
    AtlasStep& operator=(const AtlasStep&) = delete;

    // An atlas as the chip manager holds it.
    struct Atlas {
        ChipImageInfo image;
        int rows;
        int rowRest;
        int columns;
        int columnRest;
        IDirect3DTexture9* texture;
    };

    // Trades the kept atlas for the map's; Swap also rewrites every cell for
    // the atlas now in use.
    void Exchange(EditedMap& map);
    void Swap(EditedMap& map);

    char m_path[MAX_PATH];
    bool m_loaded;
    Atlas m_kept;
    // The name a loaded map gave an atlas it could not have, kept with the
    // atlas that stood in for it.
    char m_keptMissingAtlas[MAX_PATH];
};
