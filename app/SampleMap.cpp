#include "app/SampleMap.h"

#include "app/ProgramImages.h"
#include "app/ProgramText.h"
#include "io/AnsiPath.h"

#include <windows.h>

const char kSampleMapName[] = "island.omd";

std::string SampleMapPathIn(const std::string& programFolder, const std::string& currentFolder)
{
    for (const std::string* folder : {&programFolder, &currentFolder}) {
        if (!folder->empty() && IsFile(*folder + kSampleMapName)) {
            return *folder + kSampleMapName;
        }
    }
    return std::string();
}

std::string MissingSampleMapMessage(const std::string& programFolder, const std::string& currentFolder)
{
    std::string text = FormatText(IDS_SAMPLE_MAP_MISSING, kSampleMapName);
    if (!programFolder.empty()) {
        text += "    " + programFolder + kSampleMapName + "\n";
    }
    // Started from its own folder, the program would name the same place twice.
    if (!currentFolder.empty() && lstrcmpiA(programFolder.c_str(), currentFolder.c_str()) != 0) {
        text += "    " + currentFolder + kSampleMapName + "\n";
    }
    return text + Text(IDS_SAMPLE_MAP_PUT_BESIDE);
}

std::string CurrentFolder()
{
    wchar_t wide[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, wide);
    std::string path;
    // A folder the code page cannot spell would come out as another folder.
    if (length == 0 || length >= MAX_PATH - 1 || !ExactAnsiPath(wide, &path) || path.empty()) {
        return std::string();
    }
    // A root (C:\) ends in its backslash already; the last byte alone could be half of a character.
    if (*LastPathPart(path.c_str()) != '\0') {
        path += '\\';
    }
    return path;
}
