#include "support/MapPictureReference.h"

#include "terrain/MapGridMath.h"

#include <cstring>
#include <map>
#include <vector>

namespace {

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
                for (int dx = 0; dx < step; ++dx) {
                    const unsigned char* from =
                        &atlas.pixels[(static_cast<size_t>(top + y * step + dy) * atlas.width + left + x * step + dx) *
                                      4];
                    for (int channel = 0; channel < 4; ++channel) {
                        sums[channel] += from[channel];
                    }
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

}  // namespace

BgraImage ReferenceMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout)
{
    const int side = MapPictureCellPixels(map.width, map.height);
    BgraImage picture;
    picture.width = map.width * side;
    picture.height = map.height * side;
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
    std::map<int, std::vector<unsigned char>> tiles;
    for (size_t i = 0; i < map.cells.size(); ++i) {
        const MapFileCell& cell = map.cells[i];
        const int column = map.width - 1 - static_cast<int>(i) % map.width;
        const int row = static_cast<int>(i) / map.width;
        auto found = tiles.find(cell.chip);
        if (found == tiles.end()) {
            found = tiles.emplace(cell.chip, ScaledTile(atlas, layout, cell.chip, side)).first;
        }
        const std::vector<unsigned char>& tile = found->second;
        const int last = side - 1;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                unsigned char* to =
                    &picture.pixels[(static_cast<size_t>(row * side + y) * picture.width + column * side + x) * 4];
                to[3] = 255;
                if (tile.empty()) {
                    continue;
                }
                // Clockwise quarter turns; any other value leaves the tile as it is.
                int sx = x;
                int sy = y;
                if (cell.rotation == 1) {
                    sx = y;
                    sy = last - x;
                } else if (cell.rotation == 2) {
                    sx = last - x;
                    sy = last - y;
                } else if (cell.rotation == 3) {
                    sx = last - y;
                    sy = x;
                }
                std::memcpy(to, &tile[(sy * side + sx) * 4], 3);
            }
        }
    }
    return picture;
}
