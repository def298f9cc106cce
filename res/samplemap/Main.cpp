// Makes the sample map that comes with the program, data/island.omd, through
// the program's own map file writer.
//
//   quelmora_sample_map DATADIR           writes DATADIR\island.omd
//   quelmora_sample_map --check DATADIR   exits with 0 when DATADIR\island.omd is exactly what it writes
//
// scripts/sample-map runs it under Wine on the data folder.

#include "app/SampleMap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "res/samplemap/SampleIsland.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string PathIn(const char* folder)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path + kSampleMapName;
}

int Write(const std::string& path)
{
    if (!SaveMapFile(path.c_str(), MakeSampleIsland())) {
        std::fprintf(stderr, "quelmora_sample_map: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

// The committed map must be what this program makes, or a change to the
// island or to the editor's arithmetic has not been carried into data/.
int Check(const std::string& path)
{
    std::vector<unsigned char> found;
    if (ReadMapFileBytes(path.c_str(), &found) != MapFileError::None) {
        std::fprintf(stderr, "quelmora_sample_map: cannot read %s\n", path.c_str());
        return 1;
    }
    if (found != EncodeMapFile(MakeSampleIsland())) {
        std::fprintf(stderr, "quelmora_sample_map: %s is not what the tool makes (scripts/sample-map)\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string option = argc >= 2 ? argv[1] : "";
    if (argc == 2 && option.rfind("--", 0) != 0) {
        return Write(PathIn(argv[1]));
    }
    if (argc == 3 && option == "--check") {
        return Check(PathIn(argv[2]));
    }
    std::fprintf(stderr,
                 "usage: quelmora_sample_map DATADIR\n"
                 "       quelmora_sample_map --check DATADIR\n");
    return 2;
}
