#pragma once

#include <string>

// The sample map that comes with the program, "island.omd". Like the program's
// images it lies beside the executable in the zip, and in the current folder
// when the program is run from the source tree's data folder.

extern const char kSampleMapName[];

// Where the sample is: beside the program (in `programFolder`, ending in a
// backslash) when it is there, else in `currentFolder` (the same form) when it
// is there; empty when neither holds it.
std::string SampleMapPathIn(const std::string& programFolder, const std::string& currentFolder);

// What the message box says when SampleMapPathIn found no sample: the file's
// name and every place it looked, in its order, each once.
std::string MissingSampleMapMessage(const std::string& programFolder, const std::string& currentFolder);

// The current folder, ending in a backslash; empty when it cannot be read.
std::string CurrentFolder();
