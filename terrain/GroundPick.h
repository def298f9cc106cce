#pragma once

#include <d3dx9math.h>

class COxelD3DTerrainChipManager;

// Where a line of sight first meets the ground, as the preview draws it.
struct GroundHit {
    // How far along the segment, from 0 at its start to 1 at its end.
    float along;
    // The point itself, in world units.
    D3DXVECTOR3 point;
    // The copy of the map it lies on: (0, 0) for the map itself, (1, 0) for
    // the copy one map width further along x.
    int tileX;
    int tileZ;
    // The cell it lies in and the grid vertex nearest to it, in the map's
    // own columns and rows.
    int cellColumn;
    int cellRow;
    int vertexColumn;
    int vertexRow;
};

// The first point of the segment from `from` to `to` (world units) that lies
// on the ground of `map`: on the map itself, or with `repeated` on any copy
// of it the preview repeats around it. The ground is the cells' triangles as
// drawn, seen from above: a line that meets one from below passes through, as
// the preview culls their undersides. Walks the quad tree's boxes, nearest
// first, so a line over a large map tests only the cells it passes near.
// False when the line meets no ground (or the map has none).
bool PickGround(COxelD3DTerrainChipManager& map, const D3DXVECTOR3& from, const D3DXVECTOR3& to, bool repeated,
                GroundHit* hit);

// Where the segment from `origin` along `direction` (t from 0 to 1) meets the
// upper side of triangle (p0, p1, p2), whose upper side has the corners in
// clockwise order seen from above in the world's left-handed frame; false
// when it misses it, meets it from below or only beyond `limit`.
bool SegmentMeetsTriangle(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& p0,
                          const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, float limit, float* t);
