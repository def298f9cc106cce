#pragma once

#include <windows.h>

#include <vector>

class COxelD3DTerrainEditor;
struct MapFileContents;
struct OpenedMap;

// Saves the map being edited to a .omd file and opens one in its place: the
// map size, atlas, cells, planes and billboards. Keeps nothing between calls
// but the editor it works for.
class COxelMapDataFile {
public:
    // `editor` is not owned; the editor owns this object.
    explicit COxelMapDataFile(COxelD3DTerrainEditor* editor);

    // Writes the map to `path`; a null path asks for the file first. True when
    // the map was written, and then its path goes to `savedPath` (MAX_PATH
    // bytes) when one is given. A file that cannot be written is reported and
    // left as it was.
    bool Save(const char* path, char* savedPath = nullptr);
    // Asks for a map file, then about unsaved changes, and loads it. 0 when it
    // was loaded or the user cancelled; E_FAIL when the file was refused. Only a loaded file's path
    // goes to `pathOut` (MAX_PATH bytes), when one is given. The dialog starts
    // in `folder` when one is given.
    HRESULT Open(char* pathOut, const char* folder = nullptr);
    // Open once the file is chosen: loads `path`, and only when it was loaded
    // copies its full path to `pathOut` (MAX_PATH bytes), when one is given.
    HRESULT OpenPath(const char* path, char* pathOut);
    // Loads the map file at `path` in place of the map. A file that is not a
    // whole, sound map file is reported and changes nothing (E_FAIL). E_ABORT
    // when a command replaced the map while the load waited on a message box:
    // the load stops and that map stays.
    HRESULT Load(const char* path);

    // The map as the editor, the terrain and the scene hold it now, as a file
    // would keep it; false when there is no map.
    bool Gather(MapFileContents* map) const;

    COxelD3DTerrainEditor* m_editor;

private:
    COxelMapDataFile(const COxelMapDataFile&) = delete;
    COxelMapDataFile& operator=(const COxelMapDataFile&) = delete;

    // Replaces the map by an opened file's and brings the windows up to
    // date; false when another map took its place on the way.
    bool Apply(const OpenedMap& opened);
    // Adds the opened map's billboards with their images, extents and repeat
    // flags, then puts each cell's billboard back. Image names that
    // IsRemoteOrDevicePath refuses go to `refused`.
    void RestoreBillboards(const OpenedMap& opened, std::vector<const char*>* refused);
};
