#include "support/ScratchFolder.h"

#include "support/ProgramFiles.h"

#include <windows.h>


ScratchFolder::ScratchFolder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + name + "\\";
    Clear();
    CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    Clear();
}

std::vector<std::string> ScratchFolder::Files() const
{
    return FileNames(m_path, "*");
}

void ScratchFolder::Clear() const
{
    // Read-only files too: some tests make the files they save over read-only.
    for (const std::string& name : Files()) {
        SetFileAttributesA((m_path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((m_path + name).c_str());
    }
    RemoveDirectoryA(m_path.c_str());
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
