#pragma once

#include <string>

// Paths in the ANSI code page, the one the program's own texts and files use.
// A path comes from the system (the command line, a file dialog, a drop) in
// UTF-16 and enters the program only through ExactAnsiPath. Names are taken
// apart through NextPathCharacter, which keeps a double-byte character whole:
// the second byte of "表" or "ソ" in code page 932 is 0x5C, a backslash.

// `path` in the ANSI code page, character for character; false when it has no
// such form. A character the code page lacks would otherwise become a
// look-alike ("é" an "e", "¥" a backslash) and name another file, or a file in
// another folder.
bool ExactAnsiPath(const wchar_t* path, std::string* ansi);

// `path` as a message shows it: in the ANSI code page, each character the code
// page lacks shown as "?", which no file name holds.
std::string ShownAnsiPath(const wchar_t* path);

// What a message says of a path that has no exact form, after its name.
std::string InexactPathMessage();

// The character after the one `p` points at: two bytes on for a double-byte
// character, one otherwise; `p` itself at the terminating zero.
const char* NextPathCharacter(const char* p);

// The last part of `path`: what follows its last backslash or slash, or the
// drive of a bare "C:name"; `path` itself when it has neither.
const char* LastPathPart(const char* path);

// Whether a file name from a map file names something other than a file on
// this machine: a network path (\\host\share, //host/share), a device or
// raw path (\\.\, \\?\) or a reserved device name (CON, NUL, COM1, ...,
// with or without a folder or an extension). Opening such a name may wait on
// the network or a device for ever, or reach files the user never chose, so
// the loader refuses them.
bool IsRemoteOrDevicePath(const char* name);
