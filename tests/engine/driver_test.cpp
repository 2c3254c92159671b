#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

using DriverTest = testing::EngineTest;

TEST_F(DriverTest, FirstBatchOfANewImageDrawsNothing)
{
    ASSERT_EQ(imagebatch(ctx, engine), 0);
    EXPECT_EQ(countpixels(engine.back), 600 * 600);
    EXPECT_EQ(engine.hitmax, 0u);
    EXPECT_EQ(engine.itercount, 1000u);
    EXPECT_EQ(engine.newimage, 0);
    EXPECT_EQ(engine.hcres, 600);
    EXPECT_EQ(engine.saveres, 600);

    ASSERT_EQ(imagebatch(ctx, engine), 0);
    EXPECT_GT(engine.hitmax, 0u);
    EXPECT_EQ(engine.itercount, 2000u);
    EXPECT_LT(countpixels(engine.back), 600 * 600);
}

TEST_F(DriverTest, ZStartDoesNotChangeThePicture)
{
    for (int k = 0; k < 50; ++k)
        imagebatch(ctx, engine);
    const auto pixels = pixelcopy();
    engine.icon[0].zstart = -12345.678;
    engine.newimage = 1;
    for (int k = 0; k < 50; ++k)
        imagebatch(ctx, engine);
    EXPECT_EQ(pixelcopy(), pixels);
}

TEST_F(DriverTest, NewImageReusesTheBufferAtTheSameSizeAndReplacesItAtAnother)
{
    imagebatch(ctx, engine);
    imagebatch(ctx, engine);
    float* first = engine.hitcount.get();
    engine.newimage = 1;
    imagebatch(ctx, engine);
    EXPECT_EQ(engine.hitcount.get(), first);
    EXPECT_EQ(engine.hitmax, 0u);
    for (int k = 0; k < 600 * 600; ++k)
        ASSERT_EQ(engine.hitcount[k], 0.0f);

    useimage(300);
    engine.newimage = 1;
    imagebatch(ctx, engine);
    EXPECT_EQ(engine.hcres, 300);
    imagebatch(ctx, engine);
    EXPECT_GT(engine.hitmax, 0u);
}

TEST_F(DriverTest, ItercountSkipsItsLargestValue)
{
    imagebatch(ctx, engine);
    engine.itercount = 4294967294u - 1000;
    imagebatch(ctx, engine);
    EXPECT_EQ(engine.itercount, 4294967294u);
    imagebatch(ctx, engine);
    EXPECT_EQ(engine.itercount, 999u) << "4294967295 is never held: the step after 4294967294 gives 0";
}

TEST_F(DriverTest, NonFiniteCoefficientsRenderWithoutHarm)
{
    engine.icon[0].a = std::numeric_limits<double>::quiet_NaN();
    engine.icon[0].b = std::numeric_limits<double>::infinity();
    engine.icon[0].xstart = std::numeric_limits<double>::max();
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(imagebatch(ctx, engine), 0);
    EXPECT_EQ(engine.z.x, static_cast<real>(0.0234)) << "every step escapes and restarts";
}

TEST_F(DriverTest, BuiltInSetsRenderOnTheDefaultBackground)
{
    EXPECT_EQ(engine.type, 0);
    EXPECT_EQ(engine.res, 600);
    EXPECT_EQ(engine.back, RGB(255, 245, 230));
    for (int k = 0; k < 100; ++k)
        imagebatch(ctx, engine);
    // The icon is symmetric about its centre: it reaches near all four edges
    // but its corners stay background.
    EXPECT_EQ(image->getpixel(0, 0), engine.back);
    EXPECT_EQ(image->getpixel(599, 599), engine.back);
    EXPECT_GT(engine.hitmax, 1u);
}

} // namespace
} // namespace kt
