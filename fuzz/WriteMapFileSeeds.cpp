// Writes the fuzzer's starting corpus: small valid map files with and without
// planes and billboards. Usage: write_map_file_seeds <folder>
#include "io/MapFileFormat.h"
#include "support/SampleMaps.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const int counts[][2] = {{0, 0}, {1, 0}, {0, 1}, {2, 3}, {4, 4}};
    for (const auto& count : counts) {
        const std::vector<unsigned char> bytes = EncodeMapFile(SampleMap(16, count[0], count[1]));
        const std::string path =
            std::string(argv[1]) + "/map16_p" + std::to_string(count[0]) + "_b" + std::to_string(count[1]) + ".omd";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
