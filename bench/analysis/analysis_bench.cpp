// Screening tests per second for the two built-in sets.
#include <benchmark/benchmark.h>

#include "analysis/screening.h"
#include "engine/enginestate.h"

namespace {

using namespace kt;

void BM_Screening(benchmark::State& state)
{
    const int type = static_cast<int>(state.range(0));
    const ICON set = EngineState{}.icon[type];
    ScreeningState screening;
    for (auto _ : state)
        benchmark::DoNotOptimize(testrp(set, type, screening));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Screening)->Arg(0)->Arg(1)->ArgName("formula")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
