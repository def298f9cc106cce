#include "tools/BrushMath.h"

#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const double kLowest = 0.0;
const double kHighest = 16.0;

double ClampHeight(double height)
{
    return std::min(kHighest, std::max(kLowest, height));
}

// Calls `visit(point, dx, dy)` for each square of the brush once.
template <typename Visit>
void ForEachBrushSquare(GridPoint centre, int size, int mapWidth, int mapHeight, Visit visit)
{
    const int radius = std::max(size, 1) / 2;
    std::vector<char> seen;
    const bool mayRepeat = 2 * radius + 1 > mapWidth || 2 * radius + 1 > mapHeight;
    if (mayRepeat) {
        seen.assign(static_cast<size_t>(mapWidth) * mapHeight, 0);
    }
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const GridPoint point = {WrapIndex(centre.column + dx, mapWidth), WrapIndex(centre.row + dy, mapHeight)};
            if (mayRepeat) {
                char& visited = seen[static_cast<size_t>(point.row) * mapWidth + point.column];
                if (visited) {
                    continue;
                }
                visited = 1;
            }
            visit(point, dx, dy);
        }
    }
}

// Where a coordinate lies along a view's axis, in whole squares, kept inside the view.
int SquareOf(double position, int squarePixels, int count)
{
    const int square = static_cast<int>(std::floor(position / squarePixels));
    return std::min(count - 1, std::max(0, square));
}

}  // namespace

std::vector<GridPoint> BrushFootprint(GridPoint centre, int size, int mapWidth, int mapHeight)
{
    std::vector<GridPoint> squares;
    ForEachBrushSquare(centre, size, mapWidth, mapHeight, [&](GridPoint point, int, int) { squares.push_back(point); });
    return squares;
}

double BrushFalloff(int dx, int dy, int size)
{
    const int radius = std::max(size, 1) / 2;
    const int ring = std::max(std::abs(dx), std::abs(dy));
    if (ring > radius) {
        return 0.0;
    }
    return static_cast<double>(radius + 1 - ring) / (radius + 1);
}

std::vector<HeightChange> RaiseLowerHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                            int mapHeight, double step)
{
    std::vector<HeightChange> changes;
    ForEachBrushSquare(centre, size, mapWidth, mapHeight, [&](GridPoint vertex, int dx, int dy) {
        const double old = heightAt(vertex.column, vertex.row);
        const double height = ClampHeight(old + step * BrushFalloff(dx, dy, size));
        if (height != old) {
            changes.push_back(HeightChange{vertex, height});
        }
    });
    return changes;
}

std::vector<HeightChange> SmoothHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                        int mapHeight, double strength)
{
    std::vector<HeightChange> changes;
    ForEachBrushSquare(centre, size, mapWidth, mapHeight, [&](GridPoint vertex, int, int) {
        double sum = 0.0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx || dy) {
                    sum += heightAt(WrapIndex(vertex.column + dx, mapWidth), WrapIndex(vertex.row + dy, mapHeight));
                }
            }
        }
        const double old = heightAt(vertex.column, vertex.row);
        const double height = ClampHeight(old + strength * (sum / 8.0 - old));
        if (height != old) {
            changes.push_back(HeightChange{vertex, height});
        }
    });
    return changes;
}

std::vector<HeightChange> FlattenHeights(const HeightAt& heightAt, GridPoint centre, int size, int mapWidth,
                                         int mapHeight, double level)
{
    const double height = ClampHeight(level);
    std::vector<HeightChange> changes;
    ForEachBrushSquare(centre, size, mapWidth, mapHeight, [&](GridPoint vertex, int, int) {
        if (heightAt(vertex.column, vertex.row) != height) {
            changes.push_back(HeightChange{vertex, height});
        }
    });
    return changes;
}

std::vector<GridPoint> FloodFillRegion(const CellMatches& matches, GridPoint start, int mapWidth, int mapHeight)
{
    std::vector<GridPoint> region;
    if (mapWidth <= 0 || mapHeight <= 0) {
        return region;
    }
    // Runs along rows, each seeding the runs that touch it above and below:
    // the map is read a row at a time, not in a widening diamond, which on a
    // large map is the difference between streaming its cells and missing the
    // cache on nearly every one. Each cell is asked whether it matches once.
    enum : char { kUnasked, kInRegion, kMatches, kOther };
    std::vector<char> state(static_cast<size_t>(mapWidth) * mapHeight, kUnasked);
    const auto joins = [&](char* row, int column, int rowIndex) {
        if (row[column] == kUnasked) {
            row[column] = matches(column, rowIndex) ? kMatches : kOther;
        }
        return row[column] == kMatches;
    };
    const GridPoint first = {WrapIndex(start.column, mapWidth), WrapIndex(start.row, mapHeight)};
    state[static_cast<size_t>(first.row) * mapWidth + first.column] = kMatches;
    std::vector<GridPoint> seeds = {first};
    while (!seeds.empty()) {
        const GridPoint seed = seeds.back();
        seeds.pop_back();
        char* row = &state[static_cast<size_t>(seed.row) * mapWidth];
        if (row[seed.column] != kMatches) {
            continue;
        }
        row[seed.column] = kInRegion;
        // The run may go round the map's edge, but holds a row at most.
        int left = seed.column;
        int length = 1;
        for (int column = WrapIndex(left - 1, mapWidth); length < mapWidth && joins(row, column, seed.row);
             column = WrapIndex(column - 1, mapWidth)) {
            row[column] = kInRegion;
            left = column;
            ++length;
        }
        for (int column = WrapIndex(seed.column + 1, mapWidth); length < mapWidth && joins(row, column, seed.row);
             column = WrapIndex(column + 1, mapWidth)) {
            row[column] = kInRegion;
            ++length;
        }
        for (const int step : {-1, 1}) {
            const int next = WrapIndex(seed.row + step, mapHeight);
            char* nextRow = &state[static_cast<size_t>(next) * mapWidth];
            bool inRun = false;
            for (int k = 0; k < length; ++k) {
                const int column = (left + k) % mapWidth;
                const bool open = joins(nextRow, column, next);
                if (open && !inRun) {
                    seeds.push_back(GridPoint{column, next});
                }
                inRun = open;
            }
        }
    }
    for (int row = 0; row < mapHeight; ++row) {
        for (int column = 0; column < mapWidth; ++column) {
            if (state[static_cast<size_t>(row) * mapWidth + column] == kInRegion) {
                region.push_back(GridPoint{column, row});
            }
        }
    }
    return region;
}

std::vector<GridPoint> SquaresAlongSegment(POINT from, POINT to, int squareWidth, int squareHeight, int columns,
                                           int rows)
{
    std::vector<GridPoint> squares;
    if (squareWidth <= 0 || squareHeight <= 0 || columns <= 0 || rows <= 0) {
        return squares;
    }
    // Through the pixels' centres, cut to the part that lies over the view.
    const double x0 = from.x + 0.5;
    const double y0 = from.y + 0.5;
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double right = static_cast<double>(columns) * squareWidth;
    const double bottom = static_cast<double>(rows) * squareHeight;
    double enter = 0.0;
    double leave = 1.0;
    const auto keep = [&](double direction, double room) {
        if (direction == 0.0) {
            return room >= 0.0;
        }
        const double t = room / direction;
        if (direction < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
        return enter <= leave;
    };
    if (!keep(-dx, x0) || !keep(dx, right - x0) || !keep(-dy, y0) || !keep(dy, bottom - y0)) {
        return squares;
    }
    const double startX = x0 + enter * dx;
    const double startY = y0 + enter * dy;
    const double endX = x0 + leave * dx;
    const double endY = y0 + leave * dy;
    GridPoint square = {SquareOf(startX, squareWidth, columns), SquareOf(startY, squareHeight, rows)};
    const GridPoint last = {SquareOf(endX, squareWidth, columns), SquareOf(endY, squareHeight, rows)};

    // Walks square by square: at each step, across whichever edge of the
    // current square the segment reaches first.
    const int stepX = last.column > square.column ? 1 : -1;
    const int stepY = last.row > square.row ? 1 : -1;
    const double spanX = std::fabs(endX - startX);
    const double spanY = std::fabs(endY - startY);
    const auto edgeAfter = [](double position, int square, int step, int pixels) {
        return step > 0 ? (square + 1) * static_cast<double>(pixels) - position : position - square * pixels;
    };
    double nextX = spanX > 0.0 ? edgeAfter(startX, square.column, stepX, squareWidth) / spanX : HUGE_VAL;
    double nextY = spanY > 0.0 ? edgeAfter(startY, square.row, stepY, squareHeight) / spanY : HUGE_VAL;
    squares.push_back(square);
    while (!(square == last)) {
        const bool alongX = square.row == last.row || (square.column != last.column && nextX <= nextY);
        if (alongX) {
            square.column += stepX;
            nextX += squareWidth / spanX;
        } else {
            square.row += stepY;
            nextY += squareHeight / spanY;
        }
        squares.push_back(square);
    }
    return squares;
}
