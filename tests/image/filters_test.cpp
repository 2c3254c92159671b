#include <gtest/gtest.h>

#include <random>

#include "filterfixture.h"
#include "support/scriptedbackend.h"
#include "support/testwindow.h"
#include "parts/programparts.h"

namespace kt {
namespace {

struct Filter {
    const char* name;
    int (*run)(EngineState&, const FilterState&, PaletteCounts&);
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
    static void markcounts()
    {
        hist256.fill(1000);
        engine.pixelmax = 99999;
    }
    static bool countsmarked()
    {
        for (std::uint32_t c : hist256)
            if (c != 1000)
                return false;
        return engine.pixelmax == 99999;
    }
    static int histogramwindows()
    {
        int count = 0;
        for (const auto& w : headless().created)
            count += w.classname == szHistogramWinName;
        return count;
    }
};

TEST_P(EachFilter, RefusesBelow1000IterationsTouchingNothing)
{
    typicalpicture();
    engine.itercount = 999;
    filters.histogramflag = 1;
    markcounts();
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    const auto before = pixelcopy();
    EXPECT_EQ(GetParam().run(engine, filters, hist256), filtertoofew);
    EXPECT_EQ(pixelcopy(), before);
    EXPECT_TRUE(countsmarked());
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_P(EachFilter, RunningAgainGivesTheSamePictureAndKeepsTheRawValues)
{
    typicalpicture();
    const auto raw = hitcountcopy();
    const auto before = pixelcopy();
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    const auto once = pixelcopy();
    EXPECT_NE(once, before);
    EXPECT_EQ(GetCursor(), shell.cross);
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    EXPECT_EQ(pixelcopy(), once);
    EXPECT_EQ(hitcountcopy(), raw);
}

TEST_P(EachFilter, CountsTheIndicesItAssignsOnlyWithTheDisplayOn)
{
    typicalpicture();
    markcounts();
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    EXPECT_TRUE(countsmarked()) << "display off: no counting";

    filters.histogramflag = 1;
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
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

TEST_P(EachFilter, WindowShowsTheNewPixelsShiftedByTheScroll)
{
    typicalpicture();
    HWND window = testing::maketestwindow(30, 25);
    shell.g_hWnd = window;
    shell.xCurrentScroll = 7;
    shell.yCurrentScroll = 20;
    // The window as the view left it: the image from the scroll offsets on,
    // and beyond the image's last row whatever the window had there.
    const COLORREF beyond = RGB(200, 0, 0);
    window->client.fill(RECT{0, 0, 30, 25}, beyond);
    window->client.blit(0, 0, 30, 25, *image, 7, 20);

    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 30; ++x) {
            const COLORREF expected = y + 20 < engine.res ? image->getpixel(x + 7, y + 20) : beyond;
            ASSERT_EQ(window->client.getpixel(x, y), expected) << x << "," << y;
        }
}

TEST_P(EachFilter, OpensTheHistogramWindowWhenTheDisplayIsOnAndItsClassExists)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = HistogramWindowProc;
    wc.lpszClassName = szHistogramWinName;
    ASSERT_NE(RegisterClassA(&wc), 0);
    shell.g_hWnd = testing::maketestwindow(30, 30);
    typicalpicture();

    filters.okhistogram = 1;
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    filters.okhistogram = 0;
    filters.histogramflag = 1;
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    EXPECT_EQ(histogramwindows(), 0);

    filters.okhistogram = 1;
    ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
    EXPECT_EQ(histogramwindows(), 1);
    EXPECT_FALSE(IsWindowEnabled(shell.g_hWnd)) << "the histogram window holds the input";
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
        ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
        const auto whole = pixelcopy();

        // Narrower and shorter, then wider and taller than the picture.
        for (const auto& [width, height] : {std::pair{res / 2 + 1, res / 3}, std::pair{res + 3, res + 2}}) {
            Surface other(width, height);
            other.fill(RECT{0, 0, width, height}, FilterTest::unfiltered);
            engine.g_vhdc = &other;
            ASSERT_EQ(GetParam().run(engine, filters, hist256), filterdone);
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
        int (*run)(EngineState&, const FilterState&, PaletteCounts&);
        std::vector<float> values;
        int cmethod;
    };
    const Case cases[] = {
        {"normalize, nothing hit", normalize, {}, 0}, {"normalize, depths all below 1", normalize, {0.5f, 0.25f}, 1},
        {"logadjust, nothing hit", logadjust, {}, 0}, {"logadjust, nothing hit twice", logadjust, {1, 0, 1, 1}, 0},
        {"equalize, nothing hit", equalize, {}, 0},   {"equalize, a single hit pixel", equalize, {0, 0, 40}, 0},
    };
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const Case& c : cases) {
        picture(4, c.values);
        engine.cmethod = c.cmethod;
        filters.histogramflag = 1;
        hist256.fill(1000);
        SetCursor(arrow);
        const auto before = pixelcopy();
        EXPECT_EQ(c.run(engine, filters, hist256), filternothingtoscale) << c.what;
        EXPECT_EQ(pixelcopy(), before) << c.what;
        EXPECT_EQ(hist256[0], 1000u) << c.what;
        EXPECT_NE(GetCursor(), shell.wait) << c.what;
    }
}

TEST_F(FilterDomains, LogFilterRefusesDepthColouring)
{
    picture(4, {3, 100, 7});
    engine.cmethod = 1;
    const auto before = pixelcopy();
    SetCursor(nullptr);
    EXPECT_EQ(logadjust(engine, filters, hist256), filternothitcount);
    EXPECT_EQ(pixelcopy(), before);
    EXPECT_EQ(GetCursor(), nullptr);
}

} // namespace
} // namespace kt
