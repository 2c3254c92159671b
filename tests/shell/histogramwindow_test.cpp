#include <gtest/gtest.h>

#include "image/filters.h"
#include "shell/histogramwindow.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

TEST(HistogramBar, WorkedExamples)
{
    EXPECT_EQ(histogrambar(0, 960), 0);
    EXPECT_EQ(histogrambar(1, 960), 1);
    EXPECT_EQ(histogrambar(4, 960), 1);
    EXPECT_EQ(histogrambar(5, 960), 1);
    EXPECT_EQ(histogrambar(100, 960), 25);
    EXPECT_EQ(histogrambar(960, 960), 240);
    EXPECT_EQ(histogrambar(100, 1000), 23) << "240 / 1000 is a little below 0.24";
    EXPECT_EQ(histogrambar(1000, 1000), 239);
    EXPECT_EQ(histogrambar(10, 120), 20) << "below 240 every count is scaled up";
    EXPECT_EQ(histogrambar(1, 120), 2);
    EXPECT_EQ(histogrambar(5, 0), 1) << "no scale: a used index shows one pixel";
    EXPECT_GT(histogrambar(4000000000u, 1), 240) << "index 1 may stand taller than the window";
}

class HistogramWindowTest : public testing::ProgramTest {
protected:
    HWND histogramwindow()
    {
        for (HWND w : allwindows())
            if (w->classname == "KTHistogramWindow")
                return w;
        return nullptr;
    }
    // Height of the bar of index i, read from the window's pixels.
    int bar(HWND w, int i)
    {
        const int x = w->client.width() + i - 280, baseline = w->client.height() - 10;
        int height = 0;
        while (height < baseline && w->client.getpixel(x, baseline - height) == RGB(0, 0, 0))
            ++height;
        return height;
    }
    void fill(std::initializer_list<std::pair<int, std::uint32_t>> counts, std::uint32_t pixelmax)
    {
        desktop->hist256.fill(0);
        for (auto [index, count] : counts)
            desktop->hist256[static_cast<std::size_t>(index)] = count;
        desktop->engine.pixelmax = pixelmax;
    }
};

TEST_F(HistogramWindowTest, BarsStandOnTheBaselineScaledToTheTallest)
{
    paused([&] {
        fill({{1, 3}, {2, 1}, {3, 4}, {4, 5}, {5, 100}, {6, 960}, {200, 0}}, 960);
        createhistogramwindow(*desktop);
        HWND w = histogramwindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->title, "Palette Index Histogram");
        EXPECT_EQ(w->x, 352);
        EXPECT_EQ(w->y, 224);
        EXPECT_FALSE(IsWindowEnabled(mainwindow()));
        settle();
        EXPECT_EQ(bar(w, 1), 1);
        EXPECT_EQ(bar(w, 2), 1);
        EXPECT_EQ(bar(w, 4), 1);
        EXPECT_EQ(bar(w, 5), 25);
        EXPECT_EQ(bar(w, 6), 240);
        EXPECT_EQ(bar(w, 200), 0);
        EXPECT_EQ(w->client.getpixel(w->client.width() + 6 - 280, w->client.height() - 9), RGB(255, 255, 255))
            << "nothing below the baseline";

        deliverkey(w, VK_ESCAPE, 0, 0x1B);
        settle();
        EXPECT_NE(histogramwindow(), nullptr) << "Escape does not close it";
        deliverkey(w, VK_RETURN, 0, U'\r');
        settle();
        EXPECT_EQ(histogramwindow(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(mainwindow()));
    });
}

TEST_F(HistogramWindowTest, WithoutAScaleOnlyIndexOneShows)
{
    paused([&] {
        fill({{1, 7}}, 0);
        createhistogramwindow(*desktop);
        settle();
        HWND w = histogramwindow();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(bar(w, 1), 1);
        for (int i = 2; i < 256; ++i)
            ASSERT_EQ(bar(w, i), 0) << i;
        deliverclick(w, false, 5, 5);
        settle();
        EXPECT_EQ(histogramwindow(), nullptr);
    });
}

TEST_F(HistogramWindowTest, ResizingNeitherRedrawsNorRescales)
{
    paused([&] {
        fill({{10, 50}}, 50);
        createhistogramwindow(*desktop);
        settle();
        HWND w = histogramwindow();
        ASSERT_NE(w, nullptr);
        const int x = w->client.width() + 10 - 280;
        deliverclientsize(w, 400, 400);
        settle();
        EXPECT_EQ(w->client.getpixel(x, 310), RGB(0, 0, 0)) << "the chart keeps where it was drawn";
        EXPECT_EQ(w->client.getpixel(390, 390), RGB(255, 255, 255)) << "white around it";
        deliverclose(w); // the main window is disabled; the histogram is not
        settle();
        EXPECT_EQ(histogramwindow(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(mainwindow()));
    });
}

} // namespace
} // namespace kt
