#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/memory.h"
#include "filterfixture.h"

namespace kt {
namespace {

class Equalize : public testing::FilterTest {
protected:
    // 100 hit pixels: `ones` with one hit, `twos` with two, the rest three,
    // after `unhit` pixels with none, on a 12 x 12 image.
    void distribution(int unhit, int ones, int twos)
    {
        std::vector<float> values(static_cast<std::size_t>(unhit), 0.0f);
        for (int k = 0; k < 100; ++k)
            values.push_back(k < ones ? 1.0f : (k < ones + twos ? 2.0f : 3.0f));
        picture(12, values);
    }
    // The entry each value was given, read from the picture.
    std::map<float, int> entrybyvalue() const
    {
        std::map<float, int> found;
        for (int j = 0; j < engine.res; ++j)
            for (int i = 0; i < engine.res; ++i) {
                const float v = engine.hitcount[j * engine.res + i];
                const auto [at, fresh] = found.emplace(v, entryat(i, j));
                EXPECT_EQ(at->second, entryat(i, j)) << "one value, one entry";
            }
        return found;
    }
};

TEST_F(Equalize, WorkedDistributions)
{
    filters.histogramflag = 1;
    distribution(44, 50, 30);
    ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entrybyvalue(), (std::map<float, int>{{0, -1}, {1, 1}, {2, 77}, {3, 129}}));
    EXPECT_EQ(hist256[1], 50u);
    EXPECT_EQ(hist256[77], 30u);
    EXPECT_EQ(hist256[129], 20u);
    EXPECT_EQ(hist256[0], 0u) << "unhit pixels are not counted";
    EXPECT_EQ(engine.pixelmax, 30u);

    distribution(44, 1, 49);
    ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entrybyvalue(), (std::map<float, int>{{0, -1}, {1, 1}, {2, 126}, {3, 255}}));
}

TEST_F(Equalize, ValuesNoPixelHoldsShareTheIndexBelowThem)
{
    picture(3, {1, 1, 1, 5, 5});
    ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entrybyvalue(), (std::map<float, int>{{0, -1}, {1, 1}, {5, 128}}));
}

TEST_F(Equalize, EveryPixelHitOnceGetsIndex1)
{
    picture(3, {1, 0, 1, 1});
    ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(entries(4), (std::vector<int>{1, -1, 1, 1}));
}

TEST_F(Equalize, SmallestValueGets1AndTheMappingIsMonotone)
{
    std::mt19937 random(11);
    std::geometric_distribution<int> hits(0.02);
    for (int round = 0; round < 5; ++round) {
        std::vector<float> values(48 * 48);
        for (float& v : values)
            v = static_cast<float>(hits(random));
        picture(48, values);
        ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
        const auto found = entrybyvalue();
        auto it = found.begin();
        ASSERT_EQ(it->first, 0.0f);
        ++it;
        EXPECT_EQ(it->second, 1) << "the smallest hit count";
        for (int previous = 1; it != found.end(); ++it) {
            EXPECT_GE(it->second, previous) << it->first << " hits";
            previous = it->second;
        }
        EXPECT_LE(found.rbegin()->second, 255);
    }
}

TEST_F(Equalize, DepthsBlendTowardTheNextValuesIndex)
{
    // The first worked distribution, as depths: 1 -> 1, 2 -> 77, 3 -> 129.
    distribution(44, 50, 30);
    engine.hitcount[0] = 0.5f;    // below 1: skipped
    engine.hitcount[44] = 1.5f;   // halfway from entry 1 toward entry 77
    engine.hitcount[142] = 3.75f; // hitmax: entry 129 as it is
    engine.hitcount[143] = 4.0f;  // a depth rounded up past hitmax counts as hitmax
    engine.cmethod = 1;
    filters.histogramflag = 1;
    ASSERT_EQ(equalize(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(image->getpixel(0, 0), FilterTest::unfiltered);
    // Entry 1 is (1, 254, 7), entry 77 is (77, 178, 7).
    EXPECT_EQ(image->getpixel(8, 3), RGB(39, 216, 7));
    EXPECT_EQ(entryat(10, 11), 129);
    EXPECT_EQ(entryat(11, 11), 129);
    EXPECT_EQ(hist256[1], 50u);
    EXPECT_EQ(hist256[129], 20u);
    EXPECT_EQ(hist256[0], 0u) << "neither unhit pixels nor depths below 1 are counted";
}

TEST_F(Equalize, MissingMemoryIsReportedAndChangesNothing)
{
    filters.histogramflag = 1;
    hist256[9] = 4;
    distribution(44, 50, 30);
    const auto before = pixelcopy();
    injectallocationfailures(1);
    EXPECT_EQ(equalize(ctx, engine, filters, hist256), filternomemory);
    ASSERT_EQ(shown.warnings.size(), 1u);
    EXPECT_EQ(shown.warnings[0].text,
              "Not enough memory to allocate equalization buffers.\nFree up more system memory, or\n"
              "   stop rendereing at\n   fewer iterations.");
    EXPECT_EQ(shown.warnings[0].caption, "Memory allocation problem");
    EXPECT_EQ(pixelcopy(), before);
    EXPECT_EQ(hist256[9], 4u);
    EXPECT_GT(shown.busycount, 0);
    EXPECT_TRUE(idleagain());

    EXPECT_EQ(equalize(ctx, engine, filters, hist256), filterdone) << "the next call has its memory";
}

} // namespace
} // namespace kt
