#include "terrain/QuadGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

bool operator==(const QuadTexCoord& a, const QuadTexCoord& b)
{
    return a.u == b.u && a.v == b.v;
}

void ExpectLayout(const QuadTexCoord (&expected)[4], int rotation)
{
    QuadTexCoord actual[4];
    QuadTexCoords(0.25f, 0.5f, 0.125f, 0.75f, rotation, actual);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(expected[k] == actual[k]) << "rotation " << rotation << ", vertex " << k;
    }
}

void ExpectVector(const D3DXVECTOR3& expected, const D3DXVECTOR3& actual)
{
    EXPECT_FLOAT_EQ(expected.x, actual.x);
    EXPECT_FLOAT_EQ(expected.y, actual.y);
    EXPECT_FLOAT_EQ(expected.z, actual.z);
}

}  // namespace

TEST(QuadTexCoords, EachQuarterTurnShiftsTheLayoutOneVertexAlongTheRim)
{
    // Around the rim (vertices 0, 2, 3, 1) every vertex takes what the next one had.
    const int rim[4] = {0, 2, 3, 1};
    QuadTexCoord previous[4];
    QuadTexCoords(0.25f, 0.5f, 0.125f, 0.75f, 0, previous);
    for (int rotation = 1; rotation <= 4; ++rotation) {
        QuadTexCoord layout[4];
        QuadTexCoords(0.25f, 0.5f, 0.125f, 0.75f, rotation % 4, layout);
        for (int k = 0; k < 4; ++k) {
            EXPECT_TRUE(layout[rim[k]] == previous[rim[(k + 1) % 4]]) << "rotation " << rotation << ", rim " << k;
        }
        std::copy(layout, layout + 4, previous);
    }
}

TEST(QuadTexCoords, RotationZeroAndValuesOutsideOneToThreeStartAtTheFirstCorner)
{
    for (int rotation : {0, 5, -2, -1, 4}) {
        ExpectLayout({{0.25f, 0.5f}, {0.25f, 0.75f}, {0.125f, 0.5f}, {0.125f, 0.75f}}, rotation);
    }
}

TEST(QuadGeometry, RaisedCornerTiltsOnlyItsTrianglesAndWidensTheBox)
{
    // Corner 2 (x = 1, z = 0) raised by 1: the first triangle leans toward -x.
    const D3DXVECTOR3 corners[4] = {{0, 2, 0}, {0, 2, 1}, {1, 3, 0}, {1, 2, 1}};
    const D3DXVECTOR3 first = TriangleNormal(corners[0], corners[1], corners[2]);
    const float s = 1.0f / sqrtf(2.0f);
    ExpectVector({-s, s, 0}, first);
    D3DXVECTOR3 boxMin;
    D3DXVECTOR3 boxMax;
    QuadBounds(corners, boxMin, boxMax);
    ExpectVector({0, 2, 0}, boxMin);
    ExpectVector({1, 3, 1}, boxMax);
}

TEST(QuadListIndices, EachQuadsStripTrianglesInStripOrderFourVerticesApart)
{
    const std::vector<WORD> expected = {0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6, 8, 9, 10, 9, 11, 10};
    EXPECT_EQ(expected, QuadListIndices(3));
    EXPECT_TRUE(QuadListIndices(0).empty());
    // The last quad that 16-bit indices reach.
    const std::vector<WORD> most = QuadListIndices(16384);
    EXPECT_EQ(65535, most[most.size() - 2]);
}
