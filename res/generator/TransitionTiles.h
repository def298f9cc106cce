#pragma once

// The chips that join two ground terrains, for painting terrain by the corners of cells. For each pair of
// terrains there are four: the first terrain holds one corner, one side (two corners), two opposite corners, or
// all corners but one, and the second terrain the rest. Turned by quarter turns they cover every way the two can
// share a cell's corners. Along each side of a chip the join depends on nothing but the terrains at that side's
// two corners, so neighbouring cells meet without a seam whichever of these chips and turns they use.

#include "Raster.h"

#include <vector>

constexpr int kTransitionPairs = 8;
constexpr int kTransitionKinds = 4;

// The joins, four to a pair in the order above, blended from the atlas's own chips (DrawAtlasChips).
std::vector<Image> DrawTransitionChips(const std::vector<Image>& atlasChips);
