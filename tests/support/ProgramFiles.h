#pragma once

#include <string>
#include <vector>

// Paths beside the test executable, where the program under test and its
// settings file live too.
std::string ExecutableDirectory();
std::string SettingsFilePath();
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// The names of the files in `folder` (ending in a backslash) that match
// `pattern` ("*.omd"), sorted.
std::vector<std::string> FileNames(const std::string& folder, const char* pattern);
// How many of the twenty layout keys the settings file beside the executable holds.
int CountSavedSettingsKeys();
// A text (a path, a command line) of the program's code page in UTF-16, for
// the system's wide functions that a test drives as the system does.
std::wstring WideText(const std::string& text);
