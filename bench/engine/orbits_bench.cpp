// The exact orbit against many orbits in doubles: the built-in set of formula
// 1 rendered flat and turned (30, 45, 0) at 600, 4000 and 12000 pixels, on
// one and two threads, steps per second; and the lanes' arithmetic alone
// (the floor of a step, n = 11: no plotting) and with the projection, on one
// thread. Every way reports the calling thread's processor time per step
// beside its wall time, since on a shared machine the threads of one render
// do not always run at once. Ratios are read within one run.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

#include "base/surface.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/orbitlanes.h"
#include "engine/rendercontext.h"

namespace {

using namespace kt;

double threadseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int manyorbits = 4096;

EngineState scene(int side, bool turned)
{
    EngineState s;
    s.res = side;
    if (turned)
        s.rot[0] = VOXEL{30, 45, 0};
    return s;
}

// One render of `steps` steps; the exact orbit is the default of every path.
void BM_Render(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const bool turned = state.range(1) != 0;
    const int orbits = static_cast<int>(state.range(2));
    RenderContext ctx(static_cast<int>(state.range(3)));
    // The exact turned orbit is slow: fewer steps keep the run short. Many
    // orbits take 200M steps: with 20M, walking the exact orbit to their
    // starts (one chain, on one thread) and setting up and colouring the
    // picture would be a third of what is timed, and of two threads' time
    // more still.
    const std::uint64_t batches = orbits > 1 ? 200000 : (turned ? 500 : 4000);
    double busy = 0;
    for (auto _ : state) {
        EngineState s = scene(side, turned);
        const double before = threadseconds();
        if (orbits > 1) {
            renderorbits(ctx, s, orbits, batches, [](std::uint64_t) { return true; });
        } else {
            for (std::uint64_t b = 0; b < batches; ++b)
                imagebatch(ctx, s);
        }
        busy += threadseconds() - before;
        benchmark::DoNotOptimize(s.hitmax);
    }
    const double steps = static_cast<double>(batches * batchsteps) * state.iterations();
    state.counters["steps/s"] = benchmark::Counter(steps, benchmark::Counter::kIsRate);
    state.counters["caller_ns/step"] = busy / steps * 1e9;
}

// The lanes' own arithmetic, one thread: the floor of a many-orbit step
// (plotting nothing) and the same with the projection of every point.
void BM_Lanes(benchmark::State& state)
{
    const bool projecting = state.range(0) != 0;
    const bool turned = state.range(1) != 0;
    constexpr int groups = 512 / lanewidth;
    constexpr int steps = 256;
    std::vector<double> x(groups * lanewidth, 0.1), y(groups * lanewidth, 0.003), z(groups * lanewidth, 0.1);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] += 1e-6 * static_cast<double>(i);
    std::vector<std::int64_t> pixels(x.size() * steps);
    LaneFormula f;
    const ICON& set = builtinicon1;
    f = LaneFormula{0, set.n, 0, set.a, set.b, set.c, set.d, set.e};
    LaneView v;
    v.turned = turned;
    v.offset = 1;
    v.factor = 300;
    v.resolution = 600;
    v.side = 600;
    const Lanes lanes{x.data(), y.data(), z.data(), groups, 0};
    steplanes(f, v, lanes, 1000, LaneSpots{nullptr, nullptr});
    for (auto _ : state) {
        steplanes(f, v, lanes, steps, LaneSpots{projecting ? pixels.data() : nullptr, nullptr});
        benchmark::DoNotOptimize(x.data());
    }
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(x.size()) * steps * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_Lanes)->ArgNames({"project", "turned"})->Args({0, 0})->Args({1, 0})->Args({1, 1});
BENCHMARK(BM_Render)
    ->ArgNames({"side", "turned", "orbits", "threads"})
    ->ArgsProduct({{600, 4000, 12000}, {0, 1}, {1, manyorbits}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK_MAIN();
