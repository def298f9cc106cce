#include "support/ScratchFolder.h"

#include <windows.h>

#include <algorithm>

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
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((m_path + "*").c_str(), &found);
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

void ScratchFolder::Clear() const
{
    // Read-only files too: some tests make the files they save over read-only.
    for (const std::string& name : Files()) {
        SetFileAttributesA((m_path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((m_path + name).c_str());
    }
    RemoveDirectoryA(m_path.c_str());
}
