#include <gtest/gtest.h>

#include "filterfixture.h"

namespace kt {
namespace {

using LogAdjust = testing::FilterTest;
constexpr int kept = testing::FilterTest::notanentry;

TEST_F(LogAdjust, PlainAndSquaredMappingsForHitmax1000)
{
    picture(3, {1, 2, 10, 100, 1000});
    ASSERT_EQ(logadjust(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(6), (std::vector<int>{kept, 25, 85, 170, 255, kept}));

    picture(3, {1, 2, 10, 100, 1000});
    filters.logsquare = 1;
    ASSERT_EQ(logadjust(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(6), (std::vector<int>{kept, 2, 28, 113, 255, kept}));
}

TEST_F(LogAdjust, CountsBeyondTheLookupRangeScaleAlike)
{
    const std::vector<float> values = {65535, 65536, 70000, 100000, 999999, 1000000};
    picture(3, values);
    ASSERT_EQ(logadjust(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(6), (std::vector<int>{204, 204, 205, 212, 254, 255}));

    picture(3, values);
    filters.logsquare = 1;
    ASSERT_EQ(logadjust(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(6), (std::vector<int>{164, 164, 166, 177, 254, 255}));
}

TEST_F(LogAdjust, UnhitPixelsAreSkippedAndSingleHitsKeptButCounted)
{
    filters.histogramflag = 1;
    picture(3, {0, 1, 1, 5, 0, 1, 5});
    ASSERT_EQ(logadjust(ctx, engine, filters, hist256), filterdone);
    const std::vector<int> after = entries(9);
    EXPECT_EQ(after[0], kept);
    EXPECT_EQ(after[1], kept);
    EXPECT_EQ(after[3], 255);
    EXPECT_EQ(hist256[0], 3u) << "the one-hit pixels, not the unhit ones";
    EXPECT_EQ(hist256[255], 2u);
    std::uint32_t counted = 0;
    for (std::uint32_t c : hist256)
        counted += c;
    EXPECT_EQ(counted, 5u);
}

} // namespace
} // namespace kt
