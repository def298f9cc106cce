#pragma once

#include <windows.h>

// The kinds of file the editor's dialogs offer: the filter (the number of a
// text of pairs of a name and its patterns, each followed by "|") and the
// extension a bare name gets.
struct FileType {
    UINT filter;
    const char* defaultExtension;
};

extern const FileType kBitmapFileType;
extern const FileType kDdsFileType;
extern const FileType kMapFileType;
extern const FileType kHeightmapImageFileType;
extern const FileType kPngFileType;
extern const FileType kGlbFileType;

// The common dialogs as every window of the editor uses them: modal to the
// whole program, owned by `owner` or else the active window. The current
// directory is left alone: the program reads its own images by name from it.
// `path` holds MAX_PATH bytes; false when the user cancels, or (having said
// why) when the chosen name has no exact form in the program's code page or
// is too long for it. The open dialog starts in `folder` when one is given.
bool AskForFileToOpen(HWND owner, const FileType& type, const char* title, char* path, const char* folder = nullptr);
// Asks before an existing file is replaced.
bool AskForFileToSave(HWND owner, const FileType& type, const char* title, char* path);
