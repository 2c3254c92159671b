#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "files/paramfiles.h"
#include "platform/dialog.h"
#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using OptionCommandTest = testing::ProgramTest;

TEST_F(OptionCommandTest, ParametersWithoutChangesKeepThePicture)
{
    paused([&] {
        ASSERT_EQ(desktop->engine.newimage, 0);
        headless().dialogscripts.push_back([&](HWND d) { userclicks(d, IDOK); });
        press(VK_F1 + 2);
        settle();
        EXPECT_EQ(headless().dialogs.back(), "                  Dravune 3D Parameters");
        EXPECT_EQ(desktop->engine.newimage, 0);
        EXPECT_TRUE(IsWindowEnabled(mainwindow())) << "the owner is enabled again";
    });
}

TEST_F(OptionCommandTest, ANewImageSizeRebuildsThePictureAndWaitsForANewRender)
{
    paused([&] {
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 628, "2000");
            userclicks(d, IDOK);
        });
        command(cmdparameters);
        EXPECT_EQ(desktop->engine.res, 2000);
        EXPECT_EQ(desktop->engine.g_vhdc->width(), 2000);
        EXPECT_NE(desktop->engine.hcres, desktop->engine.res)
            << "the hit counts belong to the old size until a new render";
        EXPECT_EQ(desktop->engine.newimage, 1);
        EXPECT_EQ(desktop->shell.xMaxScroll, 2000 - mainwindow()->client.width()) << "the scroll bars follow";
    });
}

TEST_F(OptionCommandTest, RandomSetShowsItsAdvisoryOnceAndRenders)
{
    paused([&] {
        press(VK_F1 + 3);
        settle();
        EXPECT_EQ(testing::ProgramTest::boxes(
                      "Many parameter sets will generate extreme\n   values which will overflow the computer's\n"
                      "   capacity, potentially crashing the program.\n\nOr, instead of producing chaotic patterns, "
                      "they\n   might converge to point clusters, lines or\n   closed curves which are not "
                      "interesting.\n\nTherefore, it might take a little time to find\n   random parameter sets that "
                      "appear likely to\n   be stable and to behave as intended."),
                  1);
        EXPECT_EQ(headless().messageboxes[0].caption, "Icon Parameters Advisory");
        EXPECT_EQ(desktop->engine.okicon, 1);
        EXPECT_EQ(desktop->engine.icon[0].scale, 1.0);
        press('R');
        settle();
        press(VK_F1 + 3);
        settle();
        EXPECT_EQ(headless().messageboxes.size(), 1u) << "the advisory shows only once";
        press('R');
        settle();
    });
}

std::array<std::uint8_t, dv3size> currentdv3(const EngineState& s)
{
    const VOXEL& r = s.rot[s.type];
    return encodedv3(DV3{s.type, s.icon[s.type], s.back, s.red, s.green, s.blue, r.x, r.y, r.z});
}

TEST_F(OptionCommandTest, PreviousAndNextStepThroughTheRenderedSets)
{
    paused([&] {
        desktop->shell.advisory = 0;
        const auto first = currentdv3(desktop->engine);
        press(VK_F1 + 3);
        settle();
        press('R');
        settle();
        const auto random = currentdv3(desktop->engine);
        ASSERT_NE(random, first);
        const struct {
            int key;
            const std::array<std::uint8_t, dv3size>* shown;
            bool renders; // nothing to step to leaves the picture paused
        } steps[] = {{VK_LEFT, &first, true},
                     {VK_LEFT, &first, false},
                     {VK_RIGHT, &random, true},
                     {VK_RIGHT, &random, false},
                     {VK_LEFT, &first, true}};
        for (const auto& step : steps) {
            desktop->engine.newimage = 0;
            press(step.key, MOD_ALT);
            settle();
            EXPECT_EQ(currentdv3(desktop->engine), *step.shown) << step.key;
            EXPECT_EQ(desktop->engine.okicon, step.renders ? 1 : 0) << step.key;
            EXPECT_EQ(desktop->engine.newimage, step.renders ? 1 : 0) << step.key;
            if (desktop->engine.okicon) {
                press('R');
                settle();
            }
        }
    });
}

TEST(History, KeepsTheNewestSetsAndDropsThoseSteppedBackFrom)
{
    History history;
    ParameterSet set = currentset(EngineState{});
    for (int k = 0; k < 150; ++k) {
        set.icon[0].scale = k;
        history.record(set);
        history.record(set); // the same set again is no new entry
    }
    int back = 0;
    for (; history.canstepback(); ++back)
        EXPECT_EQ(history.stepback().icon[0].scale, 149 - back - 1);
    EXPECT_EQ(back, 149);
    history.stepforward();
    set.icon[0].scale = -1;
    history.record(set);
    EXPECT_FALSE(history.canstepforward()) << "a new set ends the way forward";
    EXPECT_EQ(history.stepback().icon[0].scale, 1);
}

TEST_F(OptionCommandTest, RandomSetFromAStartPointThatCannotPassSaysSoAndEnds)
{
    const struct {
        double xstart;
        int search;
    } cases[] = {{-2.6e19, searchbadstart}, {1e8, searchexhausted}};
    for (const auto& c : cases) {
        paused([&] {
            desktop->engine.icon[0].xstart = c.xstart;
            desktop->engine.icon[0].ystart = c.xstart;
            const ICON before = desktop->engine.icon[0];
            desktop->shell.advisory = 0;
            press(VK_F1 + 3);
            settle();
            ASSERT_EQ(headless().messageboxes.size(), 1u);
            EXPECT_EQ(headless().messageboxes[0].text, searchfailure(c.search));
            EXPECT_EQ(headless().messageboxes[0].caption, "Random Parameter Set");
            EXPECT_EQ(headless().messageboxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
            EXPECT_EQ(std::memcmp(&before, &desktop->engine.icon[0], sizeof(ICON)), 0);
            EXPECT_EQ(desktop->engine.okicon, 0) << "the paused picture stays, to be resumed";
            EXPECT_EQ(desktop->engine.newimage, 0);
        });
        resetall();
    }
}

TEST_F(OptionCommandTest, RotationColouringAndBackgroundMarkANewImageOnlyWhenChanged)
{
    paused([&] {
        headless().dialogscripts.push_back([&](HWND d) { userclicks(d, IDOK); });
        command(cmdrotate);
        EXPECT_EQ(desktop->engine.newimage, 0);
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 912, "90");
            userclicks(d, IDOK);
        });
        command(cmdrotate);
        EXPECT_EQ(desktop->engine.newimage, 1);

        desktop->engine.newimage = 0;
        headless().dialogscripts.push_back([&](HWND d) { userclicks(d, IDOK); });
        command(cmdcoloring);
        EXPECT_EQ(desktop->engine.newimage, 0);
        headless().dialogscripts.push_back([&](HWND d) {
            userclicks(d, 411);
            userclicks(d, IDOK);
        });
        command(cmdcoloring);
        EXPECT_EQ(desktop->engine.cmethod, 1);
        EXPECT_EQ(desktop->engine.newimage, 1);

        desktop->engine.newimage = 0;
        headless().dialogscripts.push_back([&](HWND d) { userclicks(d, IDOK); });
        command(cmdbackground);
        EXPECT_EQ(desktop->engine.newimage, 0);
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 310, "0");
            userclicks(d, IDOK);
        });
        command(cmdbackground);
        EXPECT_EQ(desktop->engine.back, RGB(0, 245, 230));
        EXPECT_EQ(desktop->engine.newimage, 0) << "the new background is laid under the picture as it stands";
    });
}

TEST_F(OptionCommandTest, TheHiddenCommandSetsTheDimensionLimit)
{
    paused([&] {
        headless().dialogscripts.push_back([&](HWND d) {
            usertypes(d, 710, "1.2");
            userclicks(d, IDOK);
        });
        press('X', MOD_CONTROL | MOD_ALT);
        settle();
        EXPECT_EQ(desktop->screening.FDLimit, 1.2);
        EXPECT_EQ(headless().dialogs.back(), "Fractal Dimension");
    });
}

} // namespace
} // namespace kt
