#include "app/MultiSample.h"

#include <gtest/gtest.h>

#include <set>

namespace {

D3DMULTISAMPLE_TYPE Nearest(D3DMULTISAMPLE_TYPE wanted, std::set<int> offered)
{
    return NearestMultiSampleType(wanted, [&](D3DMULTISAMPLE_TYPE type) { return offered.count(type) > 0; });
}

}  // namespace

TEST(NearestMultiSampleType, KeepsTheWantedTypeWhenOffered)
{
    EXPECT_EQ(D3DMULTISAMPLE_2_SAMPLES, Nearest(D3DMULTISAMPLE_2_SAMPLES, {2, 4, 8}));
}

TEST(NearestMultiSampleType, FallsBackToTheNearestOfferedCount)
{
    // Software renderers commonly offer 4 but not 2.
    EXPECT_EQ(D3DMULTISAMPLE_4_SAMPLES, Nearest(D3DMULTISAMPLE_2_SAMPLES, {4, 8}));
    EXPECT_EQ(D3DMULTISAMPLE_3_SAMPLES, Nearest(D3DMULTISAMPLE_4_SAMPLES, {3, 5}));
    EXPECT_EQ(D3DMULTISAMPLE_16_SAMPLES, Nearest(D3DMULTISAMPLE_2_SAMPLES, {16}));
}

TEST(NearestMultiSampleType, GivesNoneWhenNothingIsOffered)
{
    EXPECT_EQ(D3DMULTISAMPLE_NONE, Nearest(D3DMULTISAMPLE_2_SAMPLES, {}));
    EXPECT_EQ(D3DMULTISAMPLE_NONE, Nearest(D3DMULTISAMPLE_NONE, {2, 4}));
}
