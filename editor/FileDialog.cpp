#include "editor/FileDialog.h"

#include "editor/ProgramWindowsDisabled.h"
#include "io/AnsiPath.h"

#include <commdlg.h>

#include <cstring>
#include <string>

const FileType kBitmapFileType = {"Bitmap (*.BMP)\0*.BMP\0", "BMP"};
const FileType kDdsFileType = {"DirectDraw サーフェイス  (*.DDS)\0*.DDS\0", "DDS"};
const FileType kMapFileType = {"マップデータファイル (*.omd)\0*.omd\0", "omd"};
const FileType kHeightmapImageFileType = {
    "画像ファイル (*.png;*.bmp)\0*.png;*.bmp\0PNG (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0すべてのファイル (*.*)\0*.*\0",
    "png"};
const FileType kPngFileType = {"PNG (*.png)\0*.png\0", "png"};
const FileType kGlbFileType = {"glTF バイナリ (*.glb)\0*.glb\0", "glb"};

namespace {

const char kTooLongMessage[] =
    "ファイルのパスが長すぎるため、読み書きしませんでした。\n短い名前のフォルダーやファイルを選んでください。";

// A text of the program's code page in UTF-16: `length` bytes of it, zeros
// included, or up to its zero when no length is given.
std::wstring Wide(const char* text, int length = -1)
{
    if (!text) {
        return std::wstring();
    }
    const int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], size);
    }
    // A length of -1 counts the terminating zero, which the string holds anyway.
    if (length < 0 && !wide.empty()) {
        wide.pop_back();
    }
    return wide;
}

// The filter's bytes up to and including the zero of its empty last string.
int FilterLength(const char* filter)
{
    const char* end = filter;
    while (*end) {
        end += std::strlen(end) + 1;
    }
    return static_cast<int>(end - filter) + 1;
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
    const std::wstring filter = Wide(type.filter, FilterLength(type.filter));
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
        Refuse(exact, kTooLongMessage);
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
