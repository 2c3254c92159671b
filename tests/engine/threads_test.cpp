#include <gtest/gtest.h>

#include <cstring>

#include "engine/driver.h"
#include "engine/range.h"
#include "engine/rendercontext.h"
#include "support/base/casename.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

// Everything a rotated render leaves behind that later work reads.
struct Outcome {
    std::vector<float> hitcounts;
    std::vector<std::uint32_t> pixels;
    std::uint32_t hitmax;
    std::uint32_t itercount;
    VOXEL z;
};

struct Case {
    const char* name;
    ICON set;
    VOXEL angles;
    int order;
    int cmethod;
    int batches;
    int res = 600;
    int imageside = 0; // 0: res
    // After so many batches the orbit point moves, or a coefficient changes (0: never).
    int moveat = 0;
    int tuneat = 0;
};

// Escapes at once from every start: each step restarts from the fixed point.
constexpr ICON escaping{5.0, 0.0, 0.0, 2.0, 0.0, 3, 0, 1.0, 0.1, 0.003, 0.1};

const Case cases[] = {
    {"XYZ hits", builtinicon1, {30, 45, 60}, 0, 0, 300},
    {"XZY hits", builtinicon1, {30, 45, 60}, 1, 0, 30},
    {"YXZ hits", builtinicon1, {30, 45, 60}, 2, 0, 30},
    {"YZX depth", builtinicon2, {30, 45, 60}, 3, 1, 30},
    {"ZXY depth", builtinicon1, {30, 45, 60}, 4, 1, 30},
    {"ZYX depth", builtinicon2, {200, 10, 355}, 5, 1, 30},
    {"one axis still", builtinicon1, {0, 45, 60}, 0, 1, 30},
    {"restarting points", escaping, {10, 20, 30}, 0, 0, 5},
    // Fewer rows than bands, and rows shared by many points.
    {"tiny image hits", builtinicon1, {30, 45, 60}, 0, 0, 30, 5},
    {"tiny image depth", builtinicon2, {30, 45, 60}, 0, 1, 30, 3},
    {"large image depth", builtinicon1, {30, 45, 60}, 2, 1, 30, 2000},
    {"smaller image than the hit counts", builtinicon1, {30, 45, 60}, 0, 0, 30, 600, 400},
    {"orbit moved between batches", builtinicon1, {30, 45, 60}, 0, 1, 30, 600, 0, 12},
    {"coefficient changed between batches", builtinicon1, {30, 45, 60}, 0, 1, 30, 600, 0, 0, 12},
};

// The 80 bits of an extended real; the rest of its storage is padding.
bool samebits(real a, real b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

class ThreadsTest : public testing::EngineTest, public ::testing::WithParamInterface<Case> {
protected:
    Outcome render(RenderContext& on)
    {
        const Case& c = GetParam();
        useimage(c.res);
        if (c.imageside) {
            image = std::make_unique<Surface>(c.imageside, c.imageside);
            engine.g_vhdc = image.get();
        }
        engine.icon[0] = c.set;
        engine.rot[0] = c.angles;
        engine.rotationorder = c.order;
        engine.cmethod = c.cmethod;
        engine.newimage = 1;
        for (int k = 0; k < c.batches; ++k) {
            if (c.moveat && k == c.moveat)
                engine.z = VOXEL{0.25, -0.125, 0};
            if (c.tuneat && k == c.tuneat)
                engine.e += static_cast<real>(0.001);
            EXPECT_EQ(imagebatch(on, engine), 0);
        }
        return {hitcountcopy(), pixelcopy(), engine.hitmax, engine.itercount, engine.z};
    }
};

TEST_P(ThreadsTest, EveryThreadCountGivesTheOneThreadResultBitForBit)
{
    RenderContext single(1);
    const Outcome one = render(single);
    ASSERT_GT(one.hitmax, 0u) << "the case plots something";
    for (int threads : {2, 3, 8}) {
        RenderContext shared(threads);
        const Outcome many = render(shared);
        EXPECT_EQ(many.hitcounts, one.hitcounts) << threads << " threads";
        EXPECT_EQ(many.pixels, one.pixels) << threads << " threads";
        EXPECT_EQ(many.hitmax, one.hitmax) << threads << " threads";
        EXPECT_EQ(many.itercount, one.itercount) << threads << " threads";
        EXPECT_TRUE(samebits(many.z.x, one.z.x) && samebits(many.z.y, one.z.y) && samebits(many.z.z, one.z.z))
            << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(Rotated, ThreadsTest, ::testing::ValuesIn(cases), testing::CaseName());

struct FlatCase {
    const char* name;
    ICON set;
    int res;
    int cmethod;
    int batches;
    // After so many batches the orbit point moves, a coefficient changes or
    // the colouring turns to depths (0: never): the points made ahead for
    // the next batch no longer stand for it.
    int moveat = 0;
    int tuneat = 0;
    int recolourat = 0;
    // Turned after so many batches, and flat again after twice as many.
    int turnat = 0;
};

// Sides on both sides of where plotting apart from the orbit takes over.
const FlatCase flatcases[] = {
    {"formula 1 hits small", builtinicon1, 600, 0, 200},
    {"formula 2 hits small", builtinicon2, 600, 0, 200},
    {"formula 1 depth small", builtinicon1, 600, 1, 200},
    {"formula 2 depth large", builtinicon2, 2000, 1, 100},
    {"formula 1 hits large", builtinicon1, 2000, 0, 100},
    {"first batch only", builtinicon2, 2000, 0, 1},
    {"restarting points", escaping, 600, 1, 5},
    {"orbit moved between batches", builtinicon1, 2000, 0, 30, 12},
    {"coefficient changed between batches", builtinicon1, 2000, 1, 30, 0, 12},
    {"colouring changed between batches", builtinicon1, 2000, 0, 30, 0, 0, 12},
    {"turned and back between batches", builtinicon1, 2000, 1, 30, 0, 0, 0, 10},
};

class FlatThreadsTest : public testing::EngineTest, public ::testing::WithParamInterface<FlatCase> {
protected:
    Outcome render(int threads, FlatPlotting how)
    {
        const FlatCase& c = GetParam();
        RenderContext on(threads);
        useimage(c.res);
        engine.icon[0] = c.set;
        engine.cmethod = c.cmethod;
        engine.newimage = 1;
        for (int k = 0; k < c.batches; ++k) {
            if (c.moveat && k == c.moveat)
                engine.z = VOXEL{0.25, -0.125, 0};
            if (c.tuneat && k == c.tuneat)
                engine.e += static_cast<real>(0.001);
            if (c.recolourat && k == c.recolourat)
                engine.cmethod = 1;
            if (c.turnat && (k == c.turnat || k == 2 * c.turnat))
                engine.rot[0] = k == c.turnat ? VOXEL{30, 45, 60} : VOXEL{0, 0, 0};
            EXPECT_EQ(imagebatch(on, engine, how), 0);
        }
        return {hitcountcopy(), pixelcopy(), engine.hitmax, engine.itercount, engine.z};
    }
};

TEST_P(FlatThreadsTest, EveryWayOfPlottingGivesTheInterleavedResultBitForBit)
{
    const Outcome one = render(1, FlatPlotting::interleaved);
    if (GetParam().batches > 1) {
        ASSERT_GT(one.hitmax, 0u) << "the case plots something";
    }
    const struct {
        int threads;
        FlatPlotting how;
    } ways[] = {{1, FlatPlotting::apart},
                {1, FlatPlotting::automatic},
                {2, FlatPlotting::automatic},
                {3, FlatPlotting::apart},
                {8, FlatPlotting::automatic}};
    for (const auto& way : ways) {
        const Outcome other = render(way.threads, way.how);
        const std::string label = std::to_string(way.threads) + " threads, way " +
            std::to_string(static_cast<int>(way.how));
        EXPECT_EQ(other.hitcounts, one.hitcounts) << label;
        EXPECT_EQ(other.pixels, one.pixels) << label;
        EXPECT_EQ(other.hitmax, one.hitmax) << label;
        EXPECT_EQ(other.itercount, one.itercount) << label;
        EXPECT_TRUE(samebits(other.z.x, one.z.x) && samebits(other.z.y, one.z.y) && samebits(other.z.z, one.z.z))
            << label;
    }
}

using RefusedThreadsTest = ThreadsTest;

TEST_P(RefusedThreadsTest, ASystemThatRefusesThreadsGetsTheSameResultFromThoseThatStarted)
{
    RenderContext single(1);
    const Outcome one = render(single);
    for (int startable : {0, 1, 4}) {
        RenderContext limited(8, startable);
        ::testing::internal::CaptureStderr();
        const Outcome fewer = render(limited);
        const Outcome again = render(limited); // nothing more is said
        const std::string said = ::testing::internal::GetCapturedStderr();
        const int started = limited.workers.threads();
        EXPECT_EQ(started, startable + 1);
        EXPECT_EQ(said,
                  std::string(program_invocation_short_name) + ": only " + std::to_string(startable + 1) +
                      " of 8 threads could be started; the work goes "
                      "on with " +
                      std::to_string(startable + 1) + ", with the same result\n")
            << said;
        for (const Outcome* many : {&fewer, &again}) {
            EXPECT_EQ(many->hitcounts, one.hitcounts) << startable;
            EXPECT_EQ(many->pixels, one.pixels) << startable;
            EXPECT_EQ(many->itercount, one.itercount) << startable;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Unrotated, FlatThreadsTest, ::testing::ValuesIn(flatcases), testing::CaseName());
INSTANTIATE_TEST_SUITE_P(Rotated, RefusedThreadsTest, ::testing::Values(cases[1]), testing::CaseName());

} // namespace
} // namespace kt
