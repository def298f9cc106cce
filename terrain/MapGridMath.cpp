#include "terrain/MapGridMath.h"

ChipTexRect MapChipTexRect(int chip, int columns, int width, int height)
{
    if (columns <= 0 || width <= 0 || height <= 0) {
        return ChipTexRect{0.0, 0.0, 0.0, 0.0};
    }
    ChipTexRect rect;
    rect.uLeft = static_cast<double>(chip % columns) * kChipSize / width;
    rect.uRight = rect.uLeft + static_cast<double>(kChipSize) / width;
    rect.vTop = static_cast<double>(chip / columns) * kChipSize / height;
    rect.vBottom = rect.vTop + static_cast<double>(kChipSize) / height;
    return rect;
}

TileCount AtlasTileCount(int pixels)
{
    return TileCount{pixels / kChipSize, pixels % kChipSize};
}

void QuadChildStarts(int start, int w, int h, int mapWidth, int starts[4])
{
    const int halfWidth = w / 2;
    const int halfHeight = h / 2;
    starts[0] = start;
    starts[1] = start + halfWidth;
    starts[2] = start + mapWidth * halfHeight;
    starts[3] = start + halfWidth + mapWidth * halfHeight;
}

namespace {

void AppendLeaves(int start, int w, int h, int mapWidth, std::vector<bool>& placed, std::vector<int>& order)
{
    if (w == 1) {
        if (!placed[start]) {
            placed[start] = true;
            order.push_back(start);
        }
        return;
    }
    int starts[4];
    QuadChildStarts(start, w, h, mapWidth, starts);
    for (int child : starts) {
        AppendLeaves(child, w / 2, h / 2, mapWidth, placed, order);
    }
}

}  // namespace

std::vector<int> QuadTreeLeafOrder(int width, int height)
{
    const int cellCount = width > 0 && height > 0 ? width * height : 0;
    std::vector<bool> placed(cellCount, false);
    std::vector<int> order;
    order.reserve(cellCount);
    if (cellCount > 0) {
        AppendLeaves(0, width, height, width, placed, order);
    }
    for (int cell = 0; cell < cellCount; ++cell) {
        if (!placed[cell]) {
            order.push_back(cell);
        }
    }
    return order;
}

BoxVisibility ClassifyBoxCorners(const int outcodes[8])
{
    int any = 0;
    int all = ~0;
    for (int k = 0; k < 8; ++k) {
        any |= outcodes[k];
        all &= outcodes[k];
    }
    if (any == 0) {
        return BoxVisibility::Inside;
    }
    return all != 0 ? BoxVisibility::Outside : BoxVisibility::Straddling;
}
