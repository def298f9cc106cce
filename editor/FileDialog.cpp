#include "editor/FileDialog.h"

#include "app/ProgramLanguage.h"
#include "app/ProgramText.h"
#include "editor/ProgramWindowsDisabled.h"
#include "io/AnsiPath.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <string>

const FileType kBitmapFileType = {IDS_FILTER_BITMAP, "BMP"};
const FileType kDdsFileType = {IDS_FILTER_DDS, "DDS"};
const FileType kMapFileType = {IDS_FILTER_MAP, "omd"};
const FileType kHeightmapImageFileType = {IDS_FILTER_HEIGHTMAP_IMAGE, "png"};
const FileType kPngFileType = {IDS_FILTER_PNG, "png"};
const FileType kGlbFileType = {IDS_FILTER_GLB, "glb"};

namespace {

// A text of the program's code page in UTF-16.
std::wstring Wide(const char* text)
{
    if (!text) {
        return std::wstring();
    }
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], size);
        // The count includes the terminating zero, which the string holds anyway.
        wide.pop_back();
    }
    return wide;
}

// The filter as the dialog takes it: zero-terminated strings, ending with
// an empty one. Split in UTF-16, where no character's second byte is a "|".
std::wstring Filter(UINT text)
{
    std::wstring filter = TextIn(text, ProgramLanguage());
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter + L'\0';
}

void Refuse(const std::string& path, const std::string& message)
{
    MessageBoxA(nullptr, (path + "\n" + message).c_str(), "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

// The dialogs are asked in UTF-16 and their answer converted exactly: the
// ANSI dialogs convert by best fit, and "café.png" would come back as
// "cafe.png", another file.
bool Ask(BOOL(WINAPI* ask)(OPENFILENAMEW*), HWND owner, const FileType& type, const char* title, char* path,
         DWORD flags, const char* folder = nullptr)
{
    path[0] = '\0';
    const std::wstring filter = Filter(type.filter);
    const std::wstring wideTitle = Wide(title);
    const std::wstring extension = Wide(type.defaultExtension);
    const std::wstring wideFolder = Wide(folder);
    wchar_t chosen[MAX_PATH] = L"";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    // Owned by the window the user worked in, so that it stays in front of the program.
    dialog.hwndOwner = owner ? owner : GetActiveWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title ? wideTitle.c_str() : nullptr;
    dialog.lpstrDefExt = type.defaultExtension ? extension.c_str() : nullptr;
    dialog.lpstrInitialDir = folder ? wideFolder.c_str() : nullptr;
    dialog.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    {
        ProgramWindowsDisabled modal;
        if (!ask(&dialog)) {
            return false;
        }
    }
    std::string exact;
    if (!ExactAnsiPath(chosen, &exact)) {
        Refuse(ShownAnsiPath(chosen), InexactPathMessage());
        return false;
    }
    if (exact.size() >= MAX_PATH) {
        Refuse(exact, Text(IDS_PATH_TOO_LONG));
        return false;
    }
    std::memcpy(path, exact.c_str(), exact.size() + 1);
    return true;
}

}  // namespace

bool AskForFileToOpen(HWND owner, const FileType& type, const char* title, char* path, const char* folder)
{
    return Ask(GetOpenFileNameW, owner, type, title, path, OFN_FILEMUSTEXIST, folder);
}

bool AskForFileToSave(HWND owner, const FileType& type, const char* title, char* path)
{
    // Saving makes new files: the file need not exist, only its folder. An
    // existing one is replaced only when the user says so.
    return Ask(GetSaveFileNameW, owner, type, title, path, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
}
