#include <gtest/gtest.h>

#include <random>

#include "filterfixture.h"

namespace kt {
namespace {

struct Filter {
    const char* name;
    int (*run)(RenderContext&, EngineState&, const FilterState&, PaletteCounts&);
};
void PrintTo(const Filter& filter, std::ostream* out)
{
    *out << filter.name;
}

class EachFilter : public testing::FilterTest, public ::testing::WithParamInterface<Filter> {
protected:
    // A render-like picture: most pixels unhit or lightly hit, a few hot.
    void typicalpicture(int res = 40)
    {
        std::mt19937 random(3);
        std::geometric_distribution<int> hits(0.05);
        std::vector<float> values(static_cast<std::size_t>(res) * res);
        for (float& v : values)
            v = static_cast<float>(random() % 4 == 0 ? 0 : hits(random));
        picture(res, values);
    }
    // Counts that no pass would leave, to see whether a pass touched them.
    void markcounts()
    {
        hist256.fill(1000);
        engine.pixelmax = 99999;
    }
    bool countsmarked() const
    {
        for (std::uint32_t c : hist256)
            if (c != 1000)
                return false;
        return engine.pixelmax == 99999;
    }
};

TEST_P(EachFilter, RefusesBelow1000IterationsTouchingNothing)
{
    typicalpicture();
    engine.itercount = 999;
    filters.histogramflag = 1;
    markcounts();
    const auto before = pixelcopy();
    EXPECT_EQ(GetParam().run(ctx, engine, filters, hist256), filtertoofew);
    EXPECT_EQ(pixelcopy(), before);
    EXPECT_TRUE(countsmarked());
    EXPECT_EQ(shown.busycount, 0) << "nothing was under way";
}

TEST_P(EachFilter, RunningAgainGivesTheSamePictureAndKeepsTheRawValues)
{
    typicalpicture();
    const auto raw = hitcountcopy();
    const auto before = pixelcopy();
    ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
    const auto once = pixelcopy();
    EXPECT_NE(once, before);
    EXPECT_GT(shown.busycount, 0);
    EXPECT_TRUE(idleagain());
    ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
    EXPECT_EQ(pixelcopy(), once);
    EXPECT_EQ(hitcountcopy(), raw);
}

TEST_P(EachFilter, CountsTheIndicesItAssignsOnlyWithTheDisplayOn)
{
    typicalpicture();
    markcounts();
    ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
    EXPECT_TRUE(countsmarked()) << "display off: no counting";

    filters.histogramflag = 1;
    ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
    std::array<std::uint32_t, 256> drawn{};
    for (int j = 0; j < engine.res; ++j)
        for (int i = 0; i < engine.res; ++i)
            if (const int k = entryat(i, j); k >= 1)
                ++drawn[static_cast<std::size_t>(k)];
    std::uint32_t largest = 0;
    for (int k = 1; k < 256; ++k) {
        EXPECT_EQ(hist256[k], drawn[k]) << "index " << k;
        if (k >= 2)
            largest = std::max(largest, hist256[k]);
    }
    EXPECT_EQ(engine.pixelmax, largest);
    EXPECT_GT(engine.pixelmax, 0u);
}

TEST_P(EachFilter, ShowsItsPictureAndTheHistogramOnlyWithTheDisplayOnAndItsWindowAvailable)
{
    typicalpicture();
    const struct {
        int okhistogram;
        int histogramflag;
        int shown;
    } cases[] = {{1, 0, 0}, {0, 1, 0}, {1, 1, 1}};
    for (const auto& c : cases) {
        filters.okhistogram = c.okhistogram;
        filters.histogramflag = c.histogramflag;
        const int filtered = shown.filteredcount, histograms = shown.histogramcount;
        ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
        EXPECT_EQ(shown.filteredcount, filtered + 1);
        EXPECT_EQ(shown.histogramcount, histograms + c.shown) << c.okhistogram << c.histogramflag;
    }
}

TEST_P(EachFilter, DrawsOnlyWhereAnImageOfAnotherSizeOverlapsThePicture)
{
    for (int cmethod : {0, 1}) {
        if (cmethod == 1 && GetParam().run == logadjust)
            continue;
        // Depths on a picture large enough to be shaded from a table.
        const int res = cmethod == 0 ? 12 : 480;
        if (cmethod == 0) {
            typicalpicture(res);
        } else {
            std::mt19937 random(8);
            std::uniform_real_distribution<float> depth(0, 52);
            std::vector<float> values(static_cast<std::size_t>(res) * res);
            for (float& v : values)
                v = random() % 4 == 0 ? 0 : depth(random);
            picture(res, values);
            engine.cmethod = 1;
        }
        ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
        const auto whole = pixelcopy();

        // Narrower and shorter, then wider and taller than the picture.
        for (const auto& [width, height] : {std::pair{res / 2 + 1, res / 3}, std::pair{res + 3, res + 2}}) {
            Surface other(width, height);
            other.fill(RECT{0, 0, width, height}, FilterTest::unfiltered);
            engine.g_vhdc = &other;
            ASSERT_EQ(GetParam().run(ctx, engine, filters, hist256), filterdone);
            engine.g_vhdc = image.get();
            for (int j = 0; j < height; ++j)
                for (int i = 0; i < width; ++i) {
                    const bool onpicture = i < res && j < res;
                    const std::uint32_t expected = onpicture ? whole[static_cast<std::size_t>(j * res + i)]
                                                             : Surface::toNative(FilterTest::unfiltered);
                    ASSERT_EQ(other.bits()[j * width + i], expected) << cmethod << ": " << i << "," << j;
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, EachFilter,
                         ::testing::Values(Filter{"normalize", normalize}, Filter{"logadjust", logadjust},
                                           Filter{"equalize", equalize}),
                         [](const auto& info) { return std::string(info.param.name); });

using FilterDomains = testing::FilterTest;

TEST_F(FilterDomains, PicturesWithNothingToScaleAreLeftAsTheyAre)
{
    struct Case {
        const char* what;
        int (*run)(RenderContext&, EngineState&, const FilterState&, PaletteCounts&);
        std::vector<float> values;
        int cmethod;
    };
    const Case cases[] = {
        {"normalize, nothing hit", normalize, {}, 0}, {"normalize, depths all below 1", normalize, {0.5f, 0.25f}, 1},
        {"logadjust, nothing hit", logadjust, {}, 0}, {"logadjust, nothing hit twice", logadjust, {1, 0, 1, 1}, 0},
        {"equalize, nothing hit", equalize, {}, 0},   {"equalize, a single hit pixel", equalize, {0, 0, 40}, 0},
    };
    for (const Case& c : cases) {
        picture(4, c.values);
        engine.cmethod = c.cmethod;
        filters.histogramflag = 1;
        hist256.fill(1000);
        const auto before = pixelcopy();
        EXPECT_EQ(c.run(ctx, engine, filters, hist256), filternothingtoscale) << c.what;
        EXPECT_EQ(pixelcopy(), before) << c.what;
        EXPECT_EQ(hist256[0], 1000u) << c.what;
        EXPECT_TRUE(idleagain()) << c.what;
    }
}

TEST_F(FilterDomains, LogFilterRefusesDepthColouring)
{
    picture(4, {3, 100, 7});
    engine.cmethod = 1;
    const auto before = pixelcopy();
    EXPECT_EQ(logadjust(ctx, engine, filters, hist256), filternothitcount);
    EXPECT_EQ(pixelcopy(), before);
    EXPECT_EQ(shown.busycount, 0);
}

} // namespace
} // namespace kt
