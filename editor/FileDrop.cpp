#include "editor/FileDrop.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/MapImportExport.h"

#include <shlwapi.h>

#include <algorithm>
#include <iterator>

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

}  // namespace

void OpenDroppedFiles(COxelD3DTerrainEditor* editor, int index, HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    char path[MAX_PATH] = "";
    const UINT length = count == 1 ? DragQueryFileA(drop, 0, nullptr, 0) : 0;
    const bool fits = length > 0 && length < MAX_PATH && DragQueryFileA(drop, 0, path, MAX_PATH) == length;
    DragFinish(drop);
    if (!editor) {
        return;
    }
    if (count != 1) {
        Refuse(kSeveralFiles);
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
