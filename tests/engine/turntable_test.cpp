#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "engine/driver.h"
#include "engine/turntable.h"
#include "engine/rendercontext.h"
#include "support/base/casename.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

TEST(TurntableAngles, OnlyTheSpinAxisTurnsAndWrapsIntoOneTurn)
{
    struct Case {
        VOXEL angles;
        Axis spin;
        int frame;
        int frames;
        VOXEL expected;
    };
    const Case cases[] = {
        {{10, 20, 30}, Y, 0, 4, {10, 20, 30}},
        {{10, 20, 30}, Y, 3, 4, {10, 290, 30}},
        {{350, 20, 30}, X, 1, 4, {80, 20, 30}},
        {{0, 300, 5}, Y, 2, 3, {0, 180, 5}},
        {{0, 0, 180}, Z, 1, 2, {0, 0, 0}}, // a turn that ends on 360 is 0
        {{0, 0, 360}, Z, 0, 72, {0, 0, 0}},
        {{0, 0, 0}, Z, 1, 2, {0, 0, 180}},
        // in extended precision, not in double
        {{0, 0, 0}, Y, 1, 7, {0, 360.0L / 7, 0}},
        {{0, 100, 0}, Y, 3, 7, {0, 100 + 1080.0L / 7, 0}},
    };
    for (const Case& c : cases) {
        const VOXEL got = turntableangles(c.angles, c.spin, c.frame, c.frames);
        EXPECT_EQ(got.x, c.expected.x) << c.frame << "/" << c.frames;
        EXPECT_EQ(got.y, c.expected.y) << c.frame << "/" << c.frames;
        EXPECT_EQ(got.z, c.expected.z) << c.frame << "/" << c.frames;
    }
    // Steps that are not exact in binary: every frame stays inside one turn,
    // and going round the frames passes 360 once.
    int wraps = 0;
    real previous = turntableangles({0, 100, 0}, Y, 6, 7).y;
    for (int k = 0; k < 7; ++k) {
        const real angle = turntableangles({0, 100, 0}, Y, k, 7).y;
        EXPECT_GE(angle, 0);
        EXPECT_LT(angle, 360);
        wraps += angle < previous;
        previous = angle;
    }
    EXPECT_EQ(wraps, 1);
}

struct Case {
    const char* name;
    int formula;
    VOXEL angles;
    int order;
    Axis spin;
    int frames;
    int cmethod;
    int threads;
};

const Case cases[] = {
    {"spin last, steps inexact", 0, {30, 45, 0}, 0, Z, 7, 0, 2},
    {"spin first, depth", 1, {10, 20, 30}, 4, Z, 4, 1, 3},
    {"spin in the middle", 0, {15, 40, 25}, 1, Z, 3, 0, 1},
    {"two frames from no rotation", 0, {0, 0, 0}, 3, X, 2, 1, 2},
    {"wrapping past 360", 1, {20, 300, 5}, 5, Y, 3, 0, 2},
};

class TurntableTest : public testing::EngineTest, public ::testing::WithParamInterface<Case> {};

TEST_P(TurntableTest, EveryFrameIsTheSingleRenderAtItsAngles)
{
    const Case& c = GetParam();
    constexpr int batches = 14;
    useimage(200);
    engine.type = c.formula;
    engine.rot[c.formula] = c.angles;
    engine.rotationorder = c.order;
    engine.cmethod = c.cmethod;

    RenderContext on(c.threads);
    TurntableFrames frames;
    for (int k = 0; k < c.frames; ++k)
        frames.push_back(std::make_unique<TurntableFrame>(engine, c.spin, k, c.frames));
    std::uint64_t reported = 0;
    ASSERT_TRUE(renderturntable(on, frames, c.spin, batches, [&](std::uint64_t done) { reported = done; }));
    EXPECT_EQ(reported, batches * 1000u);

    const std::size_t pixels = 200 * 200;
    for (int k = 0; k < c.frames; ++k) {
        const EngineState& frame = frames[k]->state;
        engine.rot[c.formula] = turntableangles(c.angles, c.spin, k, c.frames);
        engine.newimage = 1;
        for (int b = 0; b < batches; ++b)
            ASSERT_EQ(imagebatch(on, engine), 0);
        EXPECT_EQ(std::memcmp(frame.hitcount.get(), engine.hitcount.get(), pixels * sizeof(float)), 0) << "frame " << k;
        EXPECT_EQ(std::memcmp(frames[k]->image->bits(), image->bits(), pixels * sizeof(std::uint32_t)), 0)
            << "frame " << k;
        EXPECT_EQ(frame.hitmax, engine.hitmax) << "frame " << k;
        EXPECT_EQ(frame.itercount, engine.itercount);
        EXPECT_TRUE(frame.z.x == engine.z.x && frame.z.y == engine.z.y && frame.z.z == engine.z.z);
        EXPECT_GT(engine.hitmax, 0u) << "the frame shows the icon";
    }
}

INSTANTIATE_TEST_SUITE_P(Turntable, TurntableTest, ::testing::ValuesIn(cases), testing::CaseName());

} // namespace
} // namespace kt
