#pragma once

#include <windows.h>

#include <string>

// The folder where unsaved maps wait out a crash, and the small files beside
// each copy, without windows. A copy "<stem>.omd" has a note "<stem>.ini"
// naming the map's own file and the time it was written, and a lock
// "<stem>.lock" that its program holds open while it runs.

// "%LOCALAPPDATA%\Quelmora\Recovery\", from the shell's known folder, ending
// in a backslash; empty when the system has no such folder or its name does
// not fit the program's code page.
std::string RecoveryFolderPath();

// Makes the folder and any folder above it that is missing; true when it exists.
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
