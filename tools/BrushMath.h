#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// The arithmetic of the painting tools, on a map that wraps at its edges like
// the grid; no window or device needed. Points are grid vertices for the
// height tools and cells for the chip tools: both are (column, row) pairs
// taken modulo the map size.

struct GridPoint {
    int column;
    int row;
    bool operator==(const GridPoint& other) const { return column == other.column && row == other.row; }
};

struct HeightChange {
    GridPoint vertex;
    double height;
    bool operator==(const HeightChange& other) const { return vertex == other.vertex && height == other.height; }
};

using HeightAt = std::function<double(int column, int row)>;
// Whether cell (column, row) belongs to the region a fill spreads over.
using CellMatches = std::function<bool(int column, int row)>;

// The squares of a size x size brush centred on `centre`, wrapped into the
// map, row by row from the top left. A brush wider than the map covers each
// square once.
std::vector<GridPoint> BrushFootprint(GridPoint centre, int size, int mapWidth, int mapHeight);

// The share of the centre's raise or lower that a vertex `dx`, `dy` away from
// the centre gets: 1 at the centre, then falling linearly with the square ring
// the vertex lies on, max(|dx|, |dy|), so that the outermost ring of an n x n
// brush gets 1 / (n / 2 + 1). 0 outside the brush.
double BrushFalloff(int dx, int dy, int size);

// The heights a raise (`step` > 0) or lower (`step` < 0) gives the brush's
// vertices: each moves by step x falloff, within 0..16. Vertices that keep
// their height are left out.
std::vector<HeightChange> RaiseLowerHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                            int mapHeight, double step);

// Each vertex of the brush moves `strength` (0..1) of the way towards the mean
// of its eight neighbours, all read before any moves. A flat map stays flat.
std::vector<HeightChange> SmoothHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                        int mapHeight, double strength);

// Every vertex of the brush takes `level` (kept within 0..16).
std::vector<HeightChange> FlattenHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                         int mapHeight, double level);

// The cells connected to `start` through shared edges, across the map's edges,
// that match; `start` itself is taken to match. In row order, each row from
// column 0.
std::vector<GridPoint> FloodFillRegion(const CellMatches& matches, GridPoint start, int mapWidth, int mapHeight);

// The squares of a view of `columns` x `rows` squares, each `squareWidth` x
// `squareHeight` pixels, that the pointer passes moving in a straight line from
// pixel `from` to pixel `to`: every square the segment touches, in order, from
// the one under `from` to the one under `to`, each once, neighbours sharing an
// edge. Squares outside the view are left out.
std::vector<GridPoint> SquaresAlongSegment(POINT from, POINT to, int squareWidth, int squareHeight, int columns,
                                           int rows);
