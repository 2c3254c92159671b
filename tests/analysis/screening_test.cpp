#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "analysis/screening.h"
#include "support/base/decimals.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

class ScreeningTest : public testing::EngineTest {
protected:
    ScreeningState screening;
};

// x' = d x (formula 1 with n = 1, everything else 0): a contraction for
// |d| < 1, an expansion for |d| > 1.
ICON linear(double d, double x, double y)
{
    return ICON{0, 0, 0, d, 0, 1, 0, 1.0, x, y, 0.1};
}

TEST_F(ScreeningTest, BuiltInSetsPass)
{
    engine.type = 0;
    EXPECT_EQ(testrp(builtinicon1, engine.type, screening), screenpass);
    EXPECT_NEAR(screening.LExp, 0.55, 0.03);
    EXPECT_NEAR(screening.FD, 1.8, 0.05);
    EXPECT_TRUE(testing::twelvedecimals(screening.LExp));
    EXPECT_TRUE(testing::twelvedecimals(screening.FD));

    engine.type = 1;
    EXPECT_EQ(testrp(builtinicon2, engine.type, screening), screenpass);
    EXPECT_NEAR(screening.LExp, 0.34, 0.03);
    EXPECT_NEAR(screening.FD, 1.8, 0.05);
}

TEST_F(ScreeningTest, SameSetSameResult)
{
    const int first = testrp(builtinicon1, engine.type, screening);
    const double lexp = screening.LExp, fd = screening.FD;
    EXPECT_EQ(testrp(builtinicon1, engine.type, screening), first);
    EXPECT_EQ(screening.LExp, lexp);
    EXPECT_EQ(screening.FD, fd);
}

TEST_F(ScreeningTest, AttractingFixedPointIsNotChaotic)
{
    // x' = 0.9999 x: the separation shrinks every step while the orbit
    // (0.9 e^-1 after 10,000 steps) stays in range.
    EXPECT_EQ(testrp(linear(0.9999, 0.9, 0.9), engine.type, screening), screennotchaotic);
    EXPECT_LT(screening.LExp, 0);
}

TEST_F(ScreeningTest, EscapesAreCaughtBeforeAndAfterTheTransient)
{
    screening.LExp = 42;
    screening.FD = 43;
    EXPECT_EQ(testrp(linear(2, 0.5, 0.5), engine.type, screening), screenescape);   // above 1e8 after about 28 steps
    EXPECT_EQ(testrp(linear(1.1, 0.5, 0.5), engine.type, screening), screenescape); // after about 190 steps
    EXPECT_EQ(testrp(linear(0.5, 0.5, 0.5), engine.type, screening), screenescape); // below 1e-8
    EXPECT_EQ(screening.LExp, 42) << "an escape leaves the last measures";
    EXPECT_EQ(screening.FD, 43);
}

TEST_F(ScreeningTest, LeavesTheEngineAsItWas)
{
    engine.type = 1;
    engine.newimage = 0;
    engine.np = 999; // were the test to use the engine's np, formula 2 would not pass
    engine.a = 7;
    engine.z = VOXEL{0.25, -0.5, 0.125};
    const EngineValues before = engine;
    EXPECT_EQ(testrp(builtinicon2, engine.type, screening), screenpass) << "the candidate's own n x p is used";
    testrp(linear(2, 0.5, 0.5), engine.type, screening);
    const real working[] = {engine.a, engine.b, engine.c, engine.d, engine.e, engine.denom[0], engine.denom[1]};
    const real saved[] = {before.a, before.b, before.c, before.d, before.e, before.denom[0], before.denom[1]};
    for (std::size_t k = 0; k < std::size(working); ++k)
        EXPECT_EQ(working[k], saved[k]) << k;
    EXPECT_TRUE(engine.z.x == before.z.x && engine.z.y == before.z.y && engine.z.z == before.z.z);
    EXPECT_EQ(engine.np, 999);
    EXPECT_EQ(engine.newimage, 0);
}

TEST_F(ScreeningTest, DimensionLimitDecidesPassOrLowDimension)
{
    testrp(builtinicon1, engine.type, screening);
    const double fd = screening.FD;
    screening.FDLimit = fd;
    EXPECT_EQ(testrp(builtinicon1, engine.type, screening), screenpass) << "equal to the limit passes";
    screening.FDLimit = std::nextafter(fd, 2.0);
    EXPECT_EQ(testrp(builtinicon1, engine.type, screening), screenlowdimension);
}

TEST_F(ScreeningTest, OrbitOutsideTheSquareHasDimensionZero)
{
    screening.FD = 5;
    EXPECT_EQ(testrp(linear(1, 1.5, 1.5), engine.type, screening), screennotchaotic); // a fixed point outside
    EXPECT_EQ(screening.FD, 0.0);
}

class BoxCountTest : public ScreeningTest {
protected:
    void mark(real x, real y) { boxcount(screening, VOXEL{x, y, 0}); }
    int count16() const
    {
        int n = 0;
        for (auto& row : screening.N16)
            for (int c : row)
                n += c;
        return n;
    }
};

TEST_F(BoxCountTest, BoundariesFallInTheLowerCell)
{
    mark(0.125, 0.125);
    EXPECT_EQ(screening.N16[8][8], 1);
    EXPECT_EQ(screening.N32[17][17], 1);
    mark(-1, 1);
    EXPECT_EQ(screening.N16[15][0], 1);
    EXPECT_EQ(screening.N32[31][0], 1);
    mark(1.0000001L, 0);
    EXPECT_EQ(count16(), 2) << "just outside the square counts nowhere";
}

TEST_F(BoxCountTest, DimensionFromOccupiedCells)
{
    mark(0.01, 0.01);
    mark(0.02, 0.02);
    EXPECT_EQ(fractaldimension(screening), 0.0) << "one cell in each grid";

    screening = ScreeningState{};
    // Ten 16-cells, each holding two 32-cells: ratio 2, dimension 1.
    for (int k = 0; k < 10; ++k) {
        const real base = -1 + k / 8.0L;
        mark(base + 0.01L, 0.01L);
        mark(base + 0.07L, 0.01L);
    }
    EXPECT_NEAR(truncate12(fractaldimension(screening)), 1.0, 1e-12);
}

} // namespace
} // namespace kt
