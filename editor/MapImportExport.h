#pragma once

#include <windows.h>

#include <string>

class COxelD3DTerrainEditor;

// The file menu's heightmap, glTF and picture commands. The file formats live
// in io/; these ask for a path (a null path asks the user, with `owner` as the
// dialog's owner), gather what the editor shows, and report the outcome. A
// failure shows a message box (caption "Error") and changes nothing: the map
// stays as it was, an existing file stays as it was. True when done; false
// when cancelled or refused.

// A greyscale picture becomes the map's heights, in one step.
bool ImportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// After the question about unsaved changes, a new map of the size
// MapSizeForPicture gives, its heights from a greyscale picture as the import
// above takes them. It has no history and counts as modified.
bool NewMapFromHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The heights as a 16-bit greyscale PNG of one pixel a vertex.
bool ExportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The terrain, its atlas, the visible planes and the billboards as a binary glTF file.
bool ExportGltf(COxelD3DTerrainEditor* editor, HWND owner, const char* path);
// The chip map from above as a PNG, 32 pixels a cell (fewer on the largest maps).
// It is made in steps while the windows keep answering; an export that lasts
// shows its progress in a window (see ProgressWindow), and "キャンセル" there
// ends it with nothing written and nothing said (false).
bool ExportMapPicture(COxelD3DTerrainEditor* editor, HWND owner, const char* path);

// How a command tells of a failure with `file`: the menu shows the message in
// a message box, the command line writes both to the console.
using FailureReport = void (*)(const char* file, const std::string& message);

// The same exports and the heightmap import for map files that are not open,
// without a window or a device (the command line). The map is read and checked
// as "開く(&O)" reads it, and the output is what the menu item writes once it
// is open: the same bytes, but for the pictures of planes and billboards,
// which are read from their files rather than from the preview's textures. An
// atlas the map names that cannot be read is reported and the built-in one
// stands in, as in the editor. Outputs go through a temporary file, replacing
// an existing one without a question; a failure is reported through `report`
// and leaves no output (an existing file stays as it was). True when written.
bool ExportHeightmapOfMapFile(const char* mapPath, const char* path, FailureReport report);
bool ExportGltfOfMapFile(const char* mapPath, const char* path, FailureReport report);
bool ExportMapPictureOfMapFile(const char* mapPath, const char* path, FailureReport report);
// A new size x size map, as "新規作成(&N)" then "ハイトマップの読み込み..."
// make it, saved to `mapPath`; a size of 0 takes MapSizeForPicture's.
bool NewMapFileFromHeightmap(const char* picturePath, int size, const char* mapPath, FailureReport report);
