#include "io/RecoveryFolder.h"

#include "app/ProgramText.h"
#include "io/AnsiPath.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <sstream>

namespace {

const char kNoteSection[] = "[Recovery]";
const char kMapFileKey[] = "MapFile=";
const char kTimeKey[] = "Time=";

const char kDeclinedFolder[] = "Declined\\";

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

unsigned long long ToNumber(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(unsigned long long time)
{
    return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

// Where the file name of `path` starts and where its extension does (the
// path's end when it has none), read a character at a time: a trail byte
// 0x5C of a double-byte character is no separator.
void SplitName(const std::string& path, size_t* nameStart, size_t* extension)
{
    *nameStart = 0;
    size_t dot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < path.size()) {
            ++i;
        } else if (c == '\\' || c == '/' || c == ':') {
            *nameStart = i + 1;
            dot = std::string::npos;
        } else if (c == '.') {
            dot = i;
        }
    }
    *extension = dot != std::string::npos && dot > *nameStart ? dot : path.size();
}

// The map's file name without its folder and extension.
std::string MapTitle(const std::string& mapFile)
{
    size_t nameStart = 0;
    size_t extension = 0;
    SplitName(mapFile, &nameStart, &extension);
    return mapFile.substr(nameStart, extension - nameStart);
}

// The longest start of `text` of at most `bytes` bytes that ends between characters.
std::string Shortened(const std::string& text, size_t bytes)
{
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + (IsDBCSLeadByte(static_cast<BYTE>(text[end])) && end + 1 < text.size() ? 2 : 1);
        if (next > bytes) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

bool ReadNote(const std::string& stemPath, RecoveryNote* note)
{
    std::vector<unsigned char> bytes;
    return ReadMapFileBytes((stemPath + ".ini").c_str(), &bytes) == MapFileError::None &&
           DecodeRecoveryNote(std::string(bytes.begin(), bytes.end()), note);
}

// The time of a copy: its note's, or else the time the file was last written.
unsigned long long CopyTime(const std::string& stemPath, RecoveryNote* note)
{
    if (ReadNote(stemPath, note)) {
        return note->time;
    }
    *note = RecoveryNote();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA((stemPath + ".omd").c_str(), GetFileExInfoStandard, &data)) {
        note->time = ToNumber(data.ftLastWriteTime);
    }
    return note->time;
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
    std::string name = folder;
    while (!name.empty() && (name.back() == '\\' || name.back() == '/')) {
        name.pop_back();
    }
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return true;
    }
    // A file with the folder's name is said to exist, or the path not to be
    // found, depending on the system: the user is to hear that a file is in the way.
    SetLastError(attributes != INVALID_FILE_ATTRIBUTES ? static_cast<DWORD>(ERROR_ALREADY_EXISTS)
                 : result != ERROR_SUCCESS            ? static_cast<DWORD>(result)
                                                      : static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    return false;
}

std::string DeclinedFolderPath(const std::string& recoveryFolder)
{
    return recoveryFolder.empty() ? std::string() : recoveryFolder + kDeclinedFolder;
}

std::string DeclinedCopyStem(const std::string& mapFile, const SYSTEMTIME& written, size_t room)
{
    char time[32];
    snprintf(time, sizeof time, " %04u-%02u-%02u %02u.%02u", written.wYear, written.wMonth, written.wDay,
             written.wHour, written.wMinute);
    std::string title = MapTitle(mapFile);
    if (title.empty()) {
        title = Text(IDS_UNNAMED_MAP);
    }
    const size_t timeLength = std::strlen(time);
    if (room <= timeLength) {
        return Shortened(time + 1, room);
    }
    return Shortened(title, room - timeLength) + time;
}

std::vector<size_t> DeclinedCopiesToRemove(const std::vector<unsigned long long>& times, unsigned long long now)
{
    std::vector<size_t> newestFirst(times.size());
    std::iota(newestFirst.begin(), newestFirst.end(), size_t{0});
    std::stable_sort(newestFirst.begin(), newestFirst.end(), [&](size_t a, size_t b) { return times[a] > times[b]; });
    std::vector<size_t> removed;
    for (size_t rank = 0; rank < newestFirst.size(); ++rank) {
        const unsigned long long time = times[newestFirst[rank]];
        // A time ahead of the clock (the clock was set back) counts as now.
        const unsigned long long age = now > time ? now - time : 0;
        if (rank >= kDeclinedKeepCount || age > kDeclinedKeepTime) {
            removed.push_back(newestFirst[rank]);
        }
    }
    std::sort(removed.begin(), removed.end());
    return removed;
}

bool DeclineCopy(const std::string& recoveryFolder, const std::string& stem, unsigned long long now)
{
    const std::string declined = DeclinedFolderPath(recoveryFolder);
    if (declined.empty() || !MakeFolderPath(declined)) {
        return false;
    }
    const std::string from = recoveryFolder + stem;
    RecoveryNote note;
    const FILETIME written = ToFileTime(CopyTime(from, &note));
    FILETIME local;
    SYSTEMTIME parts = {};
    if (FileTimeToLocalFileTime(&written, &local)) {
        FileTimeToSystemTime(&local, &parts);
    }
    // Room for the folder, a number that tells apart copies of one map and
    // minute, and the extension.
    const char kNumberRoom[] = " (99).omd";
    if (declined.size() + sizeof kNumberRoom >= MAX_PATH) {
        return false;
    }
    const std::string base = DeclinedCopyStem(note.mapFile, parts, MAX_PATH - declined.size() - sizeof kNumberRoom);
    std::string to;
    for (int number = 1;; ++number) {
        to = declined + base + (number > 1 ? " (" + std::to_string(number) + ")" : std::string());
        // Never over another declined copy.
        if (MoveFileExA((from + ".omd").c_str(), (to + ".omd").c_str(), MOVEFILE_COPY_ALLOWED)) {
            break;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) || number == 99) {
            return false;
        }
    }
    if (!MoveFileExA((from + ".ini").c_str(), (to + ".ini").c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        DeleteFileA((from + ".ini").c_str());
    }
    // The week it is kept starts now, whenever the copy was written.
    HANDLE file = CreateFileA((to + ".omd").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const FILETIME declinedAt = ToFileTime(now);
        SetFileTime(file, nullptr, nullptr, &declinedAt);
        CloseHandle(file);
    }
    return true;
}

bool IsDeclinedCopy(const std::string& path, const std::string& recoveryFolder)
{
    const std::string declined = DeclinedFolderPath(recoveryFolder);
    size_t nameStart = 0;
    size_t extension = 0;
    SplitName(path, &nameStart, &extension);
    return !declined.empty() && nameStart < path.size() &&
           lstrcmpiA(path.substr(0, nameStart).c_str(), declined.c_str()) == 0;
}

bool ReadNoteOfCopy(const std::string& copyPath, RecoveryNote* note)
{
    size_t nameStart = 0;
    size_t extension = 0;
    SplitName(copyPath, &nameStart, &extension);
    return ReadNote(copyPath.substr(0, extension), note);
}

void PruneDeclinedCopies(const std::string& recoveryFolder, unsigned long long now)
{
    const std::string declined = DeclinedFolderPath(recoveryFolder);
    if (declined.empty()) {
        return;
    }
    std::vector<std::string> stems;
    std::vector<unsigned long long> times;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((declined + "*.omd").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = entry.cFileName;
        // A short name can match the pattern for a longer extension.
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 4 &&
            lstrcmpiA(name.c_str() + name.size() - 4, ".omd") == 0) {
            stems.push_back(name.substr(0, name.size() - 4));
            times.push_back(ToNumber(entry.ftLastWriteTime));
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    for (size_t index : DeclinedCopiesToRemove(times, now)) {
        DeleteFileA((declined + stems[index] + ".omd").c_str());
        DeleteFileA((declined + stems[index] + ".ini").c_str());
    }
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
