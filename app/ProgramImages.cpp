#include "app/ProgramImages.h"

#include <windows.h>

#include <d3dx9.h>

#include <iterator>
#include <vector>

namespace {

const struct {
    const char* name;
    const char* shows;
} kProgramImages[] = {
    {"effect.dds", "マップ境界とカーソル位置の表示"},
    {"planetexture.dds", "新しい平面とビルボード"},
    {"billboard.dds", "新しいビルボード"},
};

const char kUnreadableImages[] = "プログラムに付属する次の画像を読み込めませんでした。画像なしで表示されます。\n";
const char kLookedIn[] = "探した場所：\n";
const char kPutBeside[] = "\n画像をプログラム（quelmora.exe）と同じフォルダーに置いてください。";

bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const char* name)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(name, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full) : std::string(name);
}

}  // namespace

bool IsProgramImageName(const char* name)
{
    if (!name) {
        return false;
    }
    for (const auto& image : kProgramImages) {
        if (lstrcmpiA(name, image.name) == 0) {
            return true;
        }
    }
    return false;
}

std::string ProgramFolder()
{
    wchar_t wide[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    // A name the code page cannot spell would come out as another folder's.
    char narrow[MAX_PATH];
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, narrow, sizeof narrow, nullptr, &lossy) <= 0 ||
        lossy) {
        return std::string();
    }
    // Cut after the last separator, reading double-byte characters whole.
    size_t nameStart = 0;
    for (size_t i = 0; narrow[i]; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(narrow[i])) && narrow[i + 1]) {
            ++i;
        } else if (narrow[i] == '\\' || narrow[i] == '/') {
            nameStart = i + 1;
        }
    }
    return std::string(narrow, nameStart);
}

std::string ProgramImagePathIn(const char* name, const std::string& programFolder)
{
    if (!name) {
        return std::string();
    }
    if (IsProgramImageName(name) && !programFolder.empty() && IsFile(programFolder + name)) {
        return programFolder + name;
    }
    return name;
}

std::string ProgramImagePath(const char* name)
{
    return ProgramImagePathIn(name, ProgramFolder());
}

void ReportUnreadableProgramImages()
{
    const std::string folder = ProgramFolder();
    std::string text;
    for (const auto& image : kProgramImages) {
        D3DXIMAGE_INFO info;
        if (SUCCEEDED(D3DXGetImageInfoFromFileA(ProgramImagePathIn(image.name, folder).c_str(), &info))) {
            continue;
        }
        std::vector<std::string> places;
        if (!folder.empty()) {
            places.push_back(folder + image.name);
        }
        const std::string current = FullPath(image.name);
        if (places.empty() || lstrcmpiA(places[0].c_str(), current.c_str()) != 0) {
            places.push_back(current);
        }
        text += std::string("\n「") + image.name + "」（" + image.shows + "）\n" + kLookedIn;
        for (const std::string& place : places) {
            text += "    " + place + "\n";
        }
    }
    if (!text.empty()) {
        const std::string message = kUnreadableImages + text + kPutBeside;
        MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
    }
}
