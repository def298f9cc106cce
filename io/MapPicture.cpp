#include "io/MapPicture.h"

#include "terrain/MapGridMath.h"

#include <cstring>
#include <map>

namespace {

const int kSide = kMapPictureCellPixels;
const int kStep = kChipSize / kMapPictureCellPixels;

// Chip `chip` scaled down to kSide x kSide, each pixel the mean of the
// kStep x kStep atlas pixels it covers; empty when the atlas lacks the chip.
std::vector<unsigned char> ScaledTile(const BgraImage& atlas, const AtlasLayout& layout, int chip)
{
    if (chip < 0 || layout.columns <= 0 || chip >= layout.columns * layout.rows) {
        return {};
    }
    const int left = chip % layout.columns * kChipSize;
    const int top = layout.rowRest + chip / layout.columns * kChipSize;
    if (left + kChipSize > atlas.width || top < 0 || top + kChipSize > atlas.height) {
        return {};
    }
    std::vector<unsigned char> tile(kSide * kSide * 4);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            unsigned sums[4] = {};
            for (int dy = 0; dy < kStep; ++dy) {
                const unsigned char* from =
                    &atlas.pixels[(static_cast<size_t>(top + y * kStep + dy) * atlas.width + left + x * kStep) * 4];
                for (int dx = 0; dx < kStep * 4; ++dx) {
                    sums[dx % 4] += from[dx];
                }
            }
            for (int channel = 0; channel < 4; ++channel) {
                tile[(y * kSide + x) * 4 + channel] =
                    static_cast<unsigned char>((sums[channel] + kStep * kStep / 2) / (kStep * kStep));
            }
        }
    }
    return tile;
}

// The pixel of the unturned tile that lands on (x, y) of a tile turned
// `rotation` quarter turns clockwise.
void TurnedSource(int rotation, int x, int y, int* sx, int* sy)
{
    const int last = kSide - 1;
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

BgraImage DrawMapPicture(const MapFileContents& map, const BgraImage& atlas, const AtlasLayout& layout)
{
    BgraImage picture;
    picture.width = map.width * kSide;
    picture.height = map.height * kSide;
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
    // A map uses few chips: each is scaled once.
    std::map<int, std::vector<unsigned char>> tiles;
    for (size_t i = 0; i < map.cells.size(); ++i) {
        const MapFileCell& cell = map.cells[i];
        const int column = map.width - 1 - static_cast<int>(i) % map.width;
        const int row = static_cast<int>(i) / map.width;
        auto found = tiles.find(cell.chip);
        if (found == tiles.end()) {
            found = tiles.emplace(cell.chip, ScaledTile(atlas, layout, cell.chip)).first;
        }
        const std::vector<unsigned char>& tile = found->second;
        for (int y = 0; y < kSide; ++y) {
            unsigned char* to = &picture.pixels[(static_cast<size_t>(row * kSide + y) * picture.width + column * kSide) * 4];
            for (int x = 0; x < kSide; ++x, to += 4) {
                if (tile.empty()) {
                    to[3] = 255;
                    continue;
                }
                int sx = 0;
                int sy = 0;
                TurnedSource(cell.rotation, x, y, &sx, &sy);
                std::memcpy(to, &tile[(sy * kSide + sx) * 4], 4);
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
