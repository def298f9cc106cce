#include "editor/FileDrop.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapImportExport.h"
#include "io/AnsiPath.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

namespace {

const char kSeveralFiles[] =
    "ドロップできるファイルは一度に一つだけです。\n開くファイルを一つだけドロップしてください。";
const char kNotForHere[] =
    "このファイルはここにドロップしても開けません。\n"
    "・マップデータファイル（*.omd）は、どのウィンドウにもドロップできます。\n"
    "・画像ファイル（PNG、BMP など）は、ハイトマップとして HeightEditor ウィンドウにドロップできます。\n"
    "・BMP ファイルは、テクスチャ画像として Texture ウィンドウにドロップできます。";

// The pictures the heightmap import reads, by what their names end with.
const char* const kPictureExtensions[] = {".png", ".bmp", ".jpg", ".jpeg", ".gif", ".tif", ".tiff"};

bool HasExtension(const char* path, const char* extension)
{
    return lstrcmpiA(PathFindExtensionA(path), extension) == 0;
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
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    wchar_t wide[MAX_PATH] = L"";
    const UINT length = count == 1 ? DragQueryFileW(drop, 0, nullptr, 0) : 0;
    const bool fits = length > 0 && length < MAX_PATH && DragQueryFileW(drop, 0, wide, MAX_PATH) == length;
    DragFinish(drop);
    if (!editor) {
        return;
    }
    if (count != 1) {
        Refuse(kSeveralFiles);
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
        Refuse(kNotForHere);
    }
}
