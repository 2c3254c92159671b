// Unrotated renders of the built-in set of formula 1 at several sides: the
// interleaved loop on one thread with its buffers on ordinary pages (the
// baseline, as renders were made before) against the same on large pages and
// the loop that plots apart from the orbit, on one and on two threads. All run
// in alternate rounds of one run, so that a busy machine slows all alike; each
// reports its rate and its ratio to the baseline. On a machine shared with
// other work the threads of one render do not always run at once; each way
// also reports the calling thread's processor time per step, the rate it would
// reach with a processor to itself (on two threads that is the orbit's part).
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "base/memory.h"
#include "base/surface.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

struct Way {
    const char* name;
    int threads;
    FlatPlotting how;
    bool largepages;
};

constexpr Way ways[] = {
    {"baseline", 1, FlatPlotting::interleaved, false},
    {"large_pages", 1, FlatPlotting::interleaved, true},
    {"now_1_thread", 1, FlatPlotting::automatic, true},
    {"now_2_threads", 2, FlatPlotting::automatic, true},
};

double threadseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Each way renders a state of its own, so that none inherits another's warm
// cache lines; each is warmed up before it is timed.
struct FlatScene {
    FlatScene(int side, bool largepages, int threads) : ctx(threads)
    {
        uselargepages(largepages);
        state.res = side;
        image = Surface::create(side, side);
        state.g_vhdc = image.get();
        for (int k = 0; k < warmupbatches; ++k)
            imagebatch(ctx, state, FlatPlotting::interleaved);
        uselargepages(true);
    }
    static constexpr int warmupbatches = 400;
    RenderContext ctx;
    EngineState state;
    std::unique_ptr<Surface> image;
};

void BM_FlatSides(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const int batches = side >= 4000 ? 100 : 400;
    std::unique_ptr<FlatScene> scenes[std::size(ways)];
    for (std::size_t w = 0; w < std::size(ways); ++w)
        scenes[w] = std::make_unique<FlatScene>(side, ways[w].largepages, ways[w].threads);
    Clock::duration spent[std::size(ways)] = {};
    double callerseconds[std::size(ways)] = {};
    for (auto _ : state) {
        for (std::size_t w = 0; w < std::size(ways); ++w) {
            EngineState& s = scenes[w]->state;
            const double cpustart = threadseconds();
            const auto start = Clock::now();
            for (int k = 0; k < batches; ++k)
                imagebatch(scenes[w]->ctx, s, ways[w].how);
            spent[w] += Clock::now() - start;
            callerseconds[w] += threadseconds() - cpustart;
        }
    }
    const double steps = static_cast<double>(state.iterations()) * batches * batchsteps;
    const double baseline = std::chrono::duration<double>(spent[0]).count();
    for (std::size_t w = 0; w < std::size(ways); ++w) {
        const double seconds = std::chrono::duration<double>(spent[w]).count();
        state.counters[std::string(ways[w].name) + "_Msteps_per_s"] = steps / seconds / 1e6;
        if (w != 0)
            state.counters[std::string(ways[w].name) + "_over_baseline"] = baseline / seconds;
        state.counters[std::string(ways[w].name) + "_caller_ns_per_step"] = callerseconds[w] / steps * 1e9;
    }
}
BENCHMARK(BM_FlatSides)
    ->Arg(600)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->ArgName("side")
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
