#pragma once

#include "io/MapFileFormat.h"

// The sample map that comes with the program: a low island framed by the
// preview's start view, with a beach ring, grass, rock on its heights, trees
// on some of its grass, and two islets; a water plane over a sea of 128 x 128
// cells. Built as a user builds a map, with the editor's own brush, smoothing,
// flattening and fill arithmetic, so it shows what the tools make; its atlas
// is the one with terrains, and the edges between beach, grass, rock and
// water are its transitions.

// How the sample is laid out; the tests read its content against these.
const int kSampleIslandSize = 128;
const float kSampleIslandWaterLevel = 2.0f;
// Chips of the built-in atlas that the sample uses, besides the transitions.
const int kSampleChipGrass = 0;
const int kSampleChipLushGrass = 1;
const int kSampleChipFlowers = 3;
const int kSampleChipSand = 15;
const int kSampleChipGravel = 16;
const int kSampleChipRock = 17;
const int kSampleChipShallowWater = 27;
const int kSampleChipDeepWater = 28;

// The whole map, the same bytes on every run.
MapFileContents MakeSampleIsland();
