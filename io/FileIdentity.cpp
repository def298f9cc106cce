#include "io/FileIdentity.h"

#include <windows.h>

namespace {

// The identity of an existing file or folder; false when it cannot be opened.
bool Identify(const char* path, BY_HANDLE_FILE_INFORMATION* info)
{
    // No access asked and every sharing allowed: a file that another program
    // holds open is still identified, and nothing is changed by looking.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL known = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return known != FALSE;
}

}  // namespace

bool IsSameFile(const char* first, const char* second)
{
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    return Identify(first, &a) && Identify(second, &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}
