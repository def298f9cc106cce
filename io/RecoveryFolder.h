#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// The folder where unsaved maps wait out a crash, and the small files beside
// each copy, without windows. A copy "<stem>.omd" has a note "<stem>.ini"
// naming the map's own file and the time it was written, and a lock
// "<stem>.lock" that its program holds open while it runs.

// "%LOCALAPPDATA%\Quelmora\Recovery\", from the shell's known folder, ending
// in a backslash; empty when the system has no such folder or its name does
// not fit the program's code page.
std::string RecoveryFolderPath();

// Makes the folder and any folder above it that is missing; true when it
// exists as a folder. False, with the system's error code left for
// GetLastError, when it cannot be made (a file in its place gives
// ERROR_ALREADY_EXISTS).
bool MakeFolderPath(const std::string& folder);

// What the note beside a copy says.
struct RecoveryNote {
    // The map's own file, empty for a map that has never been saved or opened.
    std::string mapFile;
    // When the copy was written, as a FILETIME in UTC.
    unsigned long long time = 0;
};

std::string EncodeRecoveryNote(const RecoveryNote& note);
// False, with *note unchanged, for text that is not a note: a map file that is
// not a plausible path counts as none, so a damaged note never names a device.
bool DecodeRecoveryNote(const std::string& text, RecoveryNote* note);

// Opens the lock file at `path`, making it if needed, so that no other program
// can open it while the handle lives; the file goes when the handle is closed,
// or when its program ends however it ends. INVALID_HANDLE_VALUE when a
// running program holds it.
HANDLE ClaimLock(const std::string& path);

// An absolute path (a drive or a network share) of a file: short enough for a
// file name buffer, without control characters, naming no device. What a list
// or note kept on disk may name for the program to open or write.
bool IsPlausibleFilePath(const char* path);

// Copies that the user declined, and damaged ones, are not deleted at once:
// an answer given in haste can be taken back for a week, through
// "以前の復元用コピーを開く...". They wait in "<recovery folder>Declined\",
// renamed after their map and the time they were written, each with its note;
// a declined copy's time on disk is when it was declined.
std::string DeclinedFolderPath(const std::string& recoveryFolder);
// FILETIME units (100 ns) in seven days, and how many copies are kept at most.
const unsigned long long kDeclinedKeepTime = 7ull * 24 * 60 * 60 * 10000000;
const std::size_t kDeclinedKeepCount = 20;

// The name, without extension, of a declined copy of the map `mapFile` (a
// path, empty for a map without a file) written at local time `written`:
// "island 2026-12-08 10.15", "名前のないマップ 2026-12-08 10.15". The map's name
// is shortened, never inside a double-byte character, so the whole name
// takes at most `room` bytes.
std::string DeclinedCopyStem(const std::string& mapFile, const SYSTEMTIME& written, std::size_t room);
// Of declined copies declined at `times` (FILETIME), the indexes, ascending,
// of those to remove at `now`: every one older than kDeclinedKeepTime, and
// all but the newest kDeclinedKeepCount.
std::vector<std::size_t> DeclinedCopiesToRemove(const std::vector<unsigned long long>& times, unsigned long long now);
// Moves the copy "<stem>.omd" in `recoveryFolder` and its note among the
// declined copies at `now` (FILETIME). False when it could not be moved: it
// then stays where it was.
bool DeclineCopy(const std::string& recoveryFolder, const std::string& stem, unsigned long long now);
// Whether `path` (a full path) names a file directly in the declined folder of `recoveryFolder`.
bool IsDeclinedCopy(const std::string& path, const std::string& recoveryFolder);
// The note beside the copy at `copyPath` ("<stem>.omd"); false when it has
// none that can be read.
bool ReadNoteOfCopy(const std::string& copyPath, RecoveryNote* note);
// Removes the declined copies DeclinedCopiesToRemove names, with their notes.
void PruneDeclinedCopies(const std::string& recoveryFolder, unsigned long long now);
