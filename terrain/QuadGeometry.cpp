#include "terrain/QuadGeometry.h"

#include "scene/TriangleStrip.h"

void QuadTexCoords(float uA, float vA, float uB, float vB, int rotation, QuadTexCoord out[4])
{
    switch (rotation) {
    case 1:
        out[0] = {uB, vA};
        out[1] = {uA, vA};
        out[2] = {uB, vB};
        out[3] = {uA, vB};
        break;
    case 2:
        out[0] = {uB, vB};
        out[1] = {uB, vA};
        out[2] = {uA, vB};
        out[3] = {uA, vA};
        break;
    case 3:
        out[0] = {uA, vB};
        out[1] = {uB, vB};
        out[2] = {uA, vA};
        out[3] = {uB, vA};
        break;
    default:
        out[0] = {uA, vA};
        out[1] = {uA, vB};
        out[2] = {uB, vA};
        out[3] = {uB, vB};
        break;
    }
}

D3DXVECTOR3 TriangleNormal(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2)
{
    const D3DXVECTOR3 edge1 = p1 - p0;
    const D3DXVECTOR3 edge2 = p2 - p0;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    return normal;
}

void QuadFaceNormals(const D3DXVECTOR3 corners[4], D3DXVECTOR3& first, D3DXVECTOR3& second)
{
    first = TriangleNormal(corners[0], corners[1], corners[2]);
    second = TriangleNormal(corners[1], corners[3], corners[2]);
}

D3DXVECTOR3 SmoothedVertexNormal(const D3DXVECTOR3& aFirst, const D3DXVECTOR3& bFirst, const D3DXVECTOR3& bSecond,
                                 const D3DXVECTOR3& cFirst, const D3DXVECTOR3& cSecond, const D3DXVECTOR3& dSecond)
{
    D3DXVECTOR3 normal = aFirst + bFirst + bSecond + cFirst + cSecond + dSecond;
    normal *= 1.0f / 6.0f;
    D3DXVec3Normalize(&normal, &normal);
    return normal;
}

void QuadBounds(const D3DXVECTOR3 corners[4], D3DXVECTOR3& boxMin, D3DXVECTOR3& boxMax)
{
    boxMin = corners[0];
    boxMax = corners[0];
    for (int k = 1; k < 4; ++k) {
        D3DXVec3Minimize(&boxMin, &boxMin, &corners[k]);
        D3DXVec3Maximize(&boxMax, &boxMax, &corners[k]);
    }
}

std::vector<WORD> QuadListIndices(int quadCount)
{
    const WORD strip[4] = {0, 1, 2, 3};
    std::vector<WORD> indices;
    indices.reserve(static_cast<size_t>(quadCount) * 6);
    for (int quad = 0; quad < quadCount; ++quad) {
        AppendStripAsList(strip, 4, 4 * quad, indices);
    }
    return indices;
}
