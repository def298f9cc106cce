#pragma once

#include <string>

struct CommandLine;

// Exit codes of the forms that run without a window.
enum CommandLineExit {
    kExitDone = 0,        // the output was written (or the help shown)
    kExitFailed = 1,      // an input was bad or the output could not be written
    kExitUsageError = 2,  // an unknown option or a missing argument
};

// Does what a command line that RunsWithoutWindow asks, with no window and no
// Direct3D device, and returns the process's exit code. Messages go to the
// standard output or error the program was given, else to the console of the
// process that started it, one line each; with neither they go nowhere.
int RunWithoutWindow(const CommandLine& command);

// A message as one console line: a line break after "。" is dropped, as
// Japanese puts no space between sentences; any other run of breaks becomes
// one space.
std::string ConsoleLine(const char* message);

// Writes one message, as RunWithoutWindow does, to the error output, as
// ConsoleLine makes it.
void ReportToConsole(const char* message);
