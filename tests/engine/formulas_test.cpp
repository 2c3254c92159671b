#include <gtest/gtest.h>

#include <cmath>

#include "engine/formulas.h"
#include "engine/range.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

class FormulaTest : public testing::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        usehitcounts();
        image->fill(RECT{0, 0, engine.res, engine.res}, engine.back);
    }

    void coefficients(real a, real b, real c, real d, real e)
    {
        engine.a = a;
        engine.b = b;
        engine.c = c;
        engine.d = d;
        engine.e = e;
    }

    // Sets the per-image constants the way a new image's first step does.
    void startimage(int type, int n, int p)
    {
        engine.type = type;
        engine.newimage = 1;
        VOXEL scratch{0.3, 0.4, 0};
        fpointer[type](engine, &scratch, n, p, 0);
        engine.newimage = 0;
    }
};

TEST_F(FormulaTest, LowDegreesFollowTheDefinitions)
{
    // n = 1: z^n is z and conj(z)^(n-1) is conj(z); with a = d = e = 0,
    // x' = b x^2 + c x and y' = b x y - c y.
    coefficients(0, 2, 3, 0, 0);
    VOXEL z{0.5, 0.25, 9};
    icon1(engine, &z, 1, 0, 1);
    EXPECT_EQ(z.x, 2 * 0.5L * 0.5L + 3 * 0.5L);
    EXPECT_EQ(z.y, 2 * 0.5L * 0.25L - 3 * 0.25L);
    EXPECT_EQ(z.z, 0.5L * 0.5L + 0.25L * 0.25L - 0.5L);

    // n = 2: conj(z)^(n-1) is still conj(z), z^2 has real part x^2 - y^2.
    VOXEL w{0.5, 0.25, 0};
    icon1(engine, &w, 2, 0, 1);
    const real re2 = 0.5L * 0.5L - 0.25L * 0.25L;
    EXPECT_EQ(w.x, 2 * re2 * 0.5L + 3 * 0.5L);
    EXPECT_EQ(w.y, 2 * re2 * 0.25L - 3 * 0.25L);
}

TEST_F(FormulaTest, Icons1IgnoresP)
{
    coefficients(-2.29, -1.43, 0.3, 2.35, 0.1);
    VOXEL one{0.1, 0.003, 0.1};
    VOXEL other = one;
    icon1(engine, &one, 11, 0, 1);
    icon1(engine, &other, 11, 987654, 1);
    EXPECT_EQ(one.x, other.x);
    EXPECT_EQ(one.y, other.y);
}

TEST_F(FormulaTest, Icons2WithZeroPhasePowerScalesByModulus)
{
    // p = 0: the phase term is e |z| times the point.
    startimage(1, 3, 0);
    coefficients(0, 0, 0, 0, 2);
    VOXEL z{0.6, 0.8, 0};
    icon2(engine, &z, 3, 0, 1);
    EXPECT_NEAR(static_cast<double>(z.x), 2 * 1.0 * 0.6, 1e-18);
    EXPECT_NEAR(static_cast<double>(z.y), 2 * 1.0 * 0.8, 1e-18);
}

TEST_F(FormulaTest, Icons2ComputesPhasePowerOnlyAtTheStartOfAnImage)
{
    coefficients(0, 0, 0, 0, 1);
    startimage(1, 2, 1); // np = 2
    VOXEL z{0.6, 0.8, 0};
    icon2(engine, &z, 3, 5, 1); // n and p passed later do not change np
    // Re((z/|z|)^2) = 0.36 - 0.64 = -0.28; times |z| = 1.
    EXPECT_NEAR(static_cast<double>(z.x), -0.28 * 0.6, 1e-15);
}

TEST_F(FormulaTest, ScreeningReportsEscapesAndTouchesNothingElse)
{
    startimage(0, 11, 0);
    coefficients(-2.29, -1.43, 0.3, 2.35, 0);
    engine.rot[0] = VOXEL{10, 20, 30};
    const auto pixelsBefore = pixelcopy();

    VOXEL inside{0.1, 0.003, 0.1};
    EXPECT_EQ(icon1(engine, &inside, 11, 0, 5), 0);
    VOXEL onaxis{0.1, 0.0, 0.1}; // y' = 0: below the low bound
    coefficients(1, 0, 0, 0, 0);
    EXPECT_EQ(icon1(engine, &onaxis, 1, 0, 5), 1);
    VOXEL huge{1e5, 1e5, 0};
    EXPECT_EQ(icon1(engine, &huge, 11, 0, 5), 1);

    EXPECT_EQ(engine.hitmax, 0u);
    EXPECT_EQ(hitcountcopy(), std::vector<float>(hitcountcopy().size(), 0.0f));
    EXPECT_EQ(pixelcopy(), pixelsBefore);
}

TEST_F(FormulaTest, RenderingRestartsAPointThatLeftTheRangeOrLiesOnAnAxis)
{
    startimage(0, 1, 0);
    struct Case {
        VOXEL from;
        real a, d;
    };
    // a = 1 from (2e8, tiny): x' = |z|^2 x goes far beyond 1e16. The identity
    // map (d = 1) keeps y = 0, below the low bound.
    for (const Case& c : {Case{{2e8, 1e-3, 0}, 1, 0}, Case{{0.5, 0.0, 0}, 0, 1}}) {
        coefficients(c.a, 0, 0, c.d, 0);
        engine.z = c.from;
        VOXEL next{};
        advanceorbit(engine, &next, 1);
        EXPECT_EQ(next.x, restartpoint.x);
        EXPECT_EQ(next.y, restartpoint.y);
        EXPECT_EQ(next.z, restartpoint.z);
    }
    // (0.0234 + 1) * 600 / 2 = 307.02, (0.12345 + 1) * 300 = 337.035
    plotturned(engine, restartpoint, restartpoint.z);
    EXPECT_EQ(engine.hitcount[337 * 600 + 307], 1.0f);
    EXPECT_EQ(engine.hitmax, 1u);
}

TEST_F(FormulaTest, ProjectionTruncatesTowardZeroAndStopsBeforeRes)
{
    startimage(0, 1, 0);
    const VOXEL left{-1 - 0.5L / 300, 0.5, 0}; // (x + 1) * 300 = -0.5: truncates to column 0
    plotturned(engine, left, 0);
    EXPECT_EQ(engine.hitcount[450 * 600 + 0], 1.0f);

    const VOXEL right{1.0, 0.5, 0}; // projects to exactly 600: off the image
    const auto before = hitcountcopy();
    plotturned(engine, right, 0);
    EXPECT_EQ(hitcountcopy(), before);
}

TEST_F(FormulaTest, ANewImagesFirstBatchPlotsNothing)
{
    engine.type = 0;
    engine.newimage = 1;
    coefficients(0, 0, 0, 1, 0);
    engine.z = VOXEL{0.5, 0.5, 0};
    renderbatch(ctx, engine);
    EXPECT_EQ(engine.hitmax, 0u);
    EXPECT_EQ(engine.denom[0], 2 * static_cast<real>(engine.icon[0].scale));
}

TEST_F(FormulaTest, RotationMovesThePlottedPointButNotTheOrbit)
{
    startimage(0, 1, 0);
    coefficients(0, 0, 0, 1, 0);     // the identity map: every step plots the same point
    engine.rot[0] = VOXEL{0, 0, 90}; // (x, y) -> (y, -x)
    engine.z = VOXEL{0.5, 0.25, 0};
    renderbatch(ctx, engine);
    EXPECT_EQ(engine.z.x, 0.5L);
    EXPECT_EQ(engine.z.y, 0.25L);
    // Plotted near (0.25, -0.5): column 375, row 150.
    const int column = 375, row = 150;
    float found = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            found += engine.hitcount[(row + dy) * 600 + column + dx];
    EXPECT_EQ(found, static_cast<float>(batchsteps));
}

} // namespace
} // namespace kt
