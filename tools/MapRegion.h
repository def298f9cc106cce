#pragma once

#include "editor/CellStep.h"
#include "tools/BrushMath.h"

#include <cstddef>
#include <vector>

class COxelD3DTerrainChipManager;

// A rectangle of the map as the 2D windows show it: mirrored left to right,
// rows from the top. Its top-left cell is the one with the largest grid
// column and the smallest row; view column i of it is grid column
// topLeft.column - i and view row j is grid row topLeft.row + j, both wrapped
// round the map's edges as the map wraps.
struct MapRect {
    GridPoint topLeft;
    int columns;
    int rows;

    bool Empty() const { return columns <= 0 || rows <= 0; }
    // Whether grid cell `cell` (wrapped into a width x height map) lies in it.
    bool Contains(GridPoint cell, int width, int height) const;
};

// The grid cell at view offset (i, j) from top-left cell `topLeft`, and the
// grid vertex at view offset (k, l) from the top-left corner of that cell:
// the cell's corners are vertex columns topLeft.column + 1 (its left, as the
// views show it) and topLeft.column. Neither is wrapped.
GridPoint RegionCell(GridPoint topLeft, int i, int j);
GridPoint RegionVertex(GridPoint topLeft, int k, int l);

// What a copy holds of a rectangle: its (columns + 1) x (rows + 1) vertex
// heights and its columns x rows cells (chip, turn, billboard), each row by
// row from the top, each row from the left as the views show it.
struct MapRegion {
    int columns = 0;
    int rows = 0;
    std::vector<double> heights;
    std::vector<CellState> cells;

    double Height(int k, int l) const { return heights[static_cast<std::size_t>(l) * (columns + 1) + k]; }
    const CellState& Cell(int i, int j) const { return cells[static_cast<std::size_t>(j) * columns + i]; }
    double Lowest() const;
};

// The rectangle `rect` of the map, wrapping round its edges.
MapRegion CopyRegion(const COxelD3DTerrainChipManager& terrain, const MapRect& rect);
// The region as it looks turned a quarter clockwise in the views: rows become
// columns, and every cell's chip turns a quarter further (as the texture
// mapping window's right click turns it), so the ground looks the same turned.
MapRegion TurnedClockwise(const MapRegion& region);
// The region with every height moved by `rise` (kept within the grid's 0..16).
MapRegion Raised(const MapRegion& region, double rise);

// The bytes the clipboard carries: a header naming the format and the
// region's size, then the heights and the cells. DecodeRegion takes bytes from
// any program, so it refuses (false) anything but a whole, well-formed region
// of at most 512 x 512 cells whose heights are finite, turns 0..3, chips not
// negative and billboards -1 or more.
std::vector<unsigned char> EncodeRegion(const MapRegion& region);
bool DecodeRegion(const unsigned char* bytes, std::size_t size, MapRegion* region);
