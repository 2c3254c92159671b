#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "image/depthshades.h"

namespace kt {
namespace {

// A shade rule whose whole depth w picks the index and whose fraction picks
// one of `steps(w)` colours, so that slices are uniform (1 step), change once
// (a few steps per unit, fewer than the slices in it) or change many times
// (more steps than slices). Depths below 1 are undrawn.
struct SteppedShades {
    int* calls;
    static int steps(int whole)
    {
        switch (whole % 3) {
        case 0:
            return 1;
        case 1:
            return 97;
        default:
            return 5000;
        }
    }
    Shade operator()(float depth) const
    {
        ++*calls;
        if (!(depth >= 1))
            return Shade::undrawn();
        if (depth >= 300)
            return Shade::drawn(255, 0xFF000001u);
        const int whole = static_cast<int>(depth);
        const double fraction = static_cast<double>(depth) - whole;
        const auto step = static_cast<std::uint32_t>(fraction * steps(whole));
        return Shade::drawn(static_cast<unsigned>(whole % 255) + 1, 0xFF000000u | step);
    }
};

// Depths on both sides of every slice edge up to `top`, and between them.
std::vector<float> edgesandbetween(float top)
{
    std::vector<float> depths;
    const int per = DepthShades<SteppedShades>::slicesperunit;
    for (int k = 0; k <= static_cast<int>(top) * per; ++k) {
        const float edge = static_cast<float>(k) / static_cast<float>(per);
        depths.insert(depths.end(), {edge, std::nextafter(edge, -1.0f), std::nextafter(edge, 1000.0f)});
    }
    std::mt19937 random(11);
    std::uniform_real_distribution<float> spread(0, top);
    for (int k = 0; k < 200000; ++k)
        depths.push_back(spread(random));
    return depths;
}

TEST(DepthShades, EveryDepthGetsTheShadeItsRuleGives)
{
    int calls = 0;
    const SteppedShades rule{&calls};
    const DepthShades shades(rule, 40);
    for (float depth : edgesandbetween(42)) {
        int unused = 0;
        ASSERT_EQ(shades(depth), (SteppedShades{&unused})(depth)) << depth;
    }
}

TEST(DepthShades, DepthsBeyondTheTableAreWorkedOut)
{
    int calls = 0;
    const DepthShades shades(SteppedShades{&calls}, 3);
    int unused = 0;
    const SteppedShades rule{&unused};
    for (float depth : {-0.0f, -1.0f, -1e30f, 4.99f, 5.0f, 6.5f, 255.0f, 1e30f, INFINITY})
        EXPECT_EQ(shades(depth), rule(depth)) << depth;
}

TEST(DepthShades, UniformAndOnceChangingSlicesAreLookedUp)
{
    int calls = 0;
    const DepthShades shades(SteppedShades{&calls}, 40);
    // Units 3, 4, 6, 7 ...: one shade or at most one change per slice.
    std::vector<float> depths;
    for (int whole = 3; whole < 40; ++whole)
        if (whole % 3 != 2)
            for (float fraction = 0; fraction < 1; fraction += 0.001f)
                depths.push_back(static_cast<float>(whole) + fraction);
    std::vector<std::uint32_t> packed(depths.size());
    calls = 0;
    shades.lookup(depths.data(), static_cast<int>(depths.size()), packed.data());
    EXPECT_EQ(calls, 0);

    int unused = 0;
    const SteppedShades rule{&unused};
    for (std::size_t k = 0; k < depths.size(); ++k)
        ASSERT_EQ(packed[k], rule(depths[k]).packed()) << depths[k];
}

TEST(DepthShades, PackedShadesKeepIndexAndColour)
{
    const Shade shade = Shade::drawn(200, 0xFF102030u);
    EXPECT_EQ(shade.packed() >> 24, 200u);
    EXPECT_EQ(shade.packed() & 0xFFFFFFu, 0x102030u);
    EXPECT_EQ(Shade::drawn(0, 0xFF102030u), Shade::undrawn()) << "index 0 is never drawn";
    EXPECT_EQ(Shade::undrawn().packed(), 0u);
}

} // namespace
} // namespace kt
