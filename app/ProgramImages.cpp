#include "app/ProgramImages.h"

#include "app/ProgramText.h"
#include "io/AnsiPath.h"

#include <windows.h>

#include <d3dx9.h>

#include <iterator>
#include <vector>

namespace {

const struct {
    const char* name;
    UINT shows;
} kProgramImages[] = {
    {"effect.dds", IDS_IMAGE_SHOWS_EFFECT},
    {"planetexture.dds", IDS_IMAGE_SHOWS_PLANE},
    {"billboard.dds", IDS_IMAGE_SHOWS_BILLBOARD},
};

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

bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProgramFolder()
{
    // Asked once: the executable does not move while it runs.
    static const std::string folder = [] {
        wchar_t wide[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, wide, MAX_PATH);
        std::string path;
        // A name the code page cannot spell would come out as another folder's.
        if (length == 0 || length >= MAX_PATH || !ExactAnsiPath(wide, &path)) {
            return std::string();
        }
        return path.substr(0, LastPathPart(path.c_str()) - path.c_str());
    }();
    return folder;
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
        text += FormatText(IDS_IMAGE_LOOKED_FOR, image.name, Text(image.shows));
        for (const std::string& place : places) {
            text += "    " + place + "\n";
        }
    }
    if (!text.empty()) {
        const std::string message = Text(IDS_IMAGES_UNREADABLE) + text + Text(IDS_IMAGES_PUT_BESIDE);
        MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
    }
}
