#include <gtest/gtest.h>

#include <functional>

#include "support/shell/programfixture.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using LoopTest = testing::ProgramTest;

constexpr UINT pausedonly[] = {cmdload,        cmdsaveimage,  cmdsaveparameters, cmdexit,        cmdnormalize,
                               cmdequalize,    cmdhistogram,  cmdparameters,     cmdrandom,      cmdrotate,
                               cmdcoloring,    cmdbackground, cmdpalette,        cmdpalette1,    cmdpalette2,
                               cmdclearscreen, cmdhelp,       cmdabout,          cmdpreviousset, cmdnextset};

TEST_F(LoopTest, EveryMessageWhileRenderingIsFollowedByABatch)
{
    std::uint32_t before = 0, after = 0;
    then([&] { before = desktop->engine.itercount; }, 20);
    // A key that is an accelerator (its command refused while rendering) is
    // still followed by a batch, like any other message.
    then([&] { press('L'); });
    then([&] { after = desktop->engine.itercount; }, 0);
    then([&] { click(); }, 4);
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
    EXPECT_GT(after, before);
    EXPECT_EQ((after - before) % 1000, 0u);
    EXPECT_TRUE(headless().filedialogs.empty()) << "L did nothing while rendering";
}

TEST_F(LoopTest, PausedLoopWaitsForInputInsteadOfSpinning)
{
    std::uint32_t paused = 0, later = 0;
    int waitsBefore = 0;
    then([&] { click(); }, 10);
    then([&] {
        paused = desktop->engine.itercount;
        waitsBefore = headless().waits;
    });
    then([&] { press('Q'); });
    then([&] { press('Q'); });
    then([&] { later = desktop->engine.itercount; });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(later, paused) << "no batch while paused";
    EXPECT_GE(headless().waits - waitsBefore, 3) << "each step was reached by waiting, not by an idle message";
}

TEST_F(LoopTest, MenuFollowsRenderingAndPausing)
{
    std::vector<UINT> whileRendering, whilePaused;
    auto snapshot = [&](std::vector<UINT>& into) {
        for (UINT id : pausedonly)
            into.push_back(menustate(id) & MF_GRAYED);
        into.push_back(menustate(cmdrender) & MF_GRAYED);
        into.push_back(menustate(cmdnadjust) & MF_GRAYED);
    };
    then([&] { snapshot(whileRendering); }, 4);
    then([&] { press('R'); });
    then([&] { snapshot(whilePaused); });
    then([&] {
        desktop->engine.cmethod = 1; // depth colouring: the hit-count desktop->filters stay grey
        press('R');
    });
    then([&] { press('R'); }, 4);
    then([&] {
        EXPECT_EQ(menustate(cmdnadjust) & MF_GRAYED, MF_GRAYED);
        EXPECT_EQ(menustate(cmdlog) & MF_GRAYED, MF_GRAYED);
        EXPECT_EQ(menustate(cmdlogsquared) & MF_GRAYED, MF_GRAYED);
        EXPECT_EQ(menustate(cmdequalize) & MF_GRAYED, 0u);
        EXPECT_EQ(GetCursor(), desktop->shell.cross);
    });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);

    ASSERT_EQ(whileRendering.size(), std::size(pausedonly) + 2);
    for (std::size_t k = 0; k < std::size(pausedonly); ++k) {
        EXPECT_EQ(whileRendering[k], MF_GRAYED) << pausedonly[k];
        EXPECT_EQ(whilePaused[k], 0u) << pausedonly[k];
    }
    EXPECT_EQ(whileRendering[std::size(pausedonly)], 0u) << "Render / Pause / Resume stays available";
    EXPECT_EQ(whileRendering.back(), MF_GRAYED);
    EXPECT_EQ(whilePaused.back(), 0u);
    EXPECT_EQ(menustate(cmdpalette1) & MF_CHECKED, MF_CHECKED) << "palette 1 starts checked";
}

TEST_F(LoopTest, EscapeWhileRenderingDoesNothingAndWhilePausedEnds)
{
    bool alive = false;
    then([&] { press(VK_ESCAPE); }, 6);
    then([&] { alive = desktop->engine.okicon == 1 && desktop->engine.offscreen != nullptr; }, 4);
    then([&] { click(); });
    then([&] { press(VK_ESCAPE); });
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(alive);
    EXPECT_EQ(headless().sleeps.size(), 2u);
    EXPECT_EQ(desktop->engine.offscreen, nullptr) << "buffers released at the end";
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    EXPECT_TRUE(headless().scriptdone());
}

TEST_F(LoopTest, ClosingTheWindowWhileRenderingRunsNoBatchOnReleasedBuffers)
{
    then([&] { deliverclose(mainwindow()); }, 30);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(desktop->engine.okicon, 0);
    EXPECT_EQ(desktop->engine.g_vhdc, nullptr);
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    EXPECT_EQ(headless().sleeps.size(), 2u) << "the closing splash shows";
}

TEST_F(LoopTest, InputAfterEscapeIsIgnoredAndTheProgramEndsAfterOneSplash)
{
    then([&] { click(); }, 10);
    then([&] { press(VK_ESCAPE); });
    // Each arrives after the closing splash, before the quit message.
    for (auto input : std::initializer_list<std::function<void()>>{[&] { click(); }, [&] { press('R', 0, U'r'); },
                                                                   [&] { press(VK_F1 + 2); }, [&] { press(VK_ESCAPE); },
                                                                   [&] { deliverclose(mainwindow()); }})
        then(input, 0);
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(headless().scriptdone());
    EXPECT_EQ(desktop->engine.okicon, 0);
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    EXPECT_EQ(headless().sleeps.size(), 2u) << "one opening and one closing splash";
    EXPECT_TRUE(headless().dialogs.empty());
}

TEST_F(LoopTest, MenuCommandsOfGreyedItemsAndTheirKeysDoNothing)
{
    then([&] { delivermenucommand(mainwindow(), cmdexit); }, 6);
    then([&] { press(VK_ESCAPE); });
    then([&] { delivermenucommand(mainwindow(), cmdrender); }, 4);
    then([&] { delivermenucommand(mainwindow(), cmdexit); });
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(headless().scriptdone()) << "only the last command ended the program";
}

} // namespace
} // namespace kt
