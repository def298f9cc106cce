#include "io/MapPictureWriter.h"

#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Rows handed to the encoder at once: a few hundred kilobytes on the widest picture.
const int kBandRows = 16;

// Chip `chip` scaled down to side x side, each pixel the mean of the
// step x step atlas pixels it covers; empty when the atlas lacks the chip.
std::vector<unsigned char> ScaledTile(const BgraImage& atlas, const AtlasLayout& layout, int chip, int side)
{
    const int step = kChipSize / side;
    if (chip < 0 || layout.columns <= 0 || chip >= layout.columns * layout.rows) {
        return {};
    }
    const int left = chip % layout.columns * kChipSize;
    const int top = layout.rowRest + chip / layout.columns * kChipSize;
    if (left + kChipSize > atlas.width || top < 0 || top + kChipSize > atlas.height) {
        return {};
    }
    std::vector<unsigned char> tile(side * side * 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            unsigned sums[4] = {};
            for (int dy = 0; dy < step; ++dy) {
                const unsigned char* from =
                    &atlas.pixels[(static_cast<size_t>(top + y * step + dy) * atlas.width + left + x * step) * 4];
                for (int dx = 0; dx < step * 4; ++dx) {
                    sums[dx % 4] += from[dx];
                }
            }
            for (int channel = 0; channel < 4; ++channel) {
                tile[(y * side + x) * 4 + channel] =
                    static_cast<unsigned char>((sums[channel] + step * step / 2) / (step * step));
            }
        }
    }
    return tile;
}

// The quarter turns a cell's tile is drawn with: only 1, 2 and 3 turn it.
int Turns(int rotation)
{
    return rotation >= 1 && rotation <= 3 ? rotation : 0;
}

// The pixel of the unturned tile that lands on (x, y) of a tile turned
// `turns` quarter turns clockwise.
void TurnedSource(int turns, int side, int x, int y, int* sx, int* sy)
{
    const int last = side - 1;
    switch (turns) {
        case 1:
            *sx = y;
            *sy = last - x;
            break;
        case 2:
            *sx = last - x;
            *sy = last - y;
            break;
        case 3:
            *sx = last - y;
            *sy = x;
            break;
        default:
            *sx = x;
            *sy = y;
            break;
    }
}

// A scaled tile turned, as BGR triples; empty stays empty.
std::vector<unsigned char> TurnedTile(const std::vector<unsigned char>& scaled, int turns, int side)
{
    if (scaled.empty()) {
        return {};
    }
    std::vector<unsigned char> turned(static_cast<size_t>(side) * side * 3);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int sx = 0;
            int sy = 0;
            TurnedSource(turns, side, x, y, &sx, &sy);
            std::memcpy(&turned[(y * side + x) * 3], &scaled[(sy * side + sx) * 4], 3);
        }
    }
    return turned;
}

}  // namespace

MapPictureWriter::MapPictureWriter(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout)
    : m_side(MapPictureCellPixels(map.width, map.height)),
      m_cellColumns(std::max(map.width, 0)),
      m_width(m_cellColumns * m_side),
      m_height(std::max(map.height, 0) * m_side),
      m_written(0),
      m_failed(false)
{
    const size_t cells = static_cast<size_t>(m_cellColumns) * std::max(map.height, 0);
    if (map.cells.size() < cells) {
        m_width = m_height = 0;
        return;
    }
    // A map uses few chips: each is scaled once, and turned once for each turn it shows.
    std::map<int, std::vector<unsigned char>> scaled;
    std::map<std::pair<int, int>, int> found;
    m_cellTiles.resize(cells);
    for (size_t i = 0; i < cells; ++i) {
        const MapFileCell& cell = map.cells[i];
        const int column = m_cellColumns - 1 - static_cast<int>(i % m_cellColumns);
        const size_t row = i / m_cellColumns;
        const std::pair<int, int> key(cell.chip, Turns(cell.rotation));
        auto tile = found.find(key);
        if (tile == found.end()) {
            auto chip = scaled.find(cell.chip);
            if (chip == scaled.end()) {
                chip = scaled.emplace(cell.chip, ScaledTile(atlas, layout, cell.chip, m_side)).first;
            }
            m_tiles.push_back(TurnedTile(chip->second, key.second, m_side));
            tile = found.emplace(key, static_cast<int>(m_tiles.size()) - 1).first;
        }
        m_cellTiles[row * m_cellColumns + column] = tile->second;
    }
}

void MapPictureWriter::DrawRow(int y, unsigned char* bgr) const
{
    const size_t rowBytes = static_cast<size_t>(m_side) * 3;
    const int* cells = &m_cellTiles[static_cast<size_t>(y / m_side) * m_cellColumns];
    const size_t offset = static_cast<size_t>(y % m_side) * rowBytes;
    for (int column = 0; column < m_cellColumns; ++column, bgr += rowBytes) {
        const std::vector<unsigned char>& tile = m_tiles[cells[column]];
        if (tile.empty()) {
            std::memset(bgr, 0, rowBytes);
        } else {
            std::memcpy(bgr, &tile[offset], rowBytes);
        }
    }
}

bool MapPictureWriter::WriteRows(int rows)
{
    const unsigned stride = static_cast<unsigned>(m_width) * 3;
    if (m_band.empty() && !m_failed) {
        m_failed = m_encoder.Start(m_width, m_height, PngPixels::Bgr24) != ImageError::None;
        m_band.assign(static_cast<size_t>(stride) * kBandRows, 0);
    }
    rows = std::min(rows, m_height - m_written);
    while (!m_failed && rows > 0) {
        const int band = std::min(rows, kBandRows);
        for (int y = 0; y < band; ++y) {
            DrawRow(m_written + y, &m_band[static_cast<size_t>(y) * stride]);
        }
        m_failed = m_encoder.WriteRows(band, stride, m_band.data()) != ImageError::None;
        m_written += band;
        rows -= band;
    }
    return !m_failed;
}

ImageError MapPictureWriter::Finish(std::vector<unsigned char>* png)
{
    if (m_failed || m_height == 0 || m_written != m_height) {
        return ImageError::CannotEncode;
    }
    return m_encoder.Finish(png);
}
