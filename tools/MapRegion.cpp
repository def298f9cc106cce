#include "tools/MapRegion.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// The clipboard's bytes are read on any machine the program runs on, so every
// field is written byte by byte, little-endian, whatever the compiler lays out.
const unsigned char kMagic[4] = {'Q', 'M', 'R', 'G'};
const std::uint32_t kVersion = 1;
const std::size_t kHeaderBytes = 16;
const std::size_t kHeightBytes = 8;
const std::size_t kCellBytes = 12;
const int kLargestSide = 512;

static_assert(sizeof(double) == kHeightBytes && std::numeric_limits<double>::is_iec559,
              "heights travel as IEEE 754 doubles");

void PutUint32(std::vector<unsigned char>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void PutInt32(std::vector<unsigned char>& bytes, int value)
{
    PutUint32(bytes, static_cast<std::uint32_t>(value));
}

void PutDouble(std::vector<unsigned char>& bytes, double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8) {
        bytes.push_back(static_cast<unsigned char>(bits >> shift));
    }
}

std::uint32_t GetUint32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

int GetInt32(const unsigned char* bytes)
{
    // Through a signed 64-bit value: no implementation-defined narrowing of
    // values above INT_MAX.
    const std::int64_t value = GetUint32(bytes);
    return static_cast<int>(value >= 0x80000000LL ? value - 0x100000000LL : value);
}

double GetDouble(const unsigned char* bytes)
{
    std::uint64_t bits = 0;
    for (int byte = 0; byte < 8; ++byte) {
        bits |= static_cast<std::uint64_t>(bytes[byte]) << (8 * byte);
    }
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

bool MapRect::Contains(GridPoint cell, int width, int height) const
{
    if (Empty() || width <= 0 || height <= 0) {
        return false;
    }
    // Offsets from the top-left cell as the views count them: columns run
    // leftwards in the grid, rows downwards.
    const int i = WrapIndex(topLeft.column - cell.column, width);
    const int j = WrapIndex(cell.row - topLeft.row, height);
    return i < columns && j < rows;
}

GridPoint RegionCell(GridPoint topLeft, int i, int j)
{
    return GridPoint{topLeft.column - i, topLeft.row + j};
}

GridPoint RegionVertex(GridPoint topLeft, int k, int l)
{
    return GridPoint{topLeft.column + 1 - k, topLeft.row + l};
}

double MapRegion::Lowest() const
{
    return heights.empty() ? 0.0 : *std::min_element(heights.begin(), heights.end());
}

MapRegion CopyRegion(const COxelD3DTerrainChipManager& terrain, const MapRect& rect)
{
    MapRegion region;
    if (rect.Empty() || !terrain.m_cells) {
        return region;
    }
    region.columns = rect.columns;
    region.rows = rect.rows;
    const int width = terrain.m_mapWidth;
    const int height = terrain.m_mapHeight;
    region.heights.reserve(static_cast<std::size_t>(rect.columns + 1) * (rect.rows + 1));
    for (int l = 0; l <= rect.rows; ++l) {
        for (int k = 0; k <= rect.columns; ++k) {
            const GridPoint vertex = RegionVertex(rect.topLeft, k, l);
            // A vertex's height is kept as corner 0 of the cell it starts, as
            // GetHeight reads it (which the const terrain cannot call).
            const int index = WrapIndex(vertex.row, height) * width + WrapIndex(vertex.column, width);
            region.heights.push_back(terrain.m_cells[index].m_height[0]);
        }
    }
    region.cells.reserve(static_cast<std::size_t>(rect.columns) * rect.rows);
    for (int j = 0; j < rect.rows; ++j) {
        for (int i = 0; i < rect.columns; ++i) {
            const GridPoint cell = RegionCell(rect.topLeft, i, j);
            region.cells.push_back(
                CellStep::Read(terrain, WrapIndex(cell.row, height) * width + WrapIndex(cell.column, width)));
        }
    }
    return region;
}

MapRegion TurnedClockwise(const MapRegion& region)
{
    // Turning the picture a quarter clockwise takes the left column to the
    // top row: what stood at (i, j) now stands at (rows - 1 - j, i).
    MapRegion turned;
    turned.columns = region.rows;
    turned.rows = region.columns;
    turned.heights.reserve(region.heights.size());
    for (int l = 0; l <= turned.rows; ++l) {
        for (int k = 0; k <= turned.columns; ++k) {
            turned.heights.push_back(region.Height(l, region.rows - k));
        }
    }
    turned.cells.reserve(region.cells.size());
    for (int j = 0; j < turned.rows; ++j) {
        for (int i = 0; i < turned.columns; ++i) {
            CellState cell = region.Cell(j, region.rows - 1 - i);
            cell.rotation = (cell.rotation + 1) % 4;
            turned.cells.push_back(cell);
        }
    }
    return turned;
}

MapRegion Raised(const MapRegion& region, double rise)
{
    MapRegion raised = region;
    for (double& height : raised.heights) {
        // A rise that is not a number leaves the height as it was.
        TakeGridHeight(height + rise, &height);
    }
    return raised;
}

std::vector<unsigned char> EncodeRegion(const MapRegion& region)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(kHeaderBytes + region.heights.size() * kHeightBytes + region.cells.size() * kCellBytes);
    for (unsigned char letter : kMagic) {
        bytes.push_back(letter);
    }
    PutUint32(bytes, kVersion);
    PutInt32(bytes, region.columns);
    PutInt32(bytes, region.rows);
    for (double height : region.heights) {
        PutDouble(bytes, height);
    }
    for (const CellState& cell : region.cells) {
        PutInt32(bytes, cell.chip);
        PutInt32(bytes, cell.rotation);
        PutInt32(bytes, cell.billboard);
    }
    return bytes;
}

bool DecodeRegion(const unsigned char* bytes, std::size_t size, MapRegion* region)
{
    if (!bytes || size < kHeaderBytes || std::memcmp(bytes, kMagic, sizeof kMagic) != 0 ||
        GetUint32(bytes + 4) != kVersion) {
        return false;
    }
    const int columns = GetInt32(bytes + 8);
    const int rows = GetInt32(bytes + 12);
    if (columns < 1 || columns > kLargestSide || rows < 1 || rows > kLargestSide) {
        return false;
    }
    // Both sides are at most 512 here, so none of this can overflow.
    const std::size_t vertexCount = static_cast<std::size_t>(columns + 1) * static_cast<std::size_t>(rows + 1);
    const std::size_t cellCount = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    if (size != kHeaderBytes + vertexCount * kHeightBytes + cellCount * kCellBytes) {
        return false;
    }
    MapRegion decoded;
    decoded.columns = columns;
    decoded.rows = rows;
    decoded.heights.resize(vertexCount);
    const unsigned char* at = bytes + kHeaderBytes;
    for (double& height : decoded.heights) {
        // Finite heights beyond the grid's bounds are taken as the grid takes
        // them (kept within 0..16); a value that is not a number is damage.
        if (!TakeGridHeight(GetDouble(at), &height)) {
            return false;
        }
        at += kHeightBytes;
    }
    decoded.cells.resize(cellCount);
    for (CellState& cell : decoded.cells) {
        cell = CellState{GetInt32(at), GetInt32(at + 4), GetInt32(at + 8)};
        if (cell.chip < 0 || cell.rotation < 0 || cell.rotation > 3 || cell.billboard < -1) {
            return false;
        }
        at += kCellBytes;
    }
    *region = std::move(decoded);
    return true;
}
