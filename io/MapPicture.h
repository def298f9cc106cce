#pragma once

#include "io/ImageCodec.h"
#include "io/MapFileFormat.h"

#include <vector>

// The chip map from above as a picture: every cell its atlas tile, turned by
// its quarter turns, scaled to MapPictureCellPixels pixels a side, the map
// mirrored left to right as the map edit window shows it (picture column c is
// map column W - 1 - c, rows from the top).

// A picture stays within what image programs and graphics cards open.
const int kMapPictureMostPixels = 8192;

// 32 pixels a cell, halved as often as the larger side of the map needs to
// stay within kMapPictureMostPixels: 16 at 512 cells.
int MapPictureCellPixels(int width, int height);

// Where the chips lie in the atlas, as the 2D views cut it: `columns` x `rows`
// tiles of 128 pixels below `rowRest` leftover rows at the top.
struct AtlasLayout {
    int columns;
    int rows;
    int rowRest;
};

// Cells whose chip the atlas does not have are black.
BgraImage DrawMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout);

// DrawMapPicture as a PNG (MapPictureWriter in one go).
ImageError EncodeMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout,
                            std::vector<unsigned char>* png);
