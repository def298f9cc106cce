// Prints what each form of the command line costs on a 64 x 64 map with four
// visible planes: the whole run of quelmora.exe as a build step starts it
// (process start, reading the map, writing the output, exit), and the work
// alone inside this process.

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/MapImportExport.h"
#include "support/EditorSession.h"
#include "support/RunningProgram.h"
#include "support/ScratchFolder.h"
#include "support/Stopwatch.h"

#include <cstdio>
#include <string>

namespace {

const int kRepeats = 10;
const int kMapSize = 64;
const int kPlanes = 4;

void NoReport(const char*, const std::string&)
{
}

}  // namespace

int main()
{
    const ScratchFolder folder("quelmora_command_line_bench");
    const ScratchFolder console("quelmora_command_line_bench_console");
    const std::string map = folder.path() + "map.omd";
    const std::string heightmap = folder.path() + "heights.png";
    {
        EditorSession session;
        if (!session.okOrSaid()) {
            return 0;
        }
        session.MakeVariedMap(kMapSize, kPlanes, true);
        if (!session.editor().m_mapFile->Save(map.c_str()) ||
            !ExportHeightmap(&session.editor(), nullptr, heightmap.c_str())) {
            std::printf("the map could not be written to %s\n", folder.path().c_str());
            return 0;
        }
    }

    const struct {
        const char* what;
        std::string arguments;
        bool (*work)(const char*, const char*, FailureReport);
        std::string input;
        std::string output;
    } forms[] = {
        {"--export-gltf", "--export-gltf \"" + map + "\" \"" + folder.path() + "out.glb\"", ExportGltfOfMapFile, map,
         folder.path() + "work.glb"},
        {"--export-heightmap", "--export-heightmap \"" + map + "\" \"" + folder.path() + "out.png\"",
         ExportHeightmapOfMapFile, map, folder.path() + "work.png"},
        {"--export-picture", "--export-picture \"" + map + "\" \"" + folder.path() + "picture.png\"",
         ExportMapPictureOfMapFile, map, folder.path() + "work-picture.png"},
        {"--import-heightmap --size 64",
         "--import-heightmap \"" + heightmap + "\" \"" + folder.path() + "new.omd\" --size 64", nullptr, heightmap,
         folder.path() + "work.omd"},
        {"--help", "--help", nullptr, "", ""},
    };
    std::printf("Command line, %dx%d map with %d visible planes, %d runs (ms)\n", kMapSize, kMapSize, kPlanes,
                kRepeats);
    std::printf("%-40s %8s %8s\n", "", "median", "best");
    for (const auto& form : forms) {
        DWORD exitCode = 0;
        const RunTiming run = TimeRuns(kRepeats, [&] {
            exitCode |= RunProgramToEnd(form.arguments, console.path() + "console.txt").exitCode;
        });
        PrintTiming((std::string("quelmora.exe ") + form.what).c_str(), run, exitCode ? "(FAILED)" : "");
        if (form.work) {
            PrintTiming("  of which the work", TimeRuns(kRepeats, [&] {
                            form.work(form.input.c_str(), form.output.c_str(), NoReport);
                        }),
                        "");
        } else if (!form.input.empty()) {
            PrintTiming("  of which the work", TimeRuns(kRepeats, [&] {
                            NewMapFileFromHeightmap(form.input.c_str(), kMapSize, form.output.c_str(), NoReport);
                        }),
                        "");
        }
    }
    return 0;
}
