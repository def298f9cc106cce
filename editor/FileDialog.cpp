#include "editor/FileDialog.h"

#include "editor/ProgramWindowsDisabled.h"

#include <commdlg.h>

const FileType kBitmapFileType = {"Bitmap (*.BMP)\0*.BMP\0", "BMP"};
const FileType kDdsFileType = {"DirectDraw サーフェイス  (*.DDS)\0*.DDS\0", "DDS"};
const FileType kMapFileType = {"マップデータファイル (*.omd)\0*.omd\0", "omd"};
const FileType kHeightmapImageFileType = {
    "画像ファイル (*.png;*.bmp)\0*.png;*.bmp\0PNG (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0すべてのファイル (*.*)\0*.*\0",
    "png"};
const FileType kPngFileType = {"PNG (*.png)\0*.png\0", "png"};
const FileType kGlbFileType = {"glTF バイナリ (*.glb)\0*.glb\0", "glb"};

namespace {

OPENFILENAMEA Describe(HWND owner, const FileType& type, const char* title, char* path, DWORD flags)
{
    path[0] = '\0';
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    // Owned by the window the user worked in, so that it stays in front of the program.
    dialog.hwndOwner = owner ? owner : GetActiveWindow();
    dialog.lpstrFilter = type.filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = type.defaultExtension;
    dialog.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    return dialog;
}

}  // namespace

bool AskForFileToOpen(HWND owner, const FileType& type, const char* title, char* path)
{
    OPENFILENAMEA dialog = Describe(owner, type, title, path, OFN_FILEMUSTEXIST);
    ProgramWindowsDisabled modal;
    return GetOpenFileNameA(&dialog) != FALSE;
}

bool AskForFileToSave(HWND owner, const FileType& type, const char* title, char* path)
{
    // Saving makes new files: the file need not exist, only its folder. An
    // existing one is replaced only when the user says so.
    OPENFILENAMEA dialog = Describe(owner, type, title, path, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    ProgramWindowsDisabled modal;
    return GetSaveFileNameA(&dialog) != FALSE;
}
