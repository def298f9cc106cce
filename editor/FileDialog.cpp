#include "editor/FileDialog.h"

#include <commdlg.h>

#include <vector>

const FileType kBitmapFileType = {"Bitmap (*.BMP)\0*.BMP\0", "BMP"};
const FileType kDdsFileType = {"DirectDraw サーフェイス  (*.DDS)\0*.DDS\0", "DDS"};
const FileType kMapFileType = {"マップデータファイル (*.omd)\0*.omd\0", "omd"};
const FileType kHeightmapImageFileType = {
    "画像ファイル (*.png;*.bmp)\0*.png;*.bmp\0PNG (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0すべてのファイル (*.*)\0*.*\0",
    "png"};
const FileType kPngFileType = {"PNG (*.png)\0*.png\0", "png"};
const FileType kGlbFileType = {"glTF バイナリ (*.glb)\0*.glb\0", "glb"};

namespace {

// While it lives, the program's other windows are disabled, as a task-modal
// message box disables them: the editor's windows are owned by the preview,
// not by the dialog's owner, and would otherwise go on editing the map that
// the dialog is about to replace or save.
class ProgramWindowsDisabled {
public:
    ProgramWindowsDisabled() { EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this)); }
    ~ProgramWindowsDisabled()
    {
        for (HWND window : m_disabled) {
            EnableWindow(window, TRUE);
        }
    }
    ProgramWindowsDisabled(const ProgramWindowsDisabled&) = delete;
    ProgramWindowsDisabled& operator=(const ProgramWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self)
    {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<ProgramWindowsDisabled*>(self)->m_disabled.push_back(window);
        }
        return TRUE;
    }

    std::vector<HWND> m_disabled;
};

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

bool AskForFileToOpen(HWND owner, const FileType& type, const char* title, char* path, const char* folder)
{
    OPENFILENAMEA dialog = Describe(owner, type, title, path, OFN_FILEMUSTEXIST);
    dialog.lpstrInitialDir = folder;
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
