#include <gtest/gtest.h>

#include <cmath>

#include "engine/rotation.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

constexpr double tolerance = 1e-15;

class RotationTest : public testing::EngineTest {
protected:
    VOXEL turned(VOXEL p) const { return rotated(p, planrotation(engine.rot[engine.type], engine.rotationorder)); }
};

TEST_F(RotationTest, NinetyDegreesAboutZ)
{
    engine.rot[0] = VOXEL{0, 0, 90};
    const VOXEL a = turned(VOXEL{1, 0, 0});
    EXPECT_NEAR(static_cast<double>(a.x), 0, tolerance);
    EXPECT_NEAR(static_cast<double>(a.y), -1, tolerance);
    const VOXEL b = turned(VOXEL{0, 1, 0});
    EXPECT_NEAR(static_cast<double>(b.x), 1, tolerance);
    EXPECT_NEAR(static_cast<double>(b.y), 0, tolerance);
}

TEST_F(RotationTest, AZeroAngleLeavesItsPairExactlyAlone)
{
    engine.rot[0] = VOXEL{0, 0, 33};
    const VOXEL p{0.123456789L, -0.987654321L, 0.5L};
    const VOXEL r = turned(p);
    EXPECT_EQ(r.z, p.z) << "only the Z rotation ran, which keeps z";
    engine.rot[0] = VOXEL{33, 0, 0};
    EXPECT_EQ(turned(p).x, p.x) << "only the X rotation ran, which keeps x";
}

TEST_F(RotationTest, FullTurnReturnsEveryPoint)
{
    engine.rot[0] = VOXEL{360, 360, 360};
    const VOXEL p{0.3, -0.7, 0.2};
    const VOXEL r = turned(p);
    EXPECT_NEAR(static_cast<double>(r.x), 0.3, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.y), -0.7, 1e-15);
    EXPECT_NEAR(static_cast<double>(r.z), 0.2, 1e-15);
}

TEST_F(RotationTest, OrderMatters)
{
    engine.rot[0] = VOXEL{90, 90, 0};
    const VOXEL p{1, 0, 0};
    engine.rotationorder = 0; // X keeps (1, 0, 0), then Y takes it to (0, 0, -1)
    const VOXEL xy = turned(p);
    engine.rotationorder = 2; // Y gives (0, 0, -1), then X takes that to (0, -1, 0)
    const VOXEL yx = turned(p);
    EXPECT_NEAR(static_cast<double>(xy.z), -1, tolerance);
    EXPECT_NEAR(static_cast<double>(xy.y), 0, tolerance);
    EXPECT_NEAR(static_cast<double>(yx.y), -1, tolerance);
    EXPECT_NEAR(static_cast<double>(yx.z), 0, tolerance);
}

TEST_F(RotationTest, UnknownOrderIsZYX)
{
    engine.rot[0] = VOXEL{20, 40, 60};
    const VOXEL p{0.3, -0.7, 0.2};
    engine.rotationorder = 5;
    const VOXEL zyx = turned(p);
    engine.rotationorder = 17;
    const VOXEL other = turned(p);
    EXPECT_EQ(zyx.x, other.x);
    EXPECT_EQ(zyx.y, other.y);
    EXPECT_EQ(zyx.z, other.z);
}

TEST_F(RotationTest, RotatesUsingTheCurrentFormulasAngles)
{
    engine.rot[0] = VOXEL{0, 0, 90};
    engine.type = 1;
    const VOXEL r = turned(VOXEL{1, 0, 0});
    EXPECT_EQ(r.x, 1);
}

TEST(Rotate, OriginStaysPut)
{
    real a = 0, b = 0;
    rotate(&a, &b, 1.0L);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
}

TEST(Rotate, NegativeFirstAxisStartsAtThreeHalvesPi)
{
    real a = -2, b = 0;
    rotate(&a, &b, static_cast<real>(1.57079632679489661923));
    EXPECT_NEAR(static_cast<double>(a), 0, 1e-15);
    EXPECT_NEAR(static_cast<double>(b), 2, 1e-15);
}

TEST(Rotate, SnapsPairsNearTheFirstAxis)
{
    // |P2| < 1e-6: taken as lying on the P1 axis with the pair's modulus.
    real a = 1e-7, b = 1e-7;
    rotate(&a, &b, 0);
    EXPECT_NEAR(static_cast<double>(a), std::sqrt(2.0) * 1e-7, 1e-20);
    EXPECT_NEAR(static_cast<double>(b), 0, 1e-22);
}

// The turn takes sine and cosine from one call; the pair must still hold the
// exact products with sinl and cosl of the finishing angle, over a sweep of
// angles that crosses every octant's reduction and the wrap past 2 pi.
TEST(Rotate, TurnsBySinlAndCoslOfTheFinishingAngle)
{
    const PolarPair polar{1.75L, 0.3L};
    for (int k = 0; k < 20000; ++k) {
        const real radians = k * 0.000314159L + k * 1e-19L;
        real finish = polar.radians_start + radians;
        if (finish > static_cast<real>(6.28318530717958647692))
            finish -= static_cast<real>(6.28318530717958647692);
        real pos1 = 0, pos2 = 0;
        turnpolarpair(polar, radians, &pos1, &pos2);
        ASSERT_EQ(pos1, polar.modulus * sinl(finish)) << k;
        ASSERT_EQ(pos2, polar.modulus * cosl(finish)) << k;
    }
}

} // namespace
} // namespace kt
