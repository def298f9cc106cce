#pragma once

#include <string>

// The images the program brings with it: "effect.dds" (the walls of the map's
// border and of the cursor), "planetexture.dds" (new planes and billboards) and
// "billboard.dds" (new billboards). The code and the maps name them bare. They
// lie beside the executable, where they are looked for first; then in the
// current folder, where they were always looked for, so that a folder of
// one's own images still works. A program started by a shortcut or a script
// with another working folder so still finds its own.

// Whether `name` is one of them, as a bare name, in any case.
bool IsProgramImageName(const char* name);
// Whether `path` names a file (not a folder).
bool IsFile(const std::string& path);

// The executable's folder, ending in a backslash, from its UTF-16 name; empty
// when that name has no exact form in the program's code page.
std::string ProgramFolder();
// Where to read `name` from: for a program image, the file of that name in
// `programFolder` when there is one, else `name` itself (the current
// folder's). Every other name is returned as it is.
std::string ProgramImagePathIn(const char* name, const std::string& programFolder);
// ProgramImagePathIn with ProgramFolder().
std::string ProgramImagePath(const char* name);
// At start, once: names in one message every program image that cannot be
// read as an image, with the places it was looked for. Later failures to load
// one leave the plane or wall untextured without a word.
void ReportUnreadableProgramImages();
