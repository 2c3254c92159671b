#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "filterfixture.h"

namespace kt {
namespace {

using Normalize = testing::FilterTest;

TEST_F(Normalize, AdjustmentSteepensTheScaleAsTabled)
{
    struct Example {
        std::uint32_t hitmax;
        int nadjust;
        double nfactor; // to six decimals
    };
    const Example table[] = {
        {255, 0, 1.0},     {255, 5, 1.0},        {255, 10, 1.0},       {1000, 0, 0.837031}, {1000, 5, 0.546016},
        {1000, 10, 0.255}, {10000, 0, 0.786828}, {10000, 5, 0.406164}, {10000, 10, 0.0255},
    };
    for (const Example& e : table) {
        std::vector<float> probes;
        for (float v : {3.0f, 7.0f, 100.0f, 123.0f, 250.0f, 299.0f, 317.0f})
            if (v < static_cast<float>(e.hitmax))
                probes.push_back(v);
        std::vector<float> values = probes;
        values.push_back(static_cast<float>(e.hitmax));
        picture(3, values);
        filters.nadjust = e.nadjust;
        ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
        for (std::size_t k = 0; k < probes.size(); ++k) {
            const double product = e.nfactor * probes[k];
            if (product < 255 && e.nfactor != 1.0) {
                ASSERT_GT(std::abs(product - std::round(product)), 0.01) << "a probe too close to call";
            }
            const int expected = product >= 255 ? 255 : static_cast<int>(product);
            EXPECT_EQ(entries(9)[k], expected < 1 ? FilterTest::notanentry : expected)
                << "hitmax " << e.hitmax << ", nadjust " << e.nadjust << ", " << probes[k] << " hits";
        }
    }
}

TEST_F(Normalize, Hitmax255KeepsEveryCountOnItsOwnIndex)
{
    std::vector<float> values;
    for (int v = 0; v < 256; ++v)
        values.push_back(static_cast<float>(v));
    for (int nadjust : {0, 5, 10}) {
        picture(16, values);
        filters.nadjust = nadjust;
        ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
        EXPECT_EQ(entryat(0, 0), FilterTest::notanentry) << "no hit, not redrawn";
        for (int v = 1; v < 256; ++v)
            ASSERT_EQ(entryat(v % 16, v / 16), v) << "nadjust " << nadjust;
    }
}

TEST_F(Normalize, CompleteAdjustmentTakesHitmaxTo255OrJustBelow)
{
    filters.nadjust = 10;
    picture(2, {1000, 500, 1});
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(3), (std::vector<int>{255, 127, FilterTest::notanentry}));

    // 255 / 9 is a little above the double nearest it.
    picture(2, {9, 4});
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(2), (std::vector<int>{254, 113}));
}

TEST_F(Normalize, CountsEveryPixelButTakesPixelmaxFromIndex2Up)
{
    filters.histogramflag = 1;
    picture(3, {0, 0, 0, 1, 1, 1, 2, 255});
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(hist256[0], 4u);
    EXPECT_EQ(hist256[1], 3u);
    EXPECT_EQ(hist256[2], 1u);
    EXPECT_EQ(hist256[255], 1u);
    EXPECT_EQ(engine.pixelmax, 1u);
}

TEST_F(Normalize, DepthCountsTakeUnhitAndUndrawnPixelsAtIndex0)
{
    filters.histogramflag = 1;
    // hitmax 51: the plain scale is 5.
    picture(3, {0, 0.1f, 25.5f, 51, 10, 25.5f});
    engine.cmethod = 1;
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(hist256[0], 5u) << "four unhit pixels and 0.1, which scales below 1";
    EXPECT_EQ(hist256[127], 2u);
    EXPECT_EQ(hist256[50], 1u);
    EXPECT_EQ(hist256[255], 1u);
    EXPECT_EQ(engine.pixelmax, 2u);
}

TEST_F(Normalize, CountsBeyondTheLookupRangeScaleAlike)
{
    filters.nadjust = 10;
    picture(3, {65535, 65536, 65537, 70000, 100000, 150000, 200000});
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(7), (std::vector<int>{83, 83, 83, 89, 127, 191, 255}));
}

TEST_F(Normalize, DepthsTakeThePlainScaleAndBlendTowardTheNextEntry)
{
    // 255 / 51 = 5 exactly: 25.5 scales to 127.5, halfway from 127 to 128.
    for (int nadjust : {0, 10}) {
        picture(2, {25.5f, 51, 0.1f, 10});
        engine.cmethod = 1;
        filters.nadjust = nadjust;
        engine.palette[3 * 127] = 0, engine.palette[3 * 127 + 1] = 100, engine.palette[3 * 127 + 2] = 0;
        engine.palette[3 * 128] = 0, engine.palette[3 * 128 + 1] = 200, engine.palette[3 * 128 + 2] = 41;
        ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
        EXPECT_EQ(image->getpixel(0, 0), RGB(1, 150, 20)) << "blended, and a 0 component becomes 1";
        EXPECT_EQ(entryat(1, 0), 255) << "255 itself is not blended";
        EXPECT_EQ(image->getpixel(0, 1), FilterTest::unfiltered) << "0.5 truncates to index 0";
        EXPECT_EQ(entryat(1, 1), 50) << "a whole index blends nothing in";
    }
}

TEST_F(Normalize, NoBlendedComponentIsZero)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> depth(0, 255);
    std::vector<float> values(64 * 64);
    for (float& v : values)
        v = depth(random);
    picture(64, values);
    engine.cmethod = 1;
    // Entries of black, white and single primaries, so that blends between
    // them cross 0 in every component.
    for (int k = 0; k < 256; ++k) {
        const int shade = (k % 3 == 0) ? 0 : 255;
        engine.palette[3 * k] = static_cast<std::uint8_t>(k % 2 ? shade : 0);
        engine.palette[3 * k + 1] = static_cast<std::uint8_t>(k % 5 ? 0 : shade);
        engine.palette[3 * k + 2] = static_cast<std::uint8_t>(k % 7 ? shade : 0);
    }
    ASSERT_EQ(normalize(ctx, engine, filters, hist256), filterdone);
    int blended = 0;
    for (int j = 0; j < 64; ++j)
        for (int i = 0; i < 64; ++i) {
            const COLORREF c = image->getpixel(i, j);
            if (c == FilterTest::unfiltered)
                continue;
            if (values[static_cast<std::size_t>(j * 64 + i)] >= static_cast<float>(engine.hitmax)) {
                ASSERT_EQ(c, palettecolour(engine.palette, 255)) << "255 is painted as it is";
                continue;
            }
            ++blended;
            ASSERT_GE(GetRValue(c), 1);
            ASSERT_GE(GetGValue(c), 1);
            ASSERT_GE(GetBValue(c), 1);
        }
    EXPECT_GT(blended, 4000);
}

} // namespace
} // namespace kt
