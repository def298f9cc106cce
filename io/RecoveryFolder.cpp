#include "io/RecoveryFolder.h"

#include "io/AnsiPath.h"
#include "io/MapFileFormat.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

const char kNoteSection[] = "[Recovery]";
const char kMapFileKey[] = "MapFile=";
const char kTimeKey[] = "Time=";

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

std::string RecoveryFolderPath()
{
    PWSTR wide = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &wide))) {
        CoTaskMemFree(wide);
        return std::string();
    }
    // A folder name the code page cannot spell would come out with question
    // marks in it: another folder, or none.
    char narrow[MAX_PATH];
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, narrow, sizeof narrow, nullptr, &lossy);
    CoTaskMemFree(wide);
    if (length <= 1 || lossy) {
        return std::string();
    }
    std::string folder = std::string(narrow) + "\\Quelmora\\Recovery\\";
    // Room for the longest name kept there and the temporary files of a save.
    return folder.size() + 40 < MAX_PATH ? folder : std::string();
}

bool MakeFolderPath(const std::string& folder)
{
    const int result = SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

std::string EncodeRecoveryNote(const RecoveryNote& note)
{
    std::ostringstream text;
    text << kNoteSection << "\r\n" << kMapFileKey << note.mapFile << "\r\n" << kTimeKey << note.time << "\r\n";
    return text.str();
}

bool DecodeRecoveryNote(const std::string& text, RecoveryNote* note)
{
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || !StartsWith(line, kNoteSection)) {
        return false;
    }
    RecoveryNote read;
    bool hasTime = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (StartsWith(line, kMapFileKey)) {
            read.mapFile = line.substr(std::strlen(kMapFileKey));
            if (!read.mapFile.empty() && !IsPlausibleFilePath(read.mapFile.c_str())) {
                read.mapFile.clear();
            }
        } else if (StartsWith(line, kTimeKey)) {
            const std::string digits = line.substr(std::strlen(kTimeKey));
            char* end = nullptr;
            read.time = std::strtoull(digits.c_str(), &end, 10);
            hasTime = !digits.empty() && *end == '\0';
        }
    }
    if (!hasTime) {
        return false;
    }
    *note = read;
    return true;
}

HANDLE ClaimLock(const std::string& path)
{
    // No sharing at all: while its program runs, every other open fails. Not
    // even a stale file of a program that died is trusted: the open succeeds
    // exactly when no program holds it.
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

bool IsPlausibleFilePath(const char* path)
{
    const size_t length = strnlen(path, MAX_PATH);
    if (length < 4 || length >= MAX_PATH) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(path[i]) < 0x20) {
            return false;
        }
    }
    const bool drive =
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' && path[2] == '\\';
    // "\\server\share\...", but not the "\\.\" and "\\?\" of devices and raw names.
    const bool share = path[0] == '\\' && path[1] == '\\' && path[2] != '.' && path[2] != '?' && path[2] != '\\';
    if (!drive && !share) {
        return false;
    }
    const char* name = LastPathPart(path);
    return *name != '\0' && !IsRemoteOrDevicePath(name);
}
