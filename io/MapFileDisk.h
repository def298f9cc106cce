#pragma once

#include "io/MapFileFormat.h"

#include <cstddef>
#include <vector>

// Map files on disk: whole-file reads that never create a file, and saves that
// leave either the old file or the whole new one, never a mix.

// Reading refuses anything larger: the largest map file, 512 x 512 cells with
// as many planes and billboards as a file may list, is 33.6 MB.
const std::size_t kMaxMapFileBytes = 64u << 20;

// The whole of an existing file of at most `limit` bytes. CannotOpen, TooLarge
// or CannotRead on failure, with *bytes left as it was.
MapFileError ReadFileBytes(const char* path, unsigned long long limit, std::vector<unsigned char>* bytes);

// ReadFileBytes of at most kMaxMapFileBytes.
MapFileError ReadMapFileBytes(const char* path, std::vector<unsigned char>* bytes);

// Writes the bytes to a new temporary file beside path, flushes it to the disk,
// then puts it in path's place in one step; an existing file keeps its
// attributes, security and streams. On any failure the file at path is as it
// was, the temporary is gone, and the result is false, with the system's error
// code of the failure left for GetLastError.
bool WriteFileSafely(const char* path, const void* data, std::size_t size);

// ReadMapFileBytes, then DecodeMapFile; *map changes only on success.
MapFileError LoadMapFile(const char* path, MapFileContents* map);

// EncodeMapFile, then WriteFileSafely. False, writing nothing, for a map that
// DecodeMapFile would refuse to read back.
bool SaveMapFile(const char* path, const MapFileContents& map);

// What the message box (caption "Error") says when a map file was not opened,
// in the program's code page; wrong magic gives the file version message.
const char* MapFileErrorMessage(MapFileError error);

// What the message box (caption "Error") says when a save failed.
const char* MapNotSavedMessage();
