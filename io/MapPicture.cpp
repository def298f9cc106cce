#include "io/MapPicture.h"

#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

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

// The pixel of the unturned tile that lands on (x, y) of a tile turned
// `rotation` quarter turns clockwise.
void TurnedSource(int rotation, int side, int x, int y, int* sx, int* sy)
{
    const int last = side - 1;
    switch (rotation) {
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

}  // namespace

int MapPictureCellPixels(int width, int height)
{
    int pixels = 32;
    while (pixels > 1 && std::max(width, height) * pixels > kMapPictureMostPixels) {
        pixels /= 2;
    }
    return pixels;
}

BgraImage DrawMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout)
{
    const int side = MapPictureCellPixels(map.width, map.height);
    BgraImage picture;
    picture.width = map.width * side;
    picture.height = map.height * side;
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
    // A map uses few chips: each is scaled once.
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
        for (int y = 0; y < side; ++y) {
            unsigned char* to = &picture.pixels[(static_cast<size_t>(row * side + y) * picture.width + column * side) * 4];
            for (int x = 0; x < side; ++x, to += 4) {
                if (tile.empty()) {
                    to[3] = 255;
                    continue;
                }
                int sx = 0;
                int sy = 0;
                TurnedSource(cell.rotation, side, x, y, &sx, &sy);
                std::memcpy(to, &tile[(sy * side + sx) * 4], 4);
                to[3] = 255;
            }
        }
    }
    return picture;
}

ImageError EncodeMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout,
                            std::vector<unsigned char>* png)
{
    return EncodeBgraPng(DrawMapPicture(map, atlas, layout), png);
}
