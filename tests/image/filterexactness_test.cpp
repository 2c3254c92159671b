#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "filterfixture.h"
#include "image/filterpass.h"

namespace kt {
namespace {

// The filters take shortcuts (lookup tables, doubles and fixed point with an
// extended-precision fallback); here the pictures they draw are held against
// the definitions worked through literally, pixel by pixel, in extended
// precision, on values chosen to sit on and beside the edges the shortcuts
// must not blur.
class FilterExactness : public testing::FilterTest {
public:
    // A palette where neighbouring entries share some components and differ
    // by odd amounts in others.
    void mixedpalette(unsigned seed)
    {
        std::mt19937 random(seed);
        for (int k = 0; k < 256; ++k)
            for (int c = 0; c < 3; ++c) {
                const int roll = static_cast<int>(random() % 4);
                engine.palette[3 * k + c] = roll == 0 ? 0
                    : roll == 1                       ? 255
                    : roll == 2 && k > 0              ? engine.palette[3 * (k - 1) + c]
                                                      : static_cast<std::uint8_t>(random() % 256);
            }
    }

    // A palette of gentle steps in every component, as most palettes have,
    // with one wrap from bright to dark.
    void gentlepalette()
    {
        for (int k = 0; k < 256; ++k) {
            engine.palette[3 * k] = static_cast<std::uint8_t>(k);
            engine.palette[3 * k + 1] = static_cast<std::uint8_t>((3 * k) % 256);
            engine.palette[3 * k + 2] = static_cast<std::uint8_t>(255 - k / 2);
        }
    }

    // A res x res picture of `edges`, then depths spread evenly below
    // `hitmax` + 1, with hitmax as plotting leaves it.
    void largedepthpicture(int res, std::uint32_t hitmax, std::vector<float> edges)
    {
        std::mt19937 random(hitmax);
        std::uniform_real_distribution<float> depth(0, static_cast<float>(hitmax) + 1);
        edges.resize(static_cast<std::size_t>(res) * res);
        for (std::size_t k = edges.size() - static_cast<std::size_t>(res) * res / 2; k < edges.size(); ++k)
            edges[k] = depth(random);
        picture(res, edges);
        engine.hitmax = hitmax;
        engine.cmethod = 1;
    }

    static int literaltruncation(real x) { return static_cast<int>(x); }

    COLORREF literalblend(unsigned k, unsigned m, real fx) const
    {
        int rgb[3];
        for (unsigned c = 0; c < 3; ++c) {
            const int c0 = engine.palette[3 * k + c];
            const int c1 = engine.palette[3 * m + c];
            rgb[c] = std::clamp(literaltruncation(c0 + (c1 - c0) * fx), 1, 255);
        }
        return RGB(rgb[0], rgb[1], rgb[2]);
    }

    // Normalization as defined, onto `expected`.
    void literalnormalize(Surface& expected)
    {
        const double percent = 255.0 / engine.hitmax;
        real nfactor = percent;
        if (engine.cmethod == 0)
            nfactor = percent +
                (10 - filters.nadjust) * ((1 - static_cast<real>(percent)) * static_cast<real>(0.078125));
        for (int j = 0; j < engine.res; ++j)
            for (int i = 0; i < engine.res; ++i) {
                const real scaled = nfactor * engine.hitcount[j * engine.res + i];
                const int cindex = scaled >= 255 ? 255 : literaltruncation(scaled);
                if (cindex < 1)
                    continue;
                if (engine.cmethod == 0 || cindex == 255)
                    expected.setpixel(i, j, palettecolour(engine.palette, static_cast<unsigned>(cindex)));
                else
                    expected.setpixel(i, j, literalblend(cindex, cindex + 1, scaled - cindex));
            }
    }

    void literalequalize(Surface& expected)
    {
        const std::uint32_t hitmax = engine.hitmax;
        std::vector<std::uint32_t> histogram(hitmax + 1), cdf(hitmax), hv(hitmax);
        const int pixels = engine.res * engine.res;
        for (int k = 0; k < pixels; ++k)
            ++histogram[std::min(static_cast<std::uint32_t>(engine.hitcount[k]), hitmax)];
        cdf[0] = histogram[1];
        std::uint32_t cdfmin = cdf[0];
        for (std::uint32_t k = 1; k < hitmax; ++k) {
            cdf[k] = cdf[k - 1] + histogram[k + 1];
            if (cdfmin == 0)
                cdfmin = cdf[k];
        }
        const double totalpixels = static_cast<double>(pixels) - histogram[0] - 1;
        for (std::uint32_t k = 0; k < hitmax; ++k)
            hv[k] = cdf[k] == 0 ? 0 : literaltruncation((cdf[k] - cdfmin) / static_cast<real>(totalpixels) * 254) + 1;
        for (int j = 0; j < engine.res; ++j)
            for (int i = 0; i < engine.res; ++i) {
                const float v = engine.hitcount[j * engine.res + i];
                const std::uint32_t index = std::min(static_cast<std::uint32_t>(v), hitmax);
                if (index == 0)
                    continue;
                const unsigned cindex = hv[index - 1];
                if (engine.cmethod == 0 || index == hitmax)
                    expected.setpixel(i, j, palettecolour(engine.palette, cindex));
                else
                    expected.setpixel(i, j, literalblend(cindex, hv[index], v - static_cast<real>(index)));
            }
    }

    void literallog(Surface& expected)
    {
        const real loghitmax = std::log(static_cast<real>(engine.hitmax));
        const real logfactor = filters.logsquare ? 255 / (loghitmax * loghitmax) : 255 / loghitmax;
        for (int j = 0; j < engine.res; ++j)
            for (int i = 0; i < engine.res; ++i) {
                const float v = engine.hitcount[j * engine.res + i];
                if (v == 0)
                    continue;
                const real logval = std::log(static_cast<real>(v));
                const real scaled = filters.logsquare ? logval * logval * logfactor : logval * logfactor;
                const int cindex = scaled >= 255 ? 255 : literaltruncation(scaled);
                if (cindex >= 1)
                    expected.setpixel(i, j, palettecolour(engine.palette, static_cast<unsigned>(cindex)));
            }
    }

    ::testing::AssertionResult matches(const Surface& expected) const
    {
        for (int j = 0; j < engine.res; ++j)
            for (int i = 0; i < engine.res; ++i)
                if (image->getpixel(i, j) != expected.getpixel(i, j))
                    return ::testing::AssertionFailure()
                        << "pixel " << i << "," << j << " holding " << engine.hitcount[j * engine.res + i];
        return ::testing::AssertionSuccess();
    }

    void run(int (*filter)(RenderContext&, EngineState&, const FilterState&, PaletteCounts&),
             void (FilterExactness::*literal)(Surface&))
    {
        Surface expected(engine.res, engine.res);
        expected.blit(0, 0, engine.res, engine.res, *image, 0, 0);
        (this->*literal)(expected);
        ASSERT_EQ(filter(ctx, engine, filters, hist256), filterdone);
        EXPECT_TRUE(matches(expected));
    }
};

// Depths that scale to just below, onto and just above every whole index,
// and fractions k / d that put a blend's component onto a whole number.
std::vector<float> edgydepths(double nfactor)
{
    std::vector<float> values;
    for (int k = 1; k < 256; ++k) {
        const float onto = static_cast<float>(k / nfactor);
        values.insert(values.end(), {std::nextafter(onto, 0.0f), onto, std::nextafter(onto, 300.0f)});
    }
    for (int d = 2; d < 256; d += 3)
        for (int j = 1; j < d; j += 7) {
            const float v = static_cast<float>((40 + static_cast<double>(j) / d) / nfactor);
            values.insert(values.end(), {std::nextafter(v, 0.0f), v, std::nextafter(v, 300.0f)});
        }
    return values;
}

TEST_F(FilterExactness, NormalizationOfDepths)
{
    for (std::uint32_t hitmax : {255u, 200u, 51u, 7u}) {
        std::vector<float> values = edgydepths(255.0 / hitmax);
        values.push_back(static_cast<float>(hitmax));
        values.push_back(0.001f);
        std::mt19937 random(hitmax);
        std::uniform_real_distribution<float> depth(0, static_cast<float>(hitmax));
        while (values.size() < 80 * 80)
            values.push_back(depth(random));
        picture(80, values);
        engine.cmethod = 1;
        mixedpalette(hitmax);
        run(normalize, &FilterExactness::literalnormalize);
    }
}

// Pictures large enough for the depth filters to work shades out once per
// slice of depth, with rows longer than one stretch of a pass.
TEST_F(FilterExactness, LargeDepthPictures)
{
    gentlepalette();
    for (std::uint32_t hitmax : {255u, 51u}) {
        largedepthpicture(hitmax == 255 ? 1100 : 480, hitmax, edgydepths(255.0 / hitmax));
        run(normalize, &FilterExactness::literalnormalize);
    }
    largedepthpicture(1100, 255, edgydepths(1.0));
    run(equalize, &FilterExactness::literalequalize);
}

TEST_F(FilterExactness, NormalizationOfHitCounts)
{
    for (int nadjust : {0, 3, 10}) {
        std::vector<float> values;
        for (int v = 0; v < 3000; ++v)
            values.push_back(static_cast<float>(v));
        for (float big : {65535.0f, 65536.0f, 65537.0f, 123457.0f, 999999.0f, 16777216.0f})
            values.push_back(big);
        picture(60, values);
        filters.nadjust = nadjust;
        run(normalize, &FilterExactness::literalnormalize);
    }
}

TEST_F(FilterExactness, LogarithmsOfHitCounts)
{
    for (int squared : {0, 1}) {
        for (std::uint32_t hitmax : {1000u, 70000u, 16777216u}) {
            std::vector<float> values;
            for (int v = 0; v < 2000; ++v)
                values.push_back(static_cast<float>(v));
            for (float v = 2000; v < static_cast<float>(hitmax); v = std::floor(v * 1.37f))
                values.push_back(v);
            values.push_back(static_cast<float>(hitmax));
            picture(50, values);
            filters.logsquare = squared;
            run(logadjust, &FilterExactness::literallog);
        }
    }
}

TEST_F(FilterExactness, EqualizationOfDepthsAndHitCounts)
{
    std::mt19937 random(9);
    for (int cmethod : {0, 1}) {
        std::vector<float> values = cmethod ? edgydepths(1.0) : std::vector<float>{};
        std::geometric_distribution<int> hits(0.03);
        std::uniform_real_distribution<float> depth(0, 255);
        while (values.size() < 80 * 80)
            values.push_back(cmethod ? depth(random) : static_cast<float>(hits(random)));
        picture(80, values);
        engine.cmethod = cmethod;
        mixedpalette(static_cast<unsigned>(cmethod) + 20);
        run(equalize, &FilterExactness::literalequalize);
    }
}

TEST(FilterArithmetic, TruncationMatchesTheDirectConversion)
{
    std::mt19937_64 random(4);
    std::uniform_real_distribution<double> spread(0, 70000);
    for (int k = 0; k < 200000; ++k) {
        const real whole = std::floor(static_cast<real>(spread(random)));
        for (real x : {whole, std::nextafter(whole, real{0}), std::nextafter(whole, real{1e9}),
                       whole + static_cast<real>(spread(random)) / 70000}) {
            if (x < 0)
                continue;
            ASSERT_EQ(truncated(x), static_cast<int>(x)) << static_cast<double>(x);
        }
    }
}

} // namespace
} // namespace kt
