// A gallery of 32 entries (300 x 300, 1M steps each), without a filter and
// with one, made on 1 and on 2 threads, in alternate rounds of one run so that a busy machine slows both
// alike, with their ratio; and the search alone (the one part that stays on
// one thread), as a share of the one-thread time. On a machine others share,
// cores_used_2_threads (the process's processor time over the wall time of
// the two-thread runs) says how much of two processors the run was given.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "app/render/still/batchrender.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr int entries = 32;
constexpr std::uint32_t seed = 2024;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double processorseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

const char* const filters[] = {"none", "normalize"};

void BM_ExploreThreads(benchmark::State& state)
{
    const std::string filter = filters[state.range(0)];
    state.SetLabel("--filter " + filter);
    char pattern[] = "/tmp/kt-explore-bench-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    std::map<int, Clock::duration> spent;
    Clock::duration searching{};
    double processor2 = 0;
    for (auto _ : state) {
        for (int threads : {1, 2}) {
            std::ostringstream out, err;
            const auto start = Clock::now();
            const double processorstart = processorseconds();
            const int status = runbatchrender({"--explore", std::to_string(entries), "--seed", std::to_string(seed),
                                               "--size", "300", "--iterations", "1M", "--filter", filter, "--threads",
                                               std::to_string(threads), "--quiet", "-o", folder},
                                              out, err, false);
            spent[threads] += Clock::now() - start;
            if (threads == 2)
                processor2 += processorseconds() - processorstart;
            if (status != 0)
                state.SkipWithError(err.str().c_str());
        }
        EngineState engine;
        SearchState search;
        ScreeningState screening;
        RenderContext ctx;
        const auto start = Clock::now();
        ktseed(search, seed);
        for (int k = 0; k < entries; ++k)
            nextrandomparams(ctx, engine, search, screening, answeryes);
        searching += Clock::now() - start;
    }
    std::filesystem::remove_all(folder);
    const double rounds = static_cast<double>(state.iterations());
    state.counters["1_thread_s"] = seconds(spent[1]) / rounds;
    state.counters["2_threads_s"] = seconds(spent[2]) / rounds;
    state.counters["2_threads_over_1"] = seconds(spent[1]) / seconds(spent[2]);
    state.counters["cores_used_2_threads"] = processor2 / seconds(spent[2]);
    state.counters["search_s"] = seconds(searching) / rounds;
    state.counters["search_share_of_1_thread"] = seconds(searching) / seconds(spent[1]);
}
BENCHMARK(BM_ExploreThreads)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
