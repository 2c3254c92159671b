#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/range.h"

namespace kt {
namespace {

TEST(Overflow, LooksOnlyAtTheFirstTwoCoordinates)
{
    EXPECT_EQ(overflow(VOXEL{0.5, 0, 7}, testlow, testhigh), 1);
    EXPECT_EQ(overflow(VOXEL{0.5, 0.5, 1e300}, testlow, testhigh), 0);
    EXPECT_EQ(overflow(VOXEL{2e16, 0.5, 0}, renderlow, renderhigh), 1);
    EXPECT_EQ(overflow(VOXEL{0.5, -2e8, 0}, testlow, testhigh), 1);
    EXPECT_EQ(overflow(VOXEL{1e-9, 0.5, 0}, testlow, testhigh), 1);
    EXPECT_EQ(overflow(VOXEL{1e-9, 0.5, 0}, renderlow, renderhigh), 0);
    EXPECT_EQ(overflow(VOXEL{1e16, -1e16, 0}, renderlow, renderhigh), 0) << "the bounds themselves are inside";
}

TEST(Overflow, NotANumberIsNeverInside)
{
    const real nan = std::numeric_limits<real>::quiet_NaN();
    EXPECT_EQ(overflow(VOXEL{nan, 0.5, 0}, testlow, testhigh), 1);
    EXPECT_EQ(overflow(VOXEL{0.5, nan, 0}, testlow, testhigh), 1);
    EXPECT_EQ(overflow(VOXEL{0.5, std::numeric_limits<real>::infinity(), 0}, testlow, testhigh), 1);
}

TEST(Limits, ClampsToTwentyAndKeepsAwayFromZero)
{
    const struct {
        double in, out;
    } table[] = {
        {-25, -20},
        {25, 20},
        {-5e-7, -1e-6},
        {5e-7, 1e-6},
        {0, 0},
        {-1e-6, -1e-6},
        {1e-6, 1e-6},
        {3.5, 3.5},
        {std::numeric_limits<double>::infinity(), 20},
        {-std::numeric_limits<double>::infinity(), -20},
        {std::numeric_limits<double>::quiet_NaN(), -20},
    };
    for (const auto& row : table) {
        double v = row.in;
        limits(&v);
        EXPECT_EQ(v, row.out) << "for " << row.in;
    }
}

} // namespace
} // namespace kt
