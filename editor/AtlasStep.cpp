#include "editor/AtlasStep.h"

#include "app/SafeRelease.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <cstring>
#include <utility>

AtlasStep::AtlasStep(const char* path) : m_path(), m_loaded(false), m_kept(), m_keptMissingAtlas()
{
    CopyPath(m_path, sizeof m_path, path ? path : "");
}

AtlasStep::~AtlasStep()
{
    if (m_kept.image.loaded) {
        DeleteObject(m_kept.image.hBitmap);
    }
    SafeRelease(m_kept.texture);
}

void AtlasStep::Exchange(EditedMap& map)
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    if (map.missingAtlas) {
        char name[MAX_PATH];
        memcpy(name, map.missingAtlas, sizeof name);
        memcpy(map.missingAtlas, m_keptMissingAtlas, sizeof name);
        memcpy(m_keptMissingAtlas, name, sizeof name);
    }
    std::swap(m_kept.image, terrain.m_chipImage);
    std::swap(m_kept.rows, terrain.m_chipRows);
    std::swap(m_kept.rowRest, terrain.m_chipRowRest);
    std::swap(m_kept.columns, terrain.m_chipColumns);
    std::swap(m_kept.columnRest, terrain.m_chipColumnRest);
    std::swap(m_kept.texture, terrain.m_chipTexture);
}

void AtlasStep::Swap(EditedMap& map)
{
    Exchange(map);
    // The cells' texture coordinates follow the atlas's size.
    map.terrain->UpdateAllCellPictures();
}

bool AtlasStep::Redo(EditedMap& map)
{
    COxelD3DTerrainChipManager& terrain = *map.terrain;
    if (m_loaded) {
        Swap(map);
        return true;
    }
    // Read first: a file that is refused is reported while the map still has
    // its atlas, and nothing changes.
    HBITMAP bitmap = nullptr;
    IDirect3DTexture9* texture = nullptr;
    if (!terrain.ReadAtlas(m_path, &bitmap, &texture)) {
        return false;
    }
    // The current atlas moves into the step, so that taking the new one
    // neither deletes its bitmap nor releases its texture. A new atlas that
    // loads is the map's own: no name stands in for it any more.
    Exchange(map);
    terrain.AdoptAtlas(m_path, bitmap, texture);
    terrain.UpdateAllCellPictures();
    m_loaded = true;
    return true;
}

void AtlasStep::Undo(EditedMap& map)
{
    Swap(map);
}

MapChange AtlasStep::Changed() const
{
    return MapChange::Atlas();
}

std::size_t AtlasStep::Bytes() const
{
    // The bitmap at four bytes a pixel, and the texture with its smaller levels.
    const std::size_t pixels = static_cast<std::size_t>(m_kept.image.width) * m_kept.image.height;
    return sizeof *this + pixels * 4 + pixels * 4 * 4 / 3;
}
