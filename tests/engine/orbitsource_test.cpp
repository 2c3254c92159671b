#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "engine/manyorbits.h"
#include "engine/orbitsource.h"
#include "engine/plot.h"
#include "engine/rendercontext.h"
#include "support/base/casename.h"

namespace kt {
namespace {

constexpr int side = 200;
constexpr std::uint64_t batches = 41;
constexpr int plotted = (batches - 1) * batchsteps;

struct SourceCase {
    const char* name;
    int type;
    int orbits; // 1: the exact orbit
};

const SourceCase cases[] = {
    {"ExactFirstFormula", 0, 1},
    {"ExactSecondFormula", 1, 1},
    // 90 orbits in 96 lanes, and 40 of them one step longer than the rest.
    {"ManyFirstFormula", 0, 90},
    {"ManySecondFormula", 1, 90},
};

EngineState statefor(const SourceCase& c)
{
    EngineState s;
    s.type = c.type;
    s.res = side;
    return s;
}

// The hit counts of a flat render of the case: the exact orbit's batches or
// the many orbits' rounds, each stepping its orbits itself.
std::vector<float> rendered(const SourceCase& c, EngineState& s)
{
    RenderContext ctx(1);
    if (c.orbits == 1) {
        for (std::uint64_t b = 0; b < batches; ++b)
            imagebatch(ctx, s);
    } else {
        EXPECT_EQ(renderorbits(ctx, s, c.orbits, batches, [](std::uint64_t) { return true; }), OrbitsResult::done);
    }
    return std::vector<float>(s.hitcount.get(), s.hitcount.get() + side * side);
}

// Where a flat render plots a point: the exact projection of an 80-bit
// point, or the lanes' projection in doubles.
void plot(const EngineState& s, bool exact, const VOXEL& point, std::vector<float>& hits)
{
    if (exact) {
        const Spot spot = spotofturned(s, point);
        if (spot.column >= 0)
            counthit(hits[static_cast<std::size_t>(spot.row) * side + spot.column]);
        return;
    }
    const double offset = s.icon[s.type].scale;
    const double factor = static_cast<double>(static_cast<real>(side) / s.denom[s.type]);
    const double column = (static_cast<double>(point.x) + offset) * factor;
    const double row = (static_cast<double>(point.y) + offset) * factor;
    if (column > -1 && column < side && row > -1 && row < side)
        counthit(
            hits[static_cast<std::size_t>(static_cast<std::int64_t>(row) * side + static_cast<std::int64_t>(column))]);
}

class OrbitSourceTest : public ::testing::TestWithParam<SourceCase> {};

// A source hands out, in batches of any size, the very points a render of
// as many steps plots: plotted again they give its hit counts bit for bit.
// The exact source's points are advanceorbit's from the start of a new
// image; the many source's, taken in doubles or widened, are the same.
TEST_P(OrbitSourceTest, HandsOutTheStepsARenderPlots)
{
    const SourceCase& c = GetParam();
    EngineState render = statefor(c);
    const std::vector<float> expected = rendered(c, render);
    EXPECT_EQ(std::accumulate(expected.begin(), expected.end(), 0.0), plotted) << "the set lands wholly on the image";

    RenderContext ctx(2);
    EngineState orbit = statefor(c);
    std::unique_ptr<OrbitSource> source;
    ManyOrbits* many = nullptr;
    if (c.orbits == 1) {
        source = std::make_unique<ExactOrbit>(orbit, OrbitStart::newimage);
    } else {
        auto started = std::make_unique<ManyOrbits>();
        ASSERT_TRUE(started->start(ctx, orbit, c.orbits));
        many = started.get();
        source = std::move(started);
    }

    EngineState walked = statefor(c);
    loadorbit(walked, walked.icon[c.type]);
    setupimage(walked);
    std::vector<VOXEL> points(batchsteps), steps(batchsteps);
    advanceorbit(walked, steps.data(), batchsteps);

    std::vector<float> hits(side * side, 0.0f);
    // Batches across the orbits' rows and the many source's pieces.
    for (int taken = 0, size = 1; taken < plotted; taken += size, size = size * 3 % 997 + 1) {
        size = std::min(size, plotted - taken);
        // The many orbits' doubles, every other batch, as they are.
        if (many && size % 2) {
            std::vector<std::array<double, 3>> doubles(size);
            many->next(doubles.data(), size);
            std::transform(doubles.begin(), doubles.end(), points.begin(), [](const std::array<double, 3>& p) {
                return VOXEL{p[0], p[1], p[2]};
            });
        } else {
            source->next(points.data(), size);
        }
        if (c.orbits == 1) {
            advanceorbit(walked, steps.data(), size);
            ASSERT_TRUE(std::equal(points.begin(), points.begin() + size, steps.begin())) << "from step " << taken;
        }
        for (int i = 0; i < size; ++i)
            plot(render, c.orbits == 1, points[i], hits);
    }
    const auto differ = [](float a, float b) { return a != b ? 1 : 0; };
    EXPECT_TRUE(hits == expected) << std::inner_product(hits.begin(), hits.end(), expected.begin(), 0, std::plus<>(),
                                                        differ)
                                  << " pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Sources, OrbitSourceTest, ::testing::ValuesIn(cases), testing::CaseName());

// No orbits, or more than a picture may have, lay out no lanes: the source
// says so and hands out nothing, rather than dividing by its empty plan.
TEST(OrbitSource, ManyOrbitsRefuseACountOutOfRange)
{
    RenderContext ctx(2);
    const EngineState set;
    for (const int orbits : {0, -1, maxorbits + 1}) {
        ManyOrbits source;
        EXPECT_FALSE(source.start(ctx, set, orbits)) << orbits;
        VOXEL point{7, 7, 7};
        source.next(&point, 1);
        EXPECT_EQ(point.x, 7) << orbits;
    }
}

} // namespace
} // namespace kt
