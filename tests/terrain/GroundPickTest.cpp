#include "terrain/GroundPick.h"

#include "scene/COxelD3DCameraBase.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

const int kSize = 16;

// A hilly 16 x 16 map with a ridge along column 3, a one-vertex spike to the
// top height at (10, 10) and a pit to the bottom at (12, 4).
double HeightOf(int column, int row)
{
    if (column == 10 && row == 10) {
        return 16.0;
    }
    if (column == 12 && row == 4) {
        return 0.0;
    }
    if (column == 3) {
        return 9.0;
    }
    return 2.0 + 1.5 * std::sin(column * 0.7) + 1.2 * std::cos(row * 0.5);
}

// The ground at (x, z) as the grid lays a cell's two triangles, worked out
// from the vertex heights alone; NAN off the map when it is not repeated.
double GroundAt(COxelD3DTerrainChipManager& map, double x, double z, bool repeated)
{
    if (!repeated && (x < 0.0 || z < 0.0 || x >= kSize || z >= kSize)) {
        return NAN;
    }
    const int c = static_cast<int>(std::floor(x));
    const int r = static_cast<int>(std::floor(z));
    const double u = x - c;
    const double v = z - r;
    const auto h = [&](int column, int row) {
        return map.GetHeight(((column % kSize) + kSize) % kSize, ((row % kSize) + kSize) % kSize);
    };
    const double h0 = h(c, r);
    const double h1 = h(c, r + 1);
    const double h2 = h(c + 1, r);
    const double h3 = h(c + 1, r + 1);
    if (u + v <= 1.0) {
        return h0 + u * (h2 - h0) + v * (h1 - h0);
    }
    return h3 + (1.0 - u) * (h1 - h3) + (1.0 - v) * (h2 - h3);
}

// The first point where the segment passes from above the ground to on or
// below it, marched in 20000 steps and then halved down to a hair: an
// independent answer, by brute force over the heights.
bool MarchToGround(COxelD3DTerrainChipManager& map, const D3DXVECTOR3& from, const D3DXVECTOR3& to, bool repeated,
                   D3DXVECTOR3* point)
{
    const auto above = [&](double t) {
        const double x = from.x + (to.x - from.x) * t;
        const double z = from.z + (to.z - from.z) * t;
        const double ground = GroundAt(map, x, z, repeated);
        return std::isnan(ground) || from.y + (to.y - from.y) * t > ground;
    };
    const int steps = 20000;
    bool wasAbove = above(0.0);
    for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const bool isAbove = above(t);
        if (wasAbove && !isAbove) {
            double low = static_cast<double>(k - 1) / steps;
            double high = t;
            for (int halving = 0; halving < 40; ++halving) {
                const double middle = (low + high) / 2.0;
                (above(middle) ? low : high) = middle;
            }
            *point = from + (to - from) * static_cast<float>(high);
            return true;
        }
        wasAbove = isAbove;
    }
    return false;
}

std::string Describe(const D3DXVECTOR3& from, const D3DXVECTOR3& to, bool repeated)
{
    std::ostringstream text;
    text << "(" << from.x << ", " << from.y << ", " << from.z << ") to (" << to.x << ", " << to.y << ", " << to.z
         << ")" << (repeated ? " repeated" : "");
    return text.str();
}

class GroundPickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.ok());
        ASSERT_EQ(0, map.Create(kSize, kSize));
        for (int row = 0; row < kSize; ++row) {
            for (int column = 0; column < kSize; ++column) {
                map.StoreHeight(column, row, HeightOf(column, row));
            }
        }
        map.UpdateAllCells();
    }

    // The pick agrees with the march: both meet the ground or neither does,
    // at the same point, and the cell, vertex and copy it names hold that point.
    void ExpectSameAsMarch(const D3DXVECTOR3& from, const D3DXVECTOR3& to, bool repeated)
    {
        const std::string segment = Describe(from, to, repeated);
        GroundHit hit;
        D3DXVECTOR3 marched(0.0f, 0.0f, 0.0f);
        const bool picked = PickGround(map, from, to, repeated, &hit);
        ASSERT_EQ(MarchToGround(map, from, to, repeated, &marched), picked) << segment;
        ++compared;
        if (!picked) {
            return;
        }
        ++met;
        const D3DXVECTOR3 apart = hit.point - marched;
        EXPECT_LT(D3DXVec3Length(&apart), 0.01f) << segment;
        const float x = marched.x - hit.tileX * kSize;
        const float z = marched.z - hit.tileZ * kSize;
        // On a cell's edge either cell will do.
        EXPECT_LE(hit.cellColumn - 0.01f, x) << segment;
        EXPECT_GE(hit.cellColumn + 1.01f, x) << segment;
        EXPECT_LE(hit.cellRow - 0.01f, z) << segment;
        EXPECT_GE(hit.cellRow + 1.01f, z) << segment;
        EXPECT_GE(0.51f, std::fabs(std::remainder(x - hit.vertexColumn, static_cast<float>(kSize)))) << segment;
        EXPECT_GE(0.51f, std::fabs(std::remainder(z - hit.vertexRow, static_cast<float>(kSize)))) << segment;
        const D3DXVECTOR3 reached = hit.point - from;
        const D3DXVECTOR3 whole = to - from;
        EXPECT_NEAR(hit.along, D3DXVec3Length(&reached) / D3DXVec3Length(&whole), 1e-4f) << segment;
    }

    TestDevice device;
    COxelD3DTerrainChipManager map;
    int compared = 0;
    int met = 0;
};

}  // namespace

TEST_F(GroundPickTest, FindsTheSameGroundAsAMarchOverTheHeights)
{
    const struct {
        D3DXVECTOR3 from;
        D3DXVECTOR3 to;
        bool repeated;
    } segments[] = {
        {{5.3f, 30, 7.6f}, {5.3f, -10, 7.6f}, false},     // straight down into a cell
        {{6, 30, 7.5f}, {6, -10, 7.5f}, false},           // onto the edge between two cells
        {{6, 30, 6}, {6, -10, 6}, false},                 // onto a vertex four cells share
        {{5.5f, 30, 5.2f}, {5.2f, -10, 5.5f}, false},     // across a cell's diagonal
        {{0.5f, 2.9f, 0.5f}, {15.5f, 1.1f, 0.7f}, false}, // low over the ground, into the ridge
        {{8, 12, 10.3f}, {14, 12.5f, 10.3f}, false},      // level into the spike's steep side
        {{9.9f, 30, 9.9f}, {10.05f, -5, 10.02f}, false},  // down onto the spike's tip
        {{12.2f, 20, 4.1f}, {12.0f, -1, 4.0f}, false},    // down into the pit
        {{3.5f, -5, 3.5f}, {3.6f, 30, 3.6f}, false},      // from below: the underside is not drawn
        {{4, 5, 4}, {20, 40, 9}, false},                  // up into the sky
        {{14, 20, 5}, {30, -5, 5}, false},                // off the map's edge: nothing there
        {{14, 20, 5}, {30, -5, 5}, true},                 // the copy beyond the edge
        {{-20, 10, -20}, {-5, -2, -3}, true},             // copies at negative x and z
        {{40, 9, 40}, {-30, 1, 35}, true},                // low across many copies
        {{15.9f, 20, 0.1f}, {16.2f, -5, -0.2f}, true},    // down across the corner of four copies
    };
    for (const auto& segment : segments) {
        ExpectSameAsMarch(segment.from, segment.to, segment.repeated);
    }
    EXPECT_GE(met, 10) << "most segments meet the ground";
}

// The rays through a grid of the preview's pixels, from the start view and
// from a view turned low across the map, with and without the copies.
TEST_F(GroundPickTest, FindsWhatThePreviewsPixelsShow)
{
    COxelD3DCameraBase camera;
    camera.SetPosition(8.0f, 12.0f, 14.0f);
    camera.SetTarget(8.0f, 4.0f, 0.0f);
    camera.SetUp(0.0f, 1.0f, 0.0f);
    for (int view = 0; view < 2; ++view) {
        for (int repeated = 0; repeated < 2; ++repeated) {
            for (int y = 0; y <= 480; y += 80) {
                for (int x = 0; x <= 640; x += 80) {
                    D3DXVECTOR3 from;
                    D3DXVECTOR3 to;
                    camera.PixelRay(static_cast<float>(x), static_cast<float>(y), 640.0f, 480.0f, &from, &to);
                    ExpectSameAsMarch(from, to, repeated != 0);
                }
            }
        }
        camera.Turn(2.0f, 0.3f);
    }
    EXPECT_EQ(4 * 7 * 9, compared);
    EXPECT_GE(met, compared / 3);
}

// After an edit the tree's height ranges are stale until culled; the pick
// sees the new ground at once.
TEST_F(GroundPickTest, SeesAnEditBeforeAnyFrame)
{
    const D3DXVECTOR3 from(7.5f, 30.0f, 7.5f);
    const D3DXVECTOR3 to(7.5f, -10.0f, 7.5f);
    GroundHit before;
    ASSERT_TRUE(PickGround(map, from, to, false, &before));
    for (int row = 7; row <= 8; ++row) {
        for (int column = 7; column <= 8; ++column) {
            map.SetHeight(column, row, 15.0);
        }
    }
    GroundHit after;
    ASSERT_TRUE(PickGround(map, from, to, false, &after));
    EXPECT_FLOAT_EQ(15.0f, after.point.y);
    EXPECT_EQ(7, after.cellColumn);
    EXPECT_EQ(7, after.cellRow);
    EXPECT_LT(after.along, before.along);
}
