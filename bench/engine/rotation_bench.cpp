// A rotated view rendered on 1, 2 and every processor, in alternate rounds of
// one run so that a busy machine slows all alike: steps per second of each and
// their ratio to one thread. The built-in set of formula 1 at angles
// 30,45,60, order XYZ, 600 x 600 and 4000 x 4000. Each also reports the
// calling thread's processor time per step: with two or more threads the part
// that does not shrink with more (the orbit, and what share of the turning
// and the plotting it helps with), from which the speed-up on many processors
// is projected.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/bands.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/formulas.h"
#include "engine/rotation.h"
#include "engine/rendercontext.h"
#include "base/surface.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr int batchesPerRound = 400;

double threadseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct RotatedScene {
    explicit RotatedScene(int side)
    {
        engine.res = side;
        engine.rot[0] = VOXEL{30, 45, 60};
        image = std::make_unique<Surface>(engine.res, engine.res);
        engine.g_vhdc = image.get();
        // The unplotted first batch, then enough for the image's memory to be
        // touched once, which a large image pays for in its first batches.
        RenderContext ctx;
        for (int k = 0; k < 200; ++k)
            imagebatch(ctx, engine);
    }
    EngineState engine;
    std::unique_ptr<Surface> image;
};

void BM_RotatedThreads(benchmark::State& state)
{
    RotatedScene scene(static_cast<int>(state.range(0)));
    EngineState& engine = scene.engine;
    std::vector<int> counts{1, 2};
    if (processorcount() > 2)
        counts.push_back(processorcount());
    std::map<int, Clock::duration> spent;
    std::map<int, double> callerseconds;
    std::map<int, std::unique_ptr<RenderContext>> contexts;
    for (int threads : counts)
        contexts[threads] = std::make_unique<RenderContext>(threads);
    for (auto _ : state) {
        for (int threads : counts) {
            RenderContext& ctx = *contexts[threads];
            const double cpustart = threadseconds();
            const auto start = Clock::now();
            for (int k = 0; k < batchesPerRound; ++k)
                imagebatch(ctx, engine);
            spent[threads] += Clock::now() - start;
            callerseconds[threads] += threadseconds() - cpustart;
        }
    }
    const double steps = static_cast<double>(state.iterations()) * batchesPerRound * batchsteps;
    const double one = std::chrono::duration<double>(spent[1]).count();
    for (int threads : counts) {
        const double seconds = std::chrono::duration<double>(spent[threads]).count();
        const std::string name = std::to_string(threads) + "_threads";
        state.counters[name + "_Msteps_per_s"] = steps / seconds / 1e6;
        if (threads != 1)
            state.counters[name + "_over_1"] = one / seconds;
        state.counters[name + "_caller_ns_per_step"] = callerseconds[threads] / steps * 1e9;
    }
}
BENCHMARK(BM_RotatedThreads)->Arg(600)->Arg(4000)->ArgName("side")->Iterations(5)->Unit(benchmark::kSecond);

// What of a rotated step stays on the calling thread, from the parts a step
// is made of, each timed on its own over the same points: the orbit, the
// turning and the projection (which the workers share), and the plotting.
// Plotted in orbit order on the calling thread, as before the bands, all of
// the plotting is serial; plotted by bands, each thread plots its share of
// the points but looks over every point of the batch for each of its bands,
// which is the part of the plotting that does not shrink with more threads.
// Amdahl's law then projects the speed-up on 8, 16 and 64 processors, before
// and now.
void BM_RotatedSerialShare(benchmark::State& state)
{
    RotatedScene scene(static_cast<int>(state.range(0)));
    EngineState& engine = scene.engine;
    constexpr int points = batchsteps * 100;
    std::vector<VOXEL> orbit(points);
    std::vector<VOXEL> turned(points);
    std::vector<Spot> spots(points);
    std::vector<real> depth(points);
    const RotationPlan plan = planrotation(engine.rot[0], engine.rotationorder);
    std::uint32_t* pixels = engine.g_vhdc->drawablebits();
    double advancing = 0, turning = 0, projecting = 0, plotting = 0, looking = 0;
    for (auto _ : state) {
        EngineState probe = engine;
        double start = threadseconds();
        advanceorbit(probe, orbit.data(), points);
        advancing += threadseconds() - start;

        start = threadseconds();
        for (int i = 0; i < points; ++i)
            turned[i] = rotated(orbit[i], plan);
        turning += threadseconds() - start;
        benchmark::DoNotOptimize(turned.data());

        start = threadseconds();
        for (int i = 0; i < points; ++i)
            spots[i] = spotofturned(engine, turned[i]);
        projecting += threadseconds() - start;
        for (int i = 0; i < points; ++i)
            depth[i] = orbit[i].z;

        start = threadseconds();
        for (int i = 0; i < points; i += batchsteps)
            benchmark::DoNotOptimize(plotband(engine, pixels, &spots[i], &depth[i], batchsteps, 0, engine.res));
        plotting += threadseconds() - start;

        start = threadseconds();
        for (int i = 0; i < points; i += batchsteps)
            benchmark::DoNotOptimize(plotband(engine, pixels, &spots[i], &depth[i], batchsteps, 0, 0));
        looking += threadseconds() - start;
    }
    const double ns = 1e9 / (static_cast<double>(state.iterations()) * points);
    const double total = (advancing + turning + projecting + plotting) * ns;
    const double before = (advancing + plotting) * ns;
    const double now = (advancing + bandsperthread * looking) * ns;
    state.counters["orbit_ns"] = advancing * ns;
    state.counters["turning_ns"] = turning * ns;
    state.counters["projection_ns"] = projecting * ns;
    state.counters["plot_in_order_ns"] = plotting * ns;
    state.counters["band_look_over_ns"] = looking * ns;
    state.counters["serial_ns_before"] = before;
    state.counters["serial_ns_now"] = now;
    for (int processors : {8, 16, 64}) {
        const auto speedup = [&](double serial) {
            const double share = serial / total;
            return 1 / (share + (1 - share) / processors);
        };
        state.counters["speedup_before_on_" + std::to_string(processors)] = speedup(before);
        state.counters["speedup_now_on_" + std::to_string(processors)] = speedup(now);
    }
}
BENCHMARK(BM_RotatedSerialShare)->Arg(600)->Arg(4000)->ArgName("side")->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
