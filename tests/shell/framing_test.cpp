#include <gtest/gtest.h>

#include <algorithm>

#include "engine/driver.h"
#include "engine/rendercontext.h"
#include "shell/desktop.h"
#include "shell/resources.h"
#include "support/shell/programfixture.h"

namespace kt {
namespace {

using FramingTest = testing::ProgramTest;

// How far from the frame's edges the hit pixels of `batches` batches of a
// copy of `state` keep, as a share of the side: the least on any side.
double margin(const EngineState& state, int batches)
{
    RenderContext ctx(2);
    EngineState copy(state);
    Surface image(copy.res, copy.res);
    copy.g_vhdc = &image;
    copy.newimage = 1;
    for (int k = 0; k < batches; ++k)
        imagebatch(ctx, copy);
    int left = copy.res, right = -1, top = copy.res, bottom = -1;
    for (int y = 0; y < copy.res; ++y)
        for (int x = 0; x < copy.res; ++x)
            if (copy.hitcount[static_cast<std::size_t>(y) * copy.res + x] > 0) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return std::min({left, top, copy.res - 1 - right, copy.res - 1 - bottom}) / static_cast<double>(copy.res);
}

// Fit to Frame fills the window with the turned picture, leaving the
// margin; a random set is fitted only when asked.
TEST_F(FramingTest, FitToFrameAndFittedRandomSetsFillTheFrame)
{
    paused([&] {
        EngineState& s = desktop->engine;
        s.rot[0] = VOXEL{50, 30, 0};
        s.icon[0].scale = 3.0;
        ASSERT_GT(margin(s, 300), 0.2) << "too small a picture to begin with";
        command(cmdfittoframe);
        EXPECT_NEAR(margin(s, 300), 0.05, 0.02);
        EXPECT_EQ(s.newimage, 1);
        ASSERT_EQ(s.okicon, 1) << "rendering the fitted picture";
        press('R'), settle();

        command(cmdfitrandom);
        EXPECT_EQ(menustate(cmdfitrandom) & MF_CHECKED, MF_CHECKED);
        command(cmdrandom);
        EXPECT_NEAR(margin(s, 300), 0.05, 0.02) << "the random set found is fitted";
        press('R'), settle();
    });
}

} // namespace
} // namespace kt
