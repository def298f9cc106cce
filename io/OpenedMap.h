#pragma once

#include "io/MapFileFormat.h"

#include <vector>

// A map as the editor holds it once "開く(&O)" has read its file: what the
// editor makes of the file, and what writes the editor's output without
// opening the map in the editor (the command line's exports) reads, so that
// each rule of a load is written once. Plain code: no window, device or disk.

// A plane's or billboard's extent in cells, along x and along z (which sets
// how often a repeated image shows).
struct QuadExtent {
    int width = 0;
    int depth = 0;
};

// The extent of every plane of a map of mapWidth x mapHeight cells, added or
// opened: 32 x 32, and from 128 cells a side the whole side, since water or a
// sea of cloud in one corner of a large map is of no use.
QuadExtent PlaneExtent(int mapWidth, int mapHeight);

// The extent of every billboard, on a map of any size: 32 x 32.
QuadExtent BillboardExtent();

// A map file's contents as opened: settled as below, with the extents its
// planes and its billboards take.
struct OpenedMap {
    MapFileContents map;
    QuadExtent planeExtent;
    QuadExtent billboardExtent;
};

// What a decoded, checked map file becomes once opened.
OpenedMap OpenMap(MapFileContents file);

// Brings a decoded file to what the editor makes of it. A file stores each
// vertex's height four times and the editor sets them in cell order, so the
// last one counts, kept within 0 .. 16; normals and bounding boxes then follow
// from the heights as the grid computes them. A turn of -1 is one quarter, a
// cell's billboard id that names no billboard is none, and the planes' flags
// are 0 or 1.
void SettleOpenedMap(MapFileContents* map);

// The height of every grid vertex of a settled map, heights[row * width + column].
std::vector<double> VertexHeights(const MapFileContents& map);

// Gives the cells of a width x height map the vertex heights `heights` (as
// VertexHeights lists them, kept within 0 .. 16) with the grid's smoothed
// normals and the quads' bounding boxes. `cells` holds width x height records;
// their chips, turns and billboards stay.
void SetCellSurfaces(const std::vector<double>& heights, int width, int height, std::vector<MapFileCell>* cells);

// A new map of width x height cells as "新規作成(&N)" makes it, with the
// built-in atlas, every cell chip 0 unturned, and then these vertex heights.
MapFileContents NewMapWithHeights(const std::vector<double>& heights, int width, int height);
