#include <gtest/gtest.h>

#include <vector>

#include "engine/rendercontext.h"
#include "image/tonefilter.h"
#include "shell/desktop.h"
#include "shell/quality.h"
#include "shell/resources.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

using QualityTest = testing::ProgramTest;

std::vector<std::uint32_t> pixels(const Surface& image)
{
    return {image.bits(), image.bits() + image.width() * image.height()};
}

// Rendering stops by itself at the target, whose progress the status line
// shows; with the live tone the paused picture is the tone of its counts.
TEST_F(QualityTest, RenderingStopsAtTheTargetAndTheLiveToneIsWhatIsKept)
{
    then([this] { click(); }, 10);
    then([this] {
        command(cmdquality + 1);
        command(cmdlivetone);
        EXPECT_EQ(menustate(cmdquality + 1) & MF_CHECKED, MF_CHECKED);
        EXPECT_EQ(menustate(cmdquality) & MF_CHECKED, 0u);
        click();
    });
    // Runs once the program waits for input again: once it paused by itself.
    then(
        [this] {
            const EngineState& s = desktop->engine;
            EXPECT_EQ(s.okicon, 0);
            EXPECT_EQ(s.itercount, qualitytarget(10, 600));
            EXPECT_NE(mainwindow()->status.find("100 %, quality reached"), std::string::npos)
                << mainwindow()->status;
            Surface toned(s.res, s.res);
            RenderContext ctx(1);
            ASSERT_EQ(densitytoneinto(ctx, s, toned, desktop->tone), 0);
            EXPECT_EQ(pixels(*s.g_vhdc), pixels(toned));
            press(VK_ESCAPE);
        },
        100000000);
    EXPECT_EQ(run(), 0);
}

TEST(Quality, TargetsAreWholeBatchesWithinTheStepCount)
{
    EXPECT_EQ(qualitytarget(0, 600), 0u);
    EXPECT_EQ(qualitytarget(10, 600), 3600000u);
    EXPECT_EQ(qualitytarget(10, 601), 3613000u) << "rounded up to a whole batch";
    EXPECT_EQ(qualitytarget(200, 16000), 4294967000u) << "no further than the count holds";
}

} // namespace
} // namespace kt
