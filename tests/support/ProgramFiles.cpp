#include "support/ProgramFiles.h"

#include "app/COxelSettingsFile.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>

std::string ExecutableDirectory()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of("\\/") + 1);
}

std::string SettingsFilePath()
{
    return ExecutableDirectory() + "Quelmora.ini";
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FileNames(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

int CountSavedSettingsKeys()
{
    int count = 0;
    for (int i = 0; i < COxelSettingsFile::kValueCount; ++i) {
        char text[32] = {};
        GetPrivateProfileStringA(COxelSettingsFile::Section(i), COxelSettingsFile::Key(i), "", text, sizeof text,
                                 SettingsFilePath().c_str());
        count += text[0] != '\0';
    }
    return count;
}

std::wstring WideText(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size())));
    return wide.c_str();
}
