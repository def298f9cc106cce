#pragma once

#include <windows.h>

class COxelD3DTerrainEditor;

// The file menu's heightmap, glTF and picture commands. The file formats live
// in io/; these ask for a path (a null path asks the user, with `owner` as the
// dialog's owner), gather what the editor shows, and report the outcome. A
// failure shows a message box (caption "Error") and changes nothing: the map
// stays as it was, an existing file stays as it was. True when done; false
// when cancelled or refused.

// A greyscale picture becomes the map's heights, in one step.
bool ImportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The heights as a 16-bit greyscale PNG of one pixel a vertex.
bool ExportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The terrain, its atlas and the visible planes as a binary glTF file.
bool ExportGltf(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The chip map from above as a PNG, 32 pixels a cell.
bool ExportMapPicture(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
