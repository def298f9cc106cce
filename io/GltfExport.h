#pragma once

#include "io/MapFileFormat.h"

#include <vector>

// The map as a binary glTF 2.0 file (.glb) with everything embedded, for 3D
// tools and game engines. glTF is right-handed with y up: the vertex of map
// column x, row z and height h lies at (x, h, -z), so the model looks as it
// does in the preview, and front faces run counter-clockwise seen from above.
//
// One node and mesh for the terrain: four vertices a cell (each cell has its
// own texture coordinates), cell by cell in index order, each cell's in its
// quad's corner order; the preview's smoothed normals, and coordinates
// into the atlas for each cell's chip and quarter turns; the atlas is an
// embedded PNG. Each visible plane is a node and mesh of its own with its
// image, blended and seen from both sides as in the preview.
//
// Each billboard that some cell names is one mesh, an upright unit quad with
// its image, blended, seen from both sides and unlit as in the preview
// (KHR_materials_unlit), under a node "Billboard <id>" with one child node for
// every cell that names it: the quad's bottom middle stands at the cell's
// middle, half way between its lowest and highest corner. A glTF file cannot
// turn a quad to the camera, so each faces +z, showing its image as the
// preview shows it to a camera looking along the map's rows.

// The atlas as drawn on the terrain: its size in pixels (chips are 128-pixel
// tiles from the top left) and the picture as a PNG.
struct GltfAtlas {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> png;
};

// A plane's or billboard's extent in cells (which sets how often a repeated
// image shows) and its picture as a PNG; an empty picture gives an untextured
// quad, as the preview draws one.
struct GltfPlaneImage {
    int width = 32;
    int depth = 32;
    std::vector<unsigned char> png;
};

// The whole .glb file. `planeImages` runs beside map.planes, only visible
// planes are written; `billboardImages` beside map.billboards. Empty when
// map.cells does not hold width x height cells.
std::vector<unsigned char> EncodeTerrainGlb(const MapFileContents& map, const GltfAtlas& atlas,
                                            const std::vector<GltfPlaneImage>& planeImages,
                                            const std::vector<GltfPlaneImage>& billboardImages = {});
