#pragma once

#include "io/MapFileFormat.h"

// A valid map of size x size cells with the given numbers of planes and
// billboards, in which neighbouring fields hold different values, so that a
// field written or read at the wrong place shows. Plain C++: the fuzzer's seed
// writer uses it too.
MapFileContents SampleMap(int size, int planes, int billboards);
