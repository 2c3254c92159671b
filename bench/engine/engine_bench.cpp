// Steps per second of the render loop, and the production steps against the
// literal evaluation (the speedup is measured within one run, as a ratio, so
// that a busy machine slows both alike).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "engine/driver.h"
#include "engine/rendercontext.h"
#include "engine/enginestate.h"
#include "literalreference.h"
#include "base/memory.h"
#include "base/surface.h"

namespace {

using namespace kt;

constexpr int batchesPerRound = 200;

struct Scene {
    explicit Scene(int type)
    {
        engine.type = type;
        image = std::make_unique<Surface>(engine.res, engine.res);
        engine.g_vhdc = image.get();
        // Both start an image: their per-image constants are their own.
        literal::render(engine, 1);
        engine.newimage = 1;
        imagebatch(ctx, engine);
    }
    RenderContext ctx;
    EngineState engine;
    std::unique_ptr<Surface> image;
};

void BM_RenderSteps(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state)
        imagebatch(scene.ctx, scene.engine);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RenderSteps)->Arg(0)->Arg(1)->ArgName("formula");

void BM_LiteralSteps(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    for (auto _ : state)
        literal::advance(scene.engine, 1);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_LiteralSteps)->Arg(0)->Arg(1)->ArgName("formula");

// Alternates rounds of both so that they see the same machine; reports the
// literal time over the production time.
void BM_ProductionOverLiteral(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    Scene scene(static_cast<int>(state.range(0)));
    Clock::duration production{}, literal{};
    for (auto _ : state) {
        auto start = Clock::now();
        for (int k = 0; k < batchesPerRound; ++k)
            imagebatch(scene.ctx, scene.engine);
        production += Clock::now() - start;

        start = Clock::now();
        literal::advance(scene.engine, batchesPerRound);
        literal += Clock::now() - start;
    }
    state.counters["speedup"] = std::chrono::duration<double>(literal).count() /
        std::chrono::duration<double>(production).count();
}
BENCHMARK(BM_ProductionOverLiteral)->Arg(0)->Arg(1)->ArgName("formula")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
