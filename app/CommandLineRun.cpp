#include "app/CommandLineRun.h"

#include "app/CommandLine.h"
#include "app/D3DXRuntime.h"
#include "app/ProgramText.h"
#include "editor/MapImportExport.h"
#include "io/AnsiPath.h"
#include "io/FileIdentity.h"
#include "io/MapFileDisk.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Every file the form reads: its input and, for the glTF file and the map
// picture, the atlas the map names, and for the glTF file the pictures of its
// visible planes and of its billboards. Names the exports refuse to open are
// left out.
std::vector<std::string> FilesRead(const CommandLine& command)
{
    std::vector<std::string> names = {command.input};
    MapFileContents map;
    const bool gltf = command.form == CommandLine::kExportGltf;
    if ((!gltf && command.form != CommandLine::kExportPicture) ||
        LoadMapFile(command.input.c_str(), &map) != MapFileError::None) {
        return names;
    }
    names.push_back(map.atlasFile);
    for (size_t i = 0; gltf && i < map.planes.size(); ++i) {
        if (map.planes[i].visible) {
            names.push_back(map.planes[i].textureFile);
        }
    }
    for (size_t i = 0; gltf && i < map.billboards.size(); ++i) {
        names.push_back(map.billboards[i].textureFile);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return IsRemoteOrDevicePath(name.c_str()); }),
                names.end());
    return names;
}

// The handle messages go to: the one the program was given (a pipe or a file
// in a build), else the console of the process that started it.
HANDLE OutputHandle(DWORD which)
{
    HANDLE given = GetStdHandle(which);
    if (given && given != INVALID_HANDLE_VALUE) {
        return given;
    }
    // A GUI program gets no console of its own; AttachConsole fails when the
    // parent has none (started from Explorer), and then nothing is written.
    static HANDLE console = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        }
    }
    return console != INVALID_HANDLE_VALUE ? console : nullptr;
}

void Write(DWORD which, const std::string& text)
{
    HANDLE handle = OutputHandle(which);
    DWORD written = 0;
    if (handle && !text.empty()) {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

// "\n" as the console and Windows' text files end lines.
std::string WithCrLf(const std::string& text)
{
    std::string lines;
    for (char c : text) {
        if (c == '\n') {
            lines += '\r';
        }
        lines += c;
    }
    return lines;
}

void Report(const char* file, const std::string& message)
{
    ReportToConsole((std::string(file) + ": " + message).c_str());
}

}  // namespace

std::string ConsoleLine(const char* message)
{
    // Japanese runs its sentences on without a space: a break after "。" goes
    // away, any other becomes one space. The walk keeps double-byte characters
    // whole, so a trail byte is never taken for half a full stop.
    static const char kFullStop[] = "。";
    std::string line;
    bool dropBreak = false;
    for (const char* p = message; *p; ++p) {
        if (*p == '\n' || *p == '\r') {
            if (!dropBreak) {
                line += ' ';
                dropBreak = true;  // one space for "\r\n" or a blank line
            }
            continue;
        }
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) {
            dropBreak = p[0] == kFullStop[0] && p[1] == kFullStop[1];
            line.append(p, 2);
            ++p;
            continue;
        }
        dropBreak = false;
        line += *p;
    }
    return line;
}

void ReportToConsole(const char* message)
{
    Write(STD_ERROR_HANDLE, ConsoleLine(message) + "\r\n");
}

int RunWithoutWindow(const CommandLine& command)
{
    const char* input = command.input.c_str();
    const char* output = command.output.c_str();
    bool done = false;
    switch (command.form) {
    case CommandLine::kHelp:
        Write(STD_OUTPUT_HANDLE, WithCrLf(CommandLineUsage()));
        return kExitDone;
    case CommandLine::kUsageError:
        ReportToConsole(command.error.c_str());
        ReportToConsole(Text(IDS_USAGE_SEE_HELP));
        return kExitUsageError;
    default:
        break;
    }
    if (!command.inexactPath.empty()) {
        Report(command.inexactPath.c_str(), InexactPathMessage());
        return kExitFailed;
    }
    // The output replaces its file whole, so an output that is a file read
    // would lose that file for good.
    for (const std::string& read : FilesRead(command)) {
        if (IsSameFile(read.c_str(), output)) {
            Report(output, Text(IDS_OUTPUT_IS_INPUT));
            return kExitFailed;
        }
    }
    // The grid's normals are D3DX's arithmetic, as in the editor.
    if (!LoadD3DXRuntime()) {
        ReportToConsole(MissingD3DXRuntimeText());
        return kExitFailed;
    }
    switch (command.form) {
    case CommandLine::kExportGltf:
        done = ExportGltfOfMapFile(input, output, Report);
        break;
    case CommandLine::kExportHeightmap:
        done = ExportHeightmapOfMapFile(input, output, Report);
        break;
    case CommandLine::kExportPicture:
        done = ExportMapPictureOfMapFile(input, output, Report);
        break;
    case CommandLine::kImportHeightmap:
        done = NewMapFileFromHeightmap(input, command.size, output, Report);
        break;
    default:
        return kExitUsageError;
    }
    return done ? kExitDone : kExitFailed;
}
