#pragma once

#include <windows.h>

#include <cstring>

// The resource name of the built-in atlas, which is also the file name a map
// records for it.
const char kBuiltInAtlasName[] = "IDB_MAPCHIP";
// The built-in atlas with terrains: the same chips, with the transitions
// between the main ground terrains below them. Named in a map the same way.
const char kTerrainAtlasName[] = "IDB_TERRAINCHIP";

// Whether a map's atlas name names one of the program's own atlases rather than a file.
inline bool IsBuiltInAtlas(const char* name)
{
    return std::strcmp(name, kBuiltInAtlasName) == 0 || std::strcmp(name, kTerrainAtlasName) == 0;
}

// The map-chip atlas as a GDI bitmap, for the editor's 2D windows. Zeroed before
// every load.
struct ChipImageInfo {
    // "IDB_MAPCHIP" or "IDB_TERRAINCHIP" for a built-in atlas, otherwise the BMP file's path.
    char fileName[262];
    int width;
    int height;
    // 1 while hBitmap holds a bitmap.
    int loaded;
    HBITMAP hBitmap;
    BITMAP bitmap;
};
