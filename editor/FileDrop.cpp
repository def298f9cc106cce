#include "editor/FileDrop.h"

#include "app/ProgramText.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapImportExport.h"
#include "io/AnsiPath.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

// The pictures the heightmap import reads, by what their names end with.
const char* const kPictureExtensions[] = {".png", ".bmp", ".jpg", ".jpeg", ".gif", ".tif", ".tiff"};

bool HasExtension(const char* path, const char* extension)
{
    return lstrcmpiA(PathFindExtensionA(path), extension) == 0;
}

// Whether `drop` is a file list in this process's memory that names at least
// one file, each name ending inside the block. A handle from another
// process's memory, a freed one or a damaged list is not: reading it would
// name whatever lies there.
bool IsReadableDrop(HDROP drop)
{
    const SIZE_T size = drop ? GlobalSize(drop) : 0;
    const auto* bytes = size >= sizeof(DROPFILES) ? static_cast<const unsigned char*>(GlobalLock(drop)) : nullptr;
    if (!bytes) {
        return false;
    }
    DROPFILES header;
    memcpy(&header, bytes, sizeof header);
    const SIZE_T unit = header.fWide ? sizeof(WCHAR) : 1;
    SIZE_T names = 0;
    SIZE_T length = 0;
    bool ended = false;
    for (SIZE_T at = header.pFiles; header.pFiles >= sizeof(DROPFILES) && at + unit <= size && !ended; at += unit) {
        const bool zero = bytes[at] == 0 && (unit == 1 || bytes[at + 1] == 0);
        // An empty name ends the list.
        ended = zero && length == 0;
        names += zero && length > 0 ? 1 : 0;
        length = zero ? 0 : length + 1;
    }
    GlobalUnlock(drop);
    return ended && names > 0;
}

void Refuse(const char* message)
{
    MessageBoxA(nullptr, message, "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

// The exact ANSI form of a dropped name into `path`; false when it has none.
// One too long for `path` is left empty, and is then refused as no file.
bool CopyExactPath(const wchar_t* wide, char (&path)[MAX_PATH])
{
    std::string exact;
    if (!ExactAnsiPath(wide, &exact)) {
        return false;
    }
    if (exact.size() < MAX_PATH) {
        std::memcpy(path, exact.c_str(), exact.size() + 1);
    }
    return true;
}

}  // namespace

void OpenDroppedFiles(COxelD3DTerrainEditor* editor, int index, HDROP drop)
{
    // In UTF-16, converted exactly: the ANSI name is made by best fit, and
    // "café.png" would come as "cafe.png", another file.
    const bool readable = IsReadableDrop(drop);
    const UINT count = readable ? DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    wchar_t wide[MAX_PATH] = L"";
    const UINT length = count == 1 ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
    const bool fits = length > 0 && length < MAX_PATH && DragQueryFileW(drop, 0, wide, MAX_PATH) == length;
    // A handle that is no block of this process (another process's memory,
    // or freed already) is not this process's to free either.
    if (drop && GlobalSize(drop) > 0) {
        DragFinish(drop);
    }
    if (!editor) {
        return;
    }
    if (!readable) {
        Refuse(Text(IDS_DROP_UNREADABLE));
        return;
    }
    if (count != 1) {
        Refuse(Text(IDS_DROP_SEVERAL_FILES));
        return;
    }
    char path[MAX_PATH] = "";
    if (fits && !CopyExactPath(wide, path)) {
        Refuse((ShownAnsiPath(wide) + "\n" + InexactPathMessage()).c_str());
        return;
    }
    const DWORD attributes = fits ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    const bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (file && HasExtension(path, ".omd")) {
        editor->OpenMapFile(path);
    } else if (file && index == kTextureWindow && HasExtension(path, ".bmp")) {
        editor->OpenTextureImage(path);
    } else if (file && index == kHeightWindow &&
               std::any_of(std::begin(kPictureExtensions), std::end(kPictureExtensions),
                           [&](const char* extension) { return HasExtension(path, extension); })) {
        ImportHeightmap(editor, editor->GetWindowHandle(kHeightWindow), path);
    } else {
        Refuse(Text(IDS_DROP_NOT_FOR_HERE));
    }
}
