#pragma once

#include <cmath>
#include <vector>

// Index arithmetic of the map grid, the atlas and the quad tree; no device needed.

// Vertex heights are kept within these.
const double kLowestHeight = 0.0;
const double kHighestHeight = 16.0;

// How the grid takes a height: a value that is not a number is refused
// (false) and would otherwise spread through the normals; the rest is kept
// within kLowestHeight .. kHighestHeight.
inline bool TakeGridHeight(double value, double* height)
{
    if (!std::isfinite(value)) {
        return false;
    }
    *height = value < kLowestHeight ? kLowestHeight : value > kHighestHeight ? kHighestHeight : value;
    return true;
}

// Atlas tiles are square, this many pixels on a side.
const int kChipSize = 128;

// value reduced into 0 .. size - 1 (also for the -1 of a left or upper neighbour).
// Inline: every walk over the map's cells calls it.
inline int WrapIndex(int value, int size)
{
    const int wrapped = value % size;
    return wrapped < 0 ? wrapped + size : wrapped;
}

// The atlas rectangle of map chip `chip` in an atlas of `columns` whole tiles per
// row and width x height pixels, in texture units. The tile's left edge is at
// uLeft and its right edge one tile further; the same for top and bottom.
// An atlas without a whole tile (columns or height of 0) gives an empty rectangle at 0.
struct ChipTexRect {
    double uRight;
    double uLeft;
    double vTop;
    double vBottom;
};
ChipTexRect MapChipTexRect(int chip, int columns, int width, int height);

// Whole tiles and leftover pixels of an atlas side of `pixels` pixels.
struct TileCount {
    int tiles;
    int rest;
};
TileCount AtlasTileCount(int pixels);

// First cells of the four quarters of the block of w x h cells that starts at
// cell `start`, in a map `mapWidth` cells wide: the lower-row half first, then
// within it the lower-column half.
void QuadChildStarts(int start, int w, int h, int mapWidth, int starts[4]);

// The cells of a width x height map in the order in which the quad tree reaches
// its leaves: depth first, quarters in the order of QuadChildStarts. With the
// map sizes 16, 32 and 64 every block of the tree is then one contiguous range,
// so the visible cells form a few long runs. Cells that no leaf reaches (maps
// that are not square powers of two) follow in cell order; each cell appears once.
std::vector<int> QuadTreeLeafOrder(int width, int height);

// What the outside codes of a box's eight corners say about the box.
enum class BoxVisibility {
    Inside,      // every corner inside every plane
    Outside,     // all corners outside one and the same plane
    Straddling,  // anything else: the children must be tested
};
BoxVisibility ClassifyBoxCorners(const int outcodes[8]);
