#pragma once

#include <string>

// Text between UTF-8, in which the program keeps what users name in files of
// their own (terrain names), the ANSI code page of its menus and settings file,
// and UTF-16.

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
// A character the code page lacks becomes "?", which no name holds.
std::string AnsiFromUtf8(const std::string& text);
std::string Utf8FromAnsi(const std::string& text);
// A text file's bytes as UTF-8: as they are when they are UTF-8 (a byte order
// mark dropped), else read in the ANSI code page, as Notepad once saved.
std::string Utf8FromFileText(const std::string& bytes);
