#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/manyorbits.h"
#include "engine/rendercontext.h"
#include "support/base/casename.h"

namespace kt {
namespace {

struct Picture {
    std::vector<float> hits;
    std::vector<std::uint32_t> pixels;
    std::vector<float> depthsums;
    std::uint32_t hitmax = 0;
};

struct Scene {
    ICON set = builtinicon1;
    int type = 0;
    VOXEL angles = {};
    int cmethod = 0;
    int res = 300;
    bool sums = false;
};

EngineState statefor(const Scene& scene)
{
    EngineState s;
    s.type = scene.type;
    s.icon[scene.type] = scene.set;
    s.rot[scene.type] = scene.angles;
    s.cmethod = scene.cmethod;
    s.res = scene.res;
    s.depthsums = scene.sums;
    return s;
}

Picture picture(EngineState& s, Surface* image)
{
    Picture p;
    p.hits.assign(s.hitcount.get(), s.hitcount.get() + static_cast<std::size_t>(s.res) * s.res);
    if (image)
        p.pixels.assign(image->bits(), image->bits() + static_cast<std::size_t>(s.res) * s.res);
    if (s.depthsum)
        p.depthsums.assign(s.depthsum.get(), s.depthsum.get() + static_cast<std::size_t>(s.res) * s.res);
    p.hitmax = s.hitmax;
    return p;
}

Picture many(const Scene& scene, int orbits, std::uint64_t batches, int threads, OrbitShare share = {})
{
    RenderContext on(threads);
    EngineState s = statefor(scene);
    Surface image(scene.res, scene.res);
    s.g_vhdc = &image;
    EXPECT_EQ(renderorbits(on, s, orbits, batches, [](std::uint64_t) { return true; }, share), OrbitsResult::done);
    return picture(s, &image);
}

Picture exact(const Scene& scene, std::uint64_t batches, VOXEL start)
{
    EngineState s = statefor(scene);
    s.icon[scene.type].xstart = start.x;
    s.icon[scene.type].ystart = start.y;
    s.icon[scene.type].zstart = start.z;
    RenderContext ctx;
    for (std::uint64_t b = 0; b < batches; ++b)
        imagebatch(ctx, s);
    return picture(s, nullptr);
}

constexpr ICON chaoticstar{1.56, -1, 0.1, -1.9, 0, 5, 0, 1.0, 0.1, 0.003, 0.1};

struct ThreadCase {
    const char* name;
    Scene scene;
    int orbits;
    std::uint64_t batches;
};

const ThreadCase threadcases[] = {
    {"Flat", {}, 4096, 400},
    {"Turned", {builtinicon1, 0, {30, 45, 0}}, 1000, 300},
    {"DepthColouring", {builtinicon1, 0, {30, 45, 0}, 1}, 777, 300},
    {"SecondFormula", {builtinicon2, 1}, 333, 200},
    // Two and three threads count on copies of their own; eight would need
    // too much memory for copies and sort by band.
    {"BigPictureFewOrbits", {builtinicon1, 0, {}, 0, 1600}, 5, 100},
    {"DepthSums", {builtinicon1, 0, {30, 45, 0}, 0, 300, true}, 999, 300},
};

class ManyOrbitsThreads : public ::testing::TestWithParam<ThreadCase> {};

// Every number of threads draws the same picture, and every plotted step is
// counted once: the built-in sets land wholly on the image.
TEST_P(ManyOrbitsThreads, GiveOneThreadsPicture)
{
    const ThreadCase& c = GetParam();
    const Picture one = many(c.scene, c.orbits, c.batches, 1);
    if (c.scene.cmethod == 0 && c.scene.angles.x == 0) {
        EXPECT_EQ(std::accumulate(one.hits.begin(), one.hits.end(), 0.0), (c.batches - 1) * 1000.0);
    }
    EXPECT_GT(one.hitmax, 0u);
    EXPECT_EQ(one.depthsums.empty(), !c.scene.sums);
    for (int threads : {2, 3, 8}) {
        const Picture other = many(c.scene, c.orbits, c.batches, threads);
        EXPECT_EQ(other.hits, one.hits) << threads << " threads";
        EXPECT_EQ(other.pixels, one.pixels) << threads << " threads";
        EXPECT_EQ(other.hitmax, one.hitmax) << threads << " threads";
        EXPECT_EQ(other.depthsums, one.depthsums) << threads << " threads";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ManyOrbitsThreads, ::testing::ValuesIn(threadcases), testing::CaseName());

// Orbits that leave the render range about every hundred steps and restart,
// each from its own point: long enough after it for the restart points' 1e-12
// apart to tell the orbits apart.
constexpr ICON escaping{1.61, -2.437, -2.019, -1.727, 0, 7, 0, 1.0, 0.1, 0.003, 0.1};

const ThreadCase sharecases[] = {
    {"Flat", {}, 4096, 200},
    {"Turned", {builtinicon1, 0, {30, 45, 0}}, 1000, 200},
    {"SecondFormula", {builtinicon2, 1}, 333, 200},
    {"FewOrbitsUnevenSteps", {builtinicon1, 0, {}, 0, 1200}, 5, 100},
    {"Restarting", {escaping}, 61, 100},
};

class ManyOrbitsShares : public ::testing::TestWithParam<ThreadCase> {};

// The orbits shared out as --part K/N does, the shares' counts added up are
// the whole picture's, whatever threads each share had, and the farthest of
// their reaches is the whole picture's, to the bit.
TEST_P(ManyOrbitsShares, AddUpToTheWholePicture)
{
    const ThreadCase& c = GetParam();
    const Picture whole = many(c.scene, c.orbits, c.batches, 2);
    RenderContext ctx(2);
    OrbitsReach wholereach, farthest;
    ASSERT_TRUE(orbitsreach(ctx, statefor(c.scene), c.orbits, c.batches, false, wholereach));
    std::vector<float> sum(whole.hits.size());
    std::uint64_t steps = 0;
    for (int first = 0; first < 3; ++first) {
        const OrbitShare share{first, 3};
        const Picture part = many(c.scene, c.orbits, c.batches, first + 1, share);
        for (std::size_t k = 0; k < sum.size(); ++k)
            sum[k] += part.hits[k];
        steps += sharesteps(c.orbits, c.batches, share) - 1000;
        OrbitsReach reach;
        ASSERT_TRUE(orbitsreach(ctx, statefor(c.scene), c.orbits, c.batches, false, reach, share));
        farthest.across = std::max(farthest.across, reach.across);
        farthest.down = std::max(farthest.down, reach.down);
    }
    EXPECT_GT(whole.hitmax, 0u);
    EXPECT_EQ(sum, whole.hits);
    EXPECT_GT(wholereach.across, 0);
    EXPECT_EQ(farthest.across, wholereach.across);
    EXPECT_EQ(farthest.down, wholereach.down);
    EXPECT_EQ(steps, (c.batches - 1) * 1000) << "every plotted step is one share's";
}

INSTANTIATE_TEST_SUITE_P(Cases, ManyOrbitsShares, ::testing::ValuesIn(sharecases), testing::CaseName());

// The share of the palette's range between two pictures under the density
// tone on a grey ramp, on average over the pixels either draws.
double difference(const Picture& u, const Picture& v)
{
    const auto tone = [](const Picture& p) {
        const double mean = std::accumulate(p.hits.begin(), p.hits.end(), 0.0) / static_cast<double>(p.hits.size());
        std::vector<double> level(p.hits.size());
        for (std::size_t i = 0; i < level.size(); ++i)
            level[i] = std::min(1.0, std::log1p(p.hits[i] / mean) / std::log1p(200.0));
        return level;
    };
    const std::vector<double> a = tone(u), b = tone(v);
    double sum = 0;
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (u.hits[i] > 0 || v.hits[i] > 0) {
            sum += std::fabs(a[i] - b[i]);
            ++drawn;
        }
    return sum / static_cast<double>(drawn);
}

struct EquivalenceCase {
    const char* name;
    Scene scene;
};

const EquivalenceCase equivalencecases[] = {
    {"FirstBuiltIn", {}},
    {"SecondBuiltIn", {builtinicon2, 1}},
    {"Star", {chaoticstar}},
    {"Turned", {builtinicon1, 0, {30, 45, 0}}},
};

class ManyOrbitsPicture : public ::testing::TestWithParam<EquivalenceCase> {};

// Many orbits draw the attractor an exact orbit draws: they differ from it no
// more than a second exact orbit from a start moved by 1e-7 does.
TEST_P(ManyOrbitsPicture, DiffersFromTheExactOneAsASecondExactOrbitDoes)
{
    const Scene& scene = GetParam().scene;
    const std::uint64_t batches = 20 * scene.res * scene.res / 1000; // 20 steps a pixel
    const ICON& set = scene.set;
    const Picture reference = exact(scene, batches, VOXEL{set.xstart, set.ystart, set.zstart});
    const Picture nudged = exact(scene, batches, VOXEL{set.xstart + 1e-7, set.ystart, set.zstart});
    const Picture drawn = many(scene, 4096, batches, processorcount());
    const double noise = difference(reference, nudged);
    const double apart = difference(reference, drawn);
    RecordProperty("exact_orbits_differ", std::to_string(noise));
    RecordProperty("many_orbits_differ", std::to_string(apart));
    EXPECT_LE(apart, 1.3 * noise) << "exact orbits differ by " << noise;
}

INSTANTIATE_TEST_SUITE_P(Cases, ManyOrbitsPicture, ::testing::ValuesIn(equivalencecases), testing::CaseName());

TEST(ManyOrbits, AskedToStopLeaveTheImageUnfinished)
{
    RenderContext ctx;
    EngineState s = statefor(Scene{});
    int asked = 0;
    EXPECT_EQ(renderorbits(ctx, s, 4096, 2000,
                           [&](std::uint64_t done) {
                               EXPECT_GT(done, 1000u);
                               return ++asked < 2;
                           }),
              OrbitsResult::stopped);
    EXPECT_EQ(asked, 2);
}

} // namespace
} // namespace kt
