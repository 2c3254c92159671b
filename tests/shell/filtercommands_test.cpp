#include <gtest/gtest.h>

#include "image/filters.h"
#include "platform/dialog.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

class FilterCommandTest : public testing::ProgramTest {
protected:
    std::vector<std::uint32_t> picture()
    {
        const Surface& s = *desktop->engine.g_vhdc;
        return std::vector<std::uint32_t>(s.bits(), s.bits() + static_cast<std::size_t>(s.width()) * s.height());
    }
    std::size_t advisories() { return headless().messageboxes.size(); }
};

TEST_F(FilterCommandTest, NormalizeAdvisesOnceAndOnlyWhilePaused)
{
    then([&] { press('N'); }, 20);
    then([&] { EXPECT_EQ(advisories(), 0u) << "N while rendering does nothing"; });
    then([&] { click(); }, 4);
    then([&] {
        const auto before = picture();
        press('N');
        settle();
        ASSERT_EQ(advisories(), 1u);
        EXPECT_EQ(headless().messageboxes[0].caption, "Normalization Advisory");
        EXPECT_EQ(headless().messageboxes[0].type, MB_ICONINFORMATION);
        EXPECT_EQ(headless().messageboxes[0].owner, nullptr);
        EXPECT_NE(picture(), before) << "the filter recoloured the picture";
        press('N');
        settle();
        EXPECT_EQ(advisories(), 1u);
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

TEST_F(FilterCommandTest, AfterANewSizeFiltersWaitForANewRender)
{
    paused([&] {
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 628, "300");
            userclicks(d, IDOK);
        });
        command(cmdparameters);
        const auto before = picture();
        for (int key : {'N', 'E', 'C', 'T'})
            press(key);
        press('C', MOD_ALT);
        press('A');
        settle();
        EXPECT_TRUE(headless().messageboxes.empty()) << "no advisory, no filter";
        EXPECT_EQ(headless().dialogs.size(), 1u) << "no adjustment dialog";
        EXPECT_EQ(picture(), before);
    });
}

TEST_F(FilterCommandTest, DepthColouringGreysTheHitCountFilters)
{
    then(
        [&] {
            desktop->engine.cmethod = 1;
            click();
        },
        10);
    then([&] {
        press('A');
        press('C');
        press('C', MOD_ALT);
        settle();
        EXPECT_TRUE(headless().messageboxes.empty());
        EXPECT_TRUE(headless().dialogs.empty());
        press('E');
        settle();
        EXPECT_EQ(headless().messageboxes.size(), 1u) << "Equalize stays available";
        EXPECT_EQ(headless().messageboxes[0].caption, "Equalization Advisory");
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

TEST_F(FilterCommandTest, SquaredAndPlainLogarithmsShareOneAdvisory)
{
    paused([&] {
        press('C', MOD_ALT);
        settle();
        const auto squared = picture();
        EXPECT_EQ(desktop->filters.logsquare, 0) << "squaring is for that one call";
        press('C');
        settle();
        const auto plain = picture();
        ASSERT_EQ(advisories(), 1u);
        EXPECT_EQ(headless().messageboxes[0].caption, "Hit Count Adjustment Advisory");
        EXPECT_NE(squared, plain);
        press('C', MOD_ALT);
        settle();
        EXPECT_EQ(picture(), squared) << "the filters work from the unchanged counts";
    });
}

TEST_F(FilterCommandTest, HistogramModeTogglesItsCheckAndSaysSo)
{
    paused([&] {
        press('H');
        settle();
        EXPECT_EQ(desktop->filters.histogramflag, 1);
        EXPECT_EQ(menustate(cmdhistogram) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(headless().messageboxes.back().text,
                  "Palette index histogram\n   display mode enabled\n   for normalization,\n   equalization and hit\n"
                  "   count adjustment options.");
        EXPECT_EQ(headless().messageboxes.back().caption, "Histogram Display");
        // A filter now opens the histogram window.
        press('N');
        settle();
        bool open = false;
        for (HWND w : allwindows())
            open = open || w->classname == "KTHistogramWindow";
        EXPECT_TRUE(open);
        EXPECT_FALSE(IsWindowEnabled(mainwindow()));
        for (HWND w : allwindows())
            if (w->classname == "KTHistogramWindow")
                deliverclick(w, true, 1, 1);
        settle();
        press('H');
        settle();
        EXPECT_EQ(desktop->filters.histogramflag, 0);
        EXPECT_EQ(menustate(cmdhistogram) & MF_CHECKED, 0u);
    });
}

TEST_F(FilterCommandTest, AdjustmentDialogSetsTheNormalization)
{
    paused([&] {
        headless().dialogscripts.push_back([&](HWND d) {
            usermovestrackbar(d, 810, 2);
            userclicks(d, IDOK);
        });
        press('A');
        settle();
        EXPECT_EQ(headless().dialogs.back(), "Normalization Adjustment");
        EXPECT_EQ(desktop->filters.nadjust, 2);
    });
}

} // namespace
} // namespace kt

namespace kt {
namespace {

TEST_F(FilterCommandTest, DensityToneRecoloursFromTheHitCountsAndCanBeAppliedAgain)
{
    then([&] { click(); }, 20);
    then([&] {
        const auto rendered = picture();
        const std::vector<float> hits(desktop->engine.hitcount.get(),
                                      desktop->engine.hitcount.get() + desktop->engine.res * desktop->engine.res);
        press('T');
        settle();
        const auto toned = picture();
        EXPECT_NE(toned, rendered) << "the tone recoloured the picture";
        EXPECT_EQ(std::vector<float>(desktop->engine.hitcount.get(),
                                     desktop->engine.hitcount.get() + desktop->engine.res * desktop->engine.res),
                  hits);
        press('N');
        settle();
        press('T');
        settle();
        EXPECT_EQ(picture(), toned) << "after another filter, the tone gives the same picture again";
        EXPECT_EQ(menustate(cmdtone) & MF_GRAYED, 0u);
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

TEST_F(FilterCommandTest, DepthToneAsksForTheDepthsOnceAndThenColoursByThem)
{
    then([&] { click(); }, 20);
    then([&] {
        const auto rendered = picture();
        press('D');
        settle();
        ASSERT_EQ(advisories(), 1u);
        EXPECT_EQ(headless().messageboxes[0].caption, "Depth Tone");
        EXPECT_TRUE(desktop->engine.depthsums);
        EXPECT_EQ(picture(), rendered) << "no depths to colour by yet";
        click();
    });
    then([&] { click(); }, 20);
    then([&] {
        ASSERT_TRUE(desktop->engine.depthsum) << "the new picture keeps them";
        press('T');
        settle();
        const auto density = picture();
        press('D');
        settle();
        EXPECT_EQ(advisories(), 1u) << "asked only once";
        EXPECT_NE(picture(), density) << "the depths colour the picture";
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

TEST_F(FilterCommandTest, DensityToneWaitsForPauseHitCountsAndTheCurrentSize)
{
    then(
        [&] {
            EXPECT_EQ(menustate(cmdtone) & MF_GRAYED, MF_GRAYED) << "while rendering";
            desktop->engine.cmethod = 1;
            click();
        },
        10);
    then([&] {
        const auto before = picture();
        press('T');
        settle();
        EXPECT_EQ(picture(), before) << "z-plane colouring has no hit counts";
        EXPECT_EQ(menustate(cmdtone) & MF_GRAYED, MF_GRAYED);
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
}

} // namespace
} // namespace kt
