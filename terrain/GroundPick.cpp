#include "terrain/GroundPick.h"

#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelQuadNode.h"
#include "terrain/MapGridMath.h"

#include <algorithm>
#include <cmath>

namespace {

// Boxes grow by this much on every side, so that a line along a flat map's
// boxes or through a corner shared by four cells is not lost to rounding.
const float kBoxMargin = 1e-3f;
// How far outside a triangle's edges a meeting still counts: the two
// triangles of a cell and neighbouring cells leave no crack between them.
const float kEdgeMargin = 1e-5f;

// The part [*enter, *exit] of the segment that lies in the box; false when
// none of [0, *exit] does.
bool SegmentInBox(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& low,
                  const D3DXVECTOR3& high, float* enter, float* exit)
{
    const float o[3] = {origin.x, origin.y, origin.z};
    const float d[3] = {direction.x, direction.y, direction.z};
    const float lo[3] = {low.x - kBoxMargin, low.y - kBoxMargin, low.z - kBoxMargin};
    const float hi[3] = {high.x + kBoxMargin, high.y + kBoxMargin, high.z + kBoxMargin};
    float first = 0.0f;
    float last = *exit;
    for (int axis = 0; axis < 3; ++axis) {
        if (d[axis] == 0.0f) {
            if (o[axis] < lo[axis] || o[axis] > hi[axis]) {
                return false;
            }
            continue;
        }
        float t0 = (lo[axis] - o[axis]) / d[axis];
        float t1 = (hi[axis] - o[axis]) / d[axis];
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        first = std::max(first, t0);
        last = std::min(last, t1);
        if (first > last) {
            return false;
        }
    }
    *enter = first;
    *exit = last;
    return true;
}

// The nearest meeting of a segment with the ground of one copy of the map,
// the segment given in that copy's own coordinates.
class GroundWalk {
public:
    GroundWalk(COxelD3DTerrainChipManager& map, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, float limit)
        : m_map(map), m_origin(origin), m_direction(direction), m_nearest(limit), m_cell(-1)
    {
    }

    // Walks the tree from `root`, whose box is tested like every other.
    void Walk(COxelQuadNode* root)
    {
        float enter = 0.0f;
        if (Reaches(root, &enter)) {
            Visit(root);
        }
    }

    // The cell met (-1 for none) and how far along.
    int Cell() const { return m_cell; }
    float Along() const { return m_nearest; }

private:
    // Whether the segment, up to the nearest meeting so far, enters the
    // node's box, and where.
    bool Reaches(COxelQuadNode* node, float* enter) const
    {
        node->RefreshHeights();
        float exit = m_nearest;
        return SegmentInBox(m_origin, m_direction, node->m_vMin, node->m_vMax, enter, &exit);
    }

    // A node whose box the segment enters.
    void Visit(COxelQuadNode* node)
    {
        if (node->m_width == 1) {
            VisitCell(node->m_start);
            return;
        }
        // Nearest quarter first: a meeting there rules out the farther ones.
        struct Entry {
            float enter;
            COxelQuadNode* child;
        };
        Entry entries[4];
        int count = 0;
        for (COxelQuadNode* child : node->m_pChild) {
            float childEnter = 0.0f;
            if (!Reaches(child, &childEnter)) {
                continue;
            }
            int k = count++;
            for (; k > 0 && entries[k - 1].enter > childEnter; --k) {
                entries[k] = entries[k - 1];
            }
            entries[k] = Entry{childEnter, child};
        }
        for (int k = 0; k < count; ++k) {
            if (entries[k].enter <= m_nearest) {
                Visit(entries[k].child);
            }
        }
    }

    void VisitCell(int index)
    {
        const double* h = m_map.m_cells[index].m_height;
        const float x = static_cast<float>(index % m_map.m_mapWidth);
        const float z = static_cast<float>(index / m_map.m_mapWidth);
        // The corners as the cell's quad lays them: its triangles are (0, 1, 2) and (1, 3, 2).
        const D3DXVECTOR3 corner[4] = {
            {x, static_cast<float>(h[0]), z},
            {x, static_cast<float>(h[1]), z + 1.0f},
            {x + 1.0f, static_cast<float>(h[2]), z},
            {x + 1.0f, static_cast<float>(h[3]), z + 1.0f},
        };
        float t = 0.0f;
        if (SegmentMeetsTriangle(m_origin, m_direction, corner[0], corner[1], corner[2], m_nearest, &t) ||
            SegmentMeetsTriangle(m_origin, m_direction, corner[1], corner[3], corner[2], m_nearest, &t)) {
            m_nearest = t;
            m_cell = index;
        }
    }

    COxelD3DTerrainChipManager& m_map;
    D3DXVECTOR3 m_origin;
    D3DXVECTOR3 m_direction;
    float m_nearest;
    int m_cell;
};

// The copy of the map that holds coordinate v, for a map `period` cells long.
int CopyOf(float v, int period)
{
    return static_cast<int>(std::floor(v / period));
}

}  // namespace

bool SegmentMeetsTriangle(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const D3DXVECTOR3& p0,
                          const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, float limit, float* t)
{
    const D3DXVECTOR3 edge1 = p1 - p0;
    const D3DXVECTOR3 edge2 = p2 - p0;
    D3DXVECTOR3 across;
    D3DXVec3Cross(&across, &direction, &edge2);
    // Positive when the segment comes from the upper side.
    const float determinant = D3DXVec3Dot(&edge1, &across);
    if (determinant <= 0.0f) {
        return false;
    }
    const D3DXVECTOR3 fromCorner = origin - p0;
    const float u = D3DXVec3Dot(&fromCorner, &across) / determinant;
    if (u < -kEdgeMargin || u > 1.0f + kEdgeMargin) {
        return false;
    }
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &fromCorner, &edge1);
    const float v = D3DXVec3Dot(&direction, &side) / determinant;
    if (v < -kEdgeMargin || u + v > 1.0f + kEdgeMargin) {
        return false;
    }
    const float along = D3DXVec3Dot(&edge2, &side) / determinant;
    if (along < 0.0f || along > limit) {
        return false;
    }
    *t = along;
    return true;
}

bool PickGround(COxelD3DTerrainChipManager& map, const D3DXVECTOR3& from, const D3DXVECTOR3& to, bool repeated,
                GroundHit* hit)
{
    const int width = map.m_mapWidth;
    const int height = map.m_mapHeight;
    if (!map.m_pRoot || !map.m_cells || width <= 0 || height <= 0) {
        return false;
    }
    const D3DXVECTOR3 direction = to - from;
    int firstX = 0;
    int lastX = 0;
    int firstZ = 0;
    int lastZ = 0;
    if (repeated) {
        firstX = CopyOf(std::min(from.x, to.x), width);
        lastX = CopyOf(std::max(from.x, to.x), width);
        firstZ = CopyOf(std::min(from.z, to.z), height);
        lastZ = CopyOf(std::max(from.z, to.z), height);
    }
    bool found = false;
    float nearest = 1.0f;
    for (int tileZ = firstZ; tileZ <= lastZ; ++tileZ) {
        for (int tileX = firstX; tileX <= lastX; ++tileX) {
            const D3DXVECTOR3 offset(static_cast<float>(tileX * width), 0.0f, static_cast<float>(tileZ * height));
            GroundWalk walk(map, from - offset, direction, nearest);
            walk.Walk(map.m_pRoot);
            if (walk.Cell() < 0) {
                continue;
            }
            found = true;
            nearest = walk.Along();
            const D3DXVECTOR3 point = from + direction * nearest;
            const D3DXVECTOR3 local = point - offset;
            *hit = GroundHit{nearest,
                             point,
                             tileX,
                             tileZ,
                             walk.Cell() % width,
                             walk.Cell() / width,
                             WrapIndex(static_cast<int>(std::lround(local.x)), width),
                             WrapIndex(static_cast<int>(std::lround(local.z)), height)};
        }
    }
    return found;
}
