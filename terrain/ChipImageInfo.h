#pragma once

#include <windows.h>

// The resource name of the built-in atlas, which is also the file name a map
// records for it.
const char kBuiltInAtlasName[] = "IDB_MAPCHIP";

// The map-chip atlas as a GDI bitmap, for the editor's 2D windows. Zeroed before
// every load.
struct ChipImageInfo {
    // "IDB_MAPCHIP" for the built-in atlas, otherwise the BMP file's path.
    char fileName[262];
    int width;
    int height;
    // 1 while hBitmap holds a bitmap.
    int loaded;
    HBITMAP hBitmap;
    BITMAP bitmap;
};
