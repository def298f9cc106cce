#include "support/SampleMaps.h"

#include <algorithm>
#include <string>

MapFileContents SampleMap(int size, int planes, int billboards)
{
    MapFileContents map;
    map.width = size;
    map.height = size;
    CopyMapFileText(map.atlasFile, "textures\\atlas.bmp");
    for (int i = 0; i < size * size; ++i) {
        MapFileCell cell = {};
        const int x = i % size;
        const int y = i / size;
        cell.index = i;
        for (int c = 0; c < 4; ++c) {
            cell.heights[c] = ((i * 4 + c) % 33) * 0.5;
            cell.normals[c][0] = 0.125f * c;
            cell.normals[c][1] = 1.0f - 0.0625f * c;
            cell.normals[c][2] = -0.25f * c;
        }
        const auto lowest = std::min_element(cell.heights, cell.heights + 4);
        const auto highest = std::max_element(cell.heights, cell.heights + 4);
        cell.boxMin[0] = static_cast<float>(x);
        cell.boxMin[1] = static_cast<float>(*lowest);
        cell.boxMin[2] = static_cast<float>(y);
        cell.boxMax[0] = static_cast<float>(x + 1);
        cell.boxMax[1] = static_cast<float>(*highest);
        cell.boxMax[2] = static_cast<float>(y + 1);
        cell.chip = i % 32;
        cell.rotation = i % 4;
        cell.billboard = billboards > 0 ? i % billboards : -1;
        map.cells.push_back(cell);
    }
    for (int j = 0; j < planes; ++j) {
        MapFilePlane plane = {};
        // The second plane's name fills its field up to the zero.
        const std::string name = j == 1 ? std::string(kMapFileTextSize - 1, 'p') : "plane" + std::to_string(j) + ".dds";
        CopyMapFileText(plane.textureFile, name.c_str());
        plane.y = 2.5f + 0.25f * j;
        plane.repeat = j % 2;
        plane.visible = (j + 1) % 2;
        map.planes.push_back(plane);
    }
    for (int k = 0; k < billboards; ++k) {
        MapFileBillboard billboard = {};
        CopyMapFileText(billboard.textureFile, ("billboard" + std::to_string(k) + ".dds").c_str());
        billboard.repeat = (k + 1) % 2;
        map.billboards.push_back(billboard);
    }
    return map;
}
