#include "support/ProgramFiles.h"

#include "app/COxelSettingsFile.h"

#include <windows.h>

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
