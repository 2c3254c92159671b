#include <gtest/gtest.h>

#include "engine/plot.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

class PlotTest : public testing::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        usehitcounts();
        image->fill(RECT{0, 0, engine.res, engine.res}, engine.back);
    }
    float& stored(int x, int y) { return engine.hitcount[y * engine.res + x]; }
    COLORREF entry(int k) const { return palettecolour(engine.palette, static_cast<unsigned>(k)); }

    // Plots with a previous squared modulus of m (the step stores m - 0.5).
    void plotdepth(int x, int y, real squaredmodulus) { plotpoint(engine, x, y, squaredmodulus - 0.5L); }
    void plot(int x, int y) { plotpoint(engine, x, y, engine.z.z); }
};

TEST_F(PlotTest, FirstHitPaintsEntryOne)
{
    plot(3, 4);
    EXPECT_EQ(stored(3, 4), 1.0f);
    EXPECT_EQ(engine.hitmax, 1u);
    EXPECT_EQ(image->getpixel(3, 4), entry(1));
}

TEST_F(PlotTest, CountsPastTheLastEntryKeepEntry255)
{
    for (int k = 0; k < 300; ++k)
        plot(10, 10);
    EXPECT_EQ(stored(10, 10), 300.0f);
    EXPECT_EQ(engine.hitmax, 300u);
    EXPECT_EQ(image->getpixel(10, 10), entry(255));
    stored(11, 10) = 253;
    plot(11, 10);
    EXPECT_EQ(image->getpixel(11, 10), entry(254));
}

TEST_F(PlotTest, SinglePrecisionCountStopsAt2To24)
{
    stored(0, 0) = 16777216.0f;
    plot(0, 0);
    EXPECT_EQ(stored(0, 0), 16777216.0f);
    EXPECT_EQ(engine.hitmax, 16777217u);
}

TEST_F(PlotTest, DepthHalfwayBlendsTwoEntries)
{
    engine.cmethod = 1;
    plotdepth(5, 5, 0.5L); // 127.5
    EXPECT_EQ(stored(5, 5), 127.5f);
    EXPECT_EQ(engine.hitmax, 127u);
    const COLORREF low = entry(127), high = entry(128);
    const auto mid = [](int a, int b) { return static_cast<int>((b - a) * 0.5L + a); };
    EXPECT_EQ(image->getpixel(5, 5),
              RGB(mid(GetRValue(low), GetRValue(high)), mid(GetGValue(low), GetGValue(high)),
                  mid(GetBValue(low), GetBValue(high))));
}

TEST_F(PlotTest, DepthOfOneOrMoreIsEntry255Unblended)
{
    engine.cmethod = 1;
    plotdepth(6, 6, 3.0L);
    EXPECT_EQ(stored(6, 6), 255.0f);
    EXPECT_EQ(engine.hitmax, 255u);
    EXPECT_EQ(image->getpixel(6, 6), entry(255));
}

TEST_F(PlotTest, ShallowPointsNeverPaint)
{
    engine.cmethod = 1;
    plotdepth(7, 7, 1.0L / 300);
    EXPECT_EQ(stored(7, 7), 0.0f);
    EXPECT_EQ(image->getpixel(7, 7), engine.back);
}

TEST_F(PlotTest, OnlyADeeperIndexRepaints)
{
    engine.cmethod = 1;
    plotdepth(8, 8, 100.0L / 255);
    const COLORREF first = image->getpixel(8, 8);
    plotdepth(8, 8, 90.0L / 255);
    plotdepth(8, 8, 100.4L / 255); // same index 100
    EXPECT_EQ(image->getpixel(8, 8), first);
    EXPECT_NEAR(stored(8, 8), 100.0f, 1e-3);
    plotdepth(8, 8, 200.0L / 255);
    EXPECT_NEAR(stored(8, 8), 200.0f, 1e-3);
    EXPECT_NE(image->getpixel(8, 8), first);
}

} // namespace
} // namespace kt
