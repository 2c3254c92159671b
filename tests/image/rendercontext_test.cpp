#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/surface.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "image/filters.h"
#include "support/engine/pictures.h"
#include "support/engine/recordingpresentation.h"

namespace kt {
namespace {

struct Order {
    int threads;
    int filterings; // passes of the filter, each shown busy, filtered and idle once
};

struct Result {
    std::vector<float> hitcounts;
    std::vector<std::uint32_t> pixels;
    int busy, filtered, idle;
};

// A turned view, which shares out every batch, filtered as often as asked:
// everything it shows goes to its own context's presentation.
Result render(const Order& run)
{
    testing::RecordingPresentation shown;
    RenderContext ctx(shown, run.threads);
    EngineState s;
    s.res = 300;
    s.rot[0] = VOXEL{30, 45, 60};
    Surface image(s.res, s.res);
    s.g_vhdc = &image;
    for (int k = 0; k < 40; ++k)
        EXPECT_EQ(imagebatch(ctx, s), 0);
    FilterState settings;
    PaletteCounts counts{};
    for (int k = 0; k < run.filterings; ++k)
        EXPECT_EQ(normalize(ctx, s, settings, counts), filterdone);
    return {testing::hitcountsof(s), testing::pixelsof(image), shown.busycount, shown.filteredcount, shown.idlecount};
}

TEST(RenderContext, RendersOfTwoContextsAtOnceEachGiveTheirOwnBytesAndEvents)
{
    const Order runs[2] = {{2, 1}, {3, 2}};
    const Result alone[2] = {render(runs[0]), render(runs[1])};
    Result together[2];
    {
        std::thread first([&] { together[0] = render(runs[0]); });
        std::thread second([&] { together[1] = render(runs[1]); });
        first.join();
        second.join();
    }
    for (int r = 0; r < 2; ++r) {
        const int passes = runs[r].filterings;
        EXPECT_EQ(together[r].hitcounts, alone[r].hitcounts) << "run " << r;
        EXPECT_EQ(together[r].pixels, alone[r].pixels) << "run " << r;
        EXPECT_EQ(together[r].busy, passes) << "run " << r;
        EXPECT_EQ(together[r].filtered, passes) << "run " << r;
        EXPECT_EQ(together[r].idle, passes) << "run " << r;
    }
    EXPECT_NE(alone[0].pixels, std::vector<std::uint32_t>(alone[0].pixels.size(), alone[0].pixels[0]))
        << "the view shows the icon";
}

} // namespace
} // namespace kt
