// libFuzzer target: any bytes either decode into a map that survives a save
// and a reload unchanged, or are refused with a reason; never a crash.
#include "io/MapFileFormat.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MapFileContents map;
    if (DecodeMapFile(data, size, &map) != MapFileError::None) {
        return 0;
    }
    const std::vector<unsigned char> saved = EncodeMapFile(map);
    MapFileContents reloaded;
    if (DecodeMapFile(saved.data(), saved.size(), &reloaded) != MapFileError::None || !(reloaded == map) ||
        EncodeMapFile(reloaded) != saved) {
        std::abort();
    }
    return 0;
}
