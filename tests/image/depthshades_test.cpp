#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "image/depthshades.h"
#include "base/memory.h"

namespace kt {
namespace {

// A shade rule whose whole depth w picks the index and whose fraction picks
// one of `steps(w)` colours: most units are uniform or change shade in a few
// slices, one in twenty changes many times in every slice. Depths below 1 are
// undrawn.
struct SteppedShades {
    int* calls;
    int manysteps = 5000;
    bool busy = false; // every unit changes many times

    int steps(int whole) const
    {
        if (busy || whole % 20 == 19)
            return manysteps;
        return whole % 2 == 0 ? 1 : 3;
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

constexpr std::size_t largepicture = std::size_t{1} << 24;
constexpr int perunit = DepthShades<SteppedShades>::slicesperunit;

// Depths on both sides of every slice edge and every change of step up to
// `top`, and between them.
std::vector<float> edgesandbetween(const SteppedShades& rule, int top)
{
    std::vector<float> depths;
    const auto around = [&depths](float edge) {
        depths.insert(depths.end(), {std::nextafter(edge, -1.0f), edge, std::nextafter(edge, 1000.0f)});
    };
    for (int k = 0; k <= top * perunit; ++k)
        around(static_cast<float>(k) / static_cast<float>(perunit));
    for (int whole = 1; whole < top; ++whole)
        if (rule.steps(whole) < 100)
            for (int step = 1; step < rule.steps(whole); ++step)
                around(static_cast<float>(whole + static_cast<double>(step) / rule.steps(whole)));
    std::mt19937 random(11);
    std::uniform_real_distribution<float> spread(0, static_cast<float>(top));
    for (int k = 0; k < 100000; ++k)
        depths.push_back(spread(random));
    return depths;
}

// The shades `shades` gives each of `depths`, one at a time and packed in a
// row, held against the rule itself.
template <typename Shades>
::testing::AssertionResult givestherule(const Shades& shades, const std::vector<float>& depths, SteppedShades rule)
{
    int unused = 0;
    rule.calls = &unused;
    std::vector<std::uint32_t> packed(depths.size());
    shades.lookup(depths.data(), static_cast<int>(depths.size()), packed.data());
    for (std::size_t k = 0; k < depths.size(); ++k)
        if (shades(depths[k]) != rule(depths[k]) || packed[k] != rule(depths[k]).packed())
            return ::testing::AssertionFailure() << "depth " << depths[k];
    return ::testing::AssertionSuccess();
}

TEST(DepthShades, EveryDepthGetsTheShadeItsRuleGives)
{
    int calls = 0;
    const SteppedShades rule{&calls};
    const DepthShades shades(rule, 40, largepicture);
    ASSERT_TRUE(shades.tabled());
    EXPECT_TRUE(givestherule(shades, edgesandbetween(rule, 42), rule));
}

TEST(DepthShades, DepthsBeyondTheTableAreWorkedOut)
{
    int calls = 0;
    const SteppedShades rule{&calls};
    const DepthShades shades(rule, 3, largepicture);
    ASSERT_TRUE(shades.tabled());
    calls = 0;
    EXPECT_TRUE(givestherule(shades, {-0.0f, -1.0f, -1e30f, 4.99f, 5.0f, 6.5f, 255.0f, 1e30f, INFINITY}, rule));
    EXPECT_EQ(calls, 2 * 7) << "each depth below 0 or from 5 on, looked up twice";
}

TEST(DepthShades, UniformAndOnceChangingSlicesAreLookedUp)
{
    int calls = 0;
    const SteppedShades rule{&calls};
    const DepthShades shades(rule, 40, largepicture);
    std::vector<float> depths;
    for (int whole = 0; whole < 40; ++whole)
        if (rule.steps(whole) < 100)
            for (float fraction = 0; fraction < 1; fraction += 0.001f)
                depths.push_back(static_cast<float>(whole) + fraction);
    std::vector<std::uint32_t> packed(depths.size());
    calls = 0;
    shades.lookup(depths.data(), static_cast<int>(depths.size()), packed.data());
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(givestherule(shades, depths, rule));
}

TEST(DepthShades, DrawnIndex1InBlackIsAShadeLikeAnyOther)
{
    int calls = 0;
    const auto black = [&calls](float) {
        ++calls;
        return Shade::drawn(1, 0xFF000000u);
    };
    const DepthShades shades(black, 10, largepicture);
    ASSERT_TRUE(shades.tabled());
    calls = 0;
    for (float depth : {0.0f, 3.5f, 10.99f})
        EXPECT_EQ(shades(depth).packed(), 0x01000000u) << depth;
    EXPECT_EQ(calls, 0);
}

TEST(DepthShades, WorksEveryPixelOutWhereATableWouldNotPay)
{
    int calls = 0;
    const SteppedShades rule{&calls};
    // Fewer pixels than the table has slices to work out.
    const DepthShades small(rule, 40, 1000);
    injectallocationfailures(1);
    const DepthShades roomless(rule, 40, largepicture);
    injectallocationfailures(0);
    // A change of shade in most slices.
    const SteppedShades busyrule{&calls, 97, true};
    const DepthShades busy(busyrule, 40, largepicture);
    EXPECT_FALSE(small.tabled());
    EXPECT_FALSE(roomless.tabled());
    EXPECT_FALSE(busy.tabled());

    const std::vector<float> depths = edgesandbetween(rule, 42);
    EXPECT_TRUE(givestherule(small, depths, rule));
    EXPECT_TRUE(givestherule(roomless, depths, rule));
    EXPECT_TRUE(givestherule(busy, edgesandbetween(busyrule, 42), busyrule));
}

TEST(DepthShades, PackedShadesKeepIndexAndColour)
{
    const Shade shade = Shade::drawn(200, 0xFF102030u);
    EXPECT_EQ(shade.packed(), 0xC8102030u);
    EXPECT_EQ(Shade::drawn(0, 0xFF102030u), Shade::undrawn()) << "index 0 is never drawn";
    EXPECT_EQ(Shade::undrawn().packed(), 0u);
}

} // namespace
} // namespace kt
