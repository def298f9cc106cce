#pragma once

#include "io/MapPicture.h"

// The map picture drawn the plain way, pixel by pixel, as the export first
// drew it: what the faster drawing must give exactly, and the "before" of the
// benchmark.
BgraImage ReferenceMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout);
