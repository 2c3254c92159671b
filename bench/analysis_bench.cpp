// Screening tests per second for the two built-in sets.
#include <benchmark/benchmark.h>

#include "base/program.h"
#include "analysis/screening.h"
#include "engine/enginestate.h"
#include "parts/programparts.h"

namespace {

using namespace kt;

void BM_Screening(benchmark::State& state)
{
    program().reset();
    engine.type = static_cast<int>(state.range(0));
    const ICON set = engine.icon[engine.type];
    for (auto _ : state)
        benchmark::DoNotOptimize(testrp(set, engine.type, screening));
    state.SetItemsProcessed(state.iterations());
    program().reset();
}
BENCHMARK(BM_Screening)->Arg(0)->Arg(1)->ArgName("formula")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
