// A rotated view rendered on 1, 2 and every processor, in alternate rounds of
// one run so that a busy machine slows all alike: steps per second of each and
// their ratio to one thread. The built-in set of formula 1 at angles
// 30,45,60, order XYZ, 600 x 600.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/program.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/workers.h"
#include "base/surface.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr int batchesPerRound = 400;

struct RotatedScene {
    RotatedScene()
    {
        program().reset();
        engine.rot[0] = VOXEL{30, 45, 60};
        image = std::make_unique<Surface>(engine.res, engine.res);
        engine.g_vhdc = image.get();
        icondriver(); // the unplotted first batch
    }
    ~RotatedScene()
    {
        engine.g_vhdc = nullptr;
        program().reset();
    }
    std::unique_ptr<Surface> image;
};

void BM_RotatedThreads(benchmark::State& state)
{
    RotatedScene scene;
    std::vector<int> counts{1, 2};
    if (processorcount() > 2)
        counts.push_back(processorcount());
    std::map<int, Clock::duration> spent;
    for (auto _ : state) {
        for (int threads : counts) {
            setworkerthreads(threads);
            const auto start = Clock::now();
            for (int k = 0; k < batchesPerRound; ++k)
                icondriver();
            spent[threads] += Clock::now() - start;
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
    }
    setworkerthreads(processorcount());
}
BENCHMARK(BM_RotatedThreads)->Iterations(5)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
