#include "io/OpenedMap.h"

#include "terrain/ChipImageInfo.h"
#include "terrain/MapGridMath.h"
#include "terrain/QuadGeometry.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace {

void CopyVector(float (&to)[3], const D3DXVECTOR3& from)
{
    to[0] = from.x;
    to[1] = from.y;
    to[2] = from.z;
}

struct FaceNormals {
    D3DXVECTOR3 first;
    D3DXVECTOR3 second;
};

const int kQuadCells = 32;
const int kWholeMapPlaneCells = 128;

}  // namespace

QuadExtent PlaneExtent(int mapWidth, int mapHeight)
{
    const auto span = [](int cells) { return cells >= kWholeMapPlaneCells ? cells : kQuadCells; };
    return {span(mapWidth), span(mapHeight)};
}

QuadExtent BillboardExtent()
{
    return {kQuadCells, kQuadCells};
}

OpenedMap OpenMap(MapFileContents file)
{
    OpenedMap opened;
    opened.map = std::move(file);
    SettleOpenedMap(&opened.map);
    opened.planeExtent = PlaneExtent(opened.map.width, opened.map.height);
    opened.billboardExtent = BillboardExtent();
    return opened;
}

void SettleOpenedMap(MapFileContents* map)
{
    const int width = map->width;
    const int height = map->height;
    std::vector<double> heights(static_cast<std::size_t>(width) * height, 0.0);
    for (int i = 0; i < width * height; ++i) {
        const MapFileCell& cell = map->cells[i];
        const int x = i % width;
        const int y = i / width;
        const int corners[4][2] = {{x, y}, {x, y + 1}, {x + 1, y}, {x + 1, y + 1}};
        for (int corner = 0; corner < 4; ++corner) {
            const int column = WrapIndex(corners[corner][0], width);
            const int row = WrapIndex(corners[corner][1], height);
            TakeGridHeight(cell.heights[corner], &heights[static_cast<std::size_t>(row) * width + column]);
        }
    }
    const int billboards = static_cast<int>(map->billboards.size());
    for (MapFileCell& cell : map->cells) {
        // Setting a chip unturns the cell; -1 then turns it once more.
        if (cell.rotation == -1) {
            cell.rotation = 1;
        }
        if (cell.billboard < 0 || cell.billboard >= billboards) {
            cell.billboard = -1;
        }
    }
    SetCellSurfaces(heights, width, height, &map->cells);
    for (MapFilePlane& plane : map->planes) {
        plane.repeat = plane.repeat ? 1 : 0;
        plane.visible = plane.visible ? 1 : 0;
    }
    for (MapFileBillboard& billboard : map->billboards) {
        billboard.repeat = billboard.repeat ? 1 : 0;
    }
}

std::vector<double> VertexHeights(const MapFileContents& map)
{
    std::vector<double> heights(map.cells.size());
    for (std::size_t i = 0; i < map.cells.size(); ++i) {
        heights[i] = map.cells[i].heights[0];
    }
    return heights;
}

void SetCellSurfaces(const std::vector<double>& heights, int width, int height, std::vector<MapFileCell>* cells)
{
    const auto vertex = [&](int column, int row) {
        double value = kLowestHeight;
        TakeGridHeight(heights[static_cast<std::size_t>(WrapIndex(row, height)) * width + WrapIndex(column, width)],
                       &value);
        return value;
    };
    std::vector<FaceNormals> faces(cells->size());
    for (int i = 0; i < width * height; ++i) {
        MapFileCell& cell = (*cells)[i];
        const int x = i % width;
        const int y = i / width;
        cell.heights[0] = vertex(x, y);
        cell.heights[1] = vertex(x, y + 1);
        cell.heights[2] = vertex(x + 1, y);
        cell.heights[3] = vertex(x + 1, y + 1);
        // The quad's corners as the grid places them.
        const float x0 = static_cast<float>(x);
        const float x1 = static_cast<float>(x + 1);
        const float z0 = static_cast<float>(y);
        const float z1 = static_cast<float>(y + 1);
        const D3DXVECTOR3 corners[4] = {
            D3DXVECTOR3(x0, static_cast<float>(cell.heights[0]), z0),
            D3DXVECTOR3(x0, static_cast<float>(cell.heights[1]), z1),
            D3DXVECTOR3(x1, static_cast<float>(cell.heights[2]), z0),
            D3DXVECTOR3(x1, static_cast<float>(cell.heights[3]), z1),
        };
        D3DXVECTOR3 boxMin;
        D3DXVECTOR3 boxMax;
        QuadBounds(corners, boxMin, boxMax);
        CopyVector(cell.boxMin, boxMin);
        CopyVector(cell.boxMax, boxMax);
        QuadFaceNormals(corners, faces[i].first, faces[i].second);
    }
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const int left = WrapIndex(column - 1, width);
            const int up = WrapIndex(row - 1, height);
            const int a = row * width + column;
            const int b = row * width + left;
            const int c = up * width + column;
            const int d = up * width + left;
            const D3DXVECTOR3 normal = SmoothedVertexNormal(faces[a].first, faces[b].first, faces[b].second,
                                                            faces[c].first, faces[c].second, faces[d].second);
            CopyVector((*cells)[a].normals[0], normal);
            CopyVector((*cells)[c].normals[1], normal);
            CopyVector((*cells)[b].normals[2], normal);
            CopyVector((*cells)[d].normals[3], normal);
        }
    }
}

MapFileContents NewMapWithHeights(const std::vector<double>& heights, int width, int height)
{
    MapFileContents map;
    map.width = width;
    map.height = height;
    CopyMapFileText(map.atlasFile, kBuiltInAtlasName);
    map.cells.resize(static_cast<std::size_t>(width) * height);
    for (int i = 0; i < width * height; ++i) {
        map.cells[i] = MapFileCell();
        map.cells[i].index = i;
        map.cells[i].billboard = -1;
    }
    SetCellSurfaces(heights, width, height, &map.cells);
    return map;
}
