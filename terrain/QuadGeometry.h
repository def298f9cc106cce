#pragma once

#include <windows.h>

#include <d3dx9math.h>

#include <vector>

// The pieces of a terrain quad that need no device: texture layout by rotation,
// face normals and the bounding box. The quad's corners are ordered so that the
// strip 0, 1, 2, 3 draws the triangles (0, 1, 2) and (1, 3, 2).

struct QuadTexCoord {
    float u;
    float v;
};

// The texture coordinates of vertices 0..3 for the rectangle (uA, vA) .. (uB, vB)
// turned by `rotation` quarter turns. Each step hands every vertex the
// coordinate of the next one in the order 0, 2, 3, 1, so the picture turns a
// quarter per step. Rotations other than 1, 2 and 3 lay the picture out like 0.
void QuadTexCoords(float uA, float vA, float uB, float vB, int rotation, QuadTexCoord out[4]);

// Unit normal of the triangle (p0, p1, p2): (p1 - p0) x (p2 - p0), normalised.
D3DXVECTOR3 TriangleNormal(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2);

// The face normals of the quad's two triangles, (0, 1, 2) and (1, 3, 2).
void QuadFaceNormals(const D3DXVECTOR3 corners[4], D3DXVECTOR3& first, D3DXVECTOR3& second);

// The smoothed normal of a grid vertex: the mean of the face normals of the six
// triangles that meet there, normalised. With the vertex at corner 0 of quad a,
// corner 2 of quad b, corner 1 of quad c and corner 3 of quad d, those are a's
// first, b's both, c's both and d's second.
D3DXVECTOR3 SmoothedVertexNormal(const D3DXVECTOR3& aFirst, const D3DXVECTOR3& bFirst, const D3DXVECTOR3& bSecond,
                                 const D3DXVECTOR3& cFirst, const D3DXVECTOR3& cSecond, const D3DXVECTOR3& dSecond);

// Per-axis minimum and maximum of the four corners.
void QuadBounds(const D3DXVECTOR3 corners[4], D3DXVECTOR3& boxMin, D3DXVECTOR3& boxMax);

// Indices of `quadCount` quads stored one after another, four vertices each, as
// one triangle list: (4k, 4k + 1, 4k + 2) and (4k + 1, 4k + 3, 4k + 2) for quad k.
// These are each quad's strip listed by AppendStripAsList: a run of quads drawn
// as one list gives the very pixels of its quads drawn strip by strip.
std::vector<WORD> QuadListIndices(int quadCount);
