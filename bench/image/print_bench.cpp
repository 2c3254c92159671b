// A print of the built-in set of formula 1: 4000 x 4000 with 3x supersampling
// and the density tone, against a plain 4000 x 4000 render of the same steps
// coloured by hit count, in one run so that a busy machine slows both alike.
// Reports the steps per second of each and the share of the print's time
// that the tone mapping and reduction take. The argument is the steps per
// output pixel.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include "base/surface.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "image/tonemap.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr int side = 4000;
constexpr int supersample = 3;

double seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Renders the set at `res` into `image` (none: hit counts alone).
double render(RenderContext& ctx, EngineState& engine, int res, std::uint64_t batches, Surface* image)
{
    engine = EngineState{};
    engine.res = res;
    engine.g_vhdc = image;
    engine.newimage = 1;
    const auto start = Clock::now();
    for (std::uint64_t b = 0; b < batches; ++b)
        imagebatch(ctx, engine);
    return seconds(start);
}

void BM_Print(benchmark::State& state)
{
    const std::uint64_t steps = static_cast<std::uint64_t>(state.range(0)) * side * side;
    const std::uint64_t batches = steps / batchsteps;
    double plain = 0, supersampled = 0, toning = 0;
    RenderContext ctx;
    for (auto _ : state) {
        Surface image(side, side);
        EngineState engine;
        plain += render(ctx, engine, side, batches, &image);
        supersampled += render(ctx, engine, side * supersample, batches, nullptr);
        const auto start = Clock::now();
        const DeepImage toned = tonemap(ctx, HitGrid{engine.hitcount.get(), engine.res},
                                        ToneFrame{side, side, supersample}, engine.palette, engine.back, {});
        toning += seconds(start);
        benchmark::DoNotOptimize(toned.rgba.data());
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["plain_Msteps_per_s"] = steps * runs / plain / 1e6;
    state.counters["supersampled_Msteps_per_s"] = steps * runs / supersampled / 1e6;
    state.counters["tone_and_reduction_s"] = toning / runs;
    state.counters["tone_share_of_print"] = toning / (supersampled + toning);
}
BENCHMARK(BM_Print)->Arg(20)->ArgName("spp")->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
