#pragma once

#include <string>
#include <vector>

// What the program was asked to do by its command line. One parser serves the
// map to open at start and the forms that work without a window:
//
//   quelmora.exe                                    the editor, with the start map
//   quelmora.exe MAP.omd                            the editor, with that map open
//   quelmora.exe --export-gltf MAP.omd OUT.glb
//   quelmora.exe --export-heightmap MAP.omd OUT.png
//   quelmora.exe --export-picture MAP.omd OUT.png
//   quelmora.exe --import-heightmap PICTURE OUT.omd [--size N]
//   quelmora.exe --help  (or -h, /?)
struct CommandLine {
    enum Form {
        kEdit,
        kOpenMap,
        kExportGltf,
        kExportHeightmap,
        kExportPicture,
        kImportHeightmap,
        kHelp,
        kUsageError,
    };

    Form form = kEdit;
    // The map to open or read, or the picture to import.
    std::string input;
    std::string output;
    // The new map's size for the import: --size, or 0 for the size
    // "ハイトマップから新規作成..." chooses from the picture.
    int size = 0;
    // For kUsageError: what was wrong, one line in the program's code page.
    std::string error;
    // A file argument that has no exact form in the program's code page, as
    // ShownAnsiPath shows it; when set, nothing may be read or written, lest a
    // look-alike name another file.
    std::string inexactPath;

    // Whether the form runs without a window: the exports, the import and the help.
    bool RunsWithoutWindow() const;
};

// The usage text of --help, lines ending in "\n".
const char* CommandLineUsage();

// The arguments of a command line without its program name (WinMain's
// lpCmdLine), split as the C runtime splits them: blanks separate arguments
// outside double quotes; 2n backslashes before a quote give n and the quote
// opens or closes, 2n + 1 give n and a plain quote; other backslashes stay as
// they are. A double-byte character of the ANSI code page is kept whole, so a
// trail byte that looks like a backslash or a quote is part of its name.
std::vector<std::string> SplitCommandLine(const char* text);

// What the arguments ask for. Options are recognised anywhere; a help option
// wins over everything else; an argument that is not an option is a map to
// open when it is the only one.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What the program's whole command line as the system gives it (GetCommandLineW,
// the program's name first) asks for: split in UTF-16 as SplitCommandLine
// splits, each argument converted exactly to the program's code page, then
// parsed. An argument with no exact form makes a usage error or the help no
// different; otherwise it is inexactPath.
CommandLine ReadCommandLine(const wchar_t* commandLine);
