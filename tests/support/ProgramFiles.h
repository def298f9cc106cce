#pragma once

#include <string>

// Paths beside the test executable, where the program under test and its
// settings file live too.
std::string ExecutableDirectory();
std::string SettingsFilePath();
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// How many of the twenty layout keys the settings file beside the executable holds.
int CountSavedSettingsKeys();
