// A 36-frame turntable against 36 separate single renders of the same
// frames, one thread each, and the turntable on every processor, in one run
// so that a busy machine slows all alike. The built-in set of formula 1 at
// angles 30,45,0, spin Z, 400 x 400, 2M steps; the argument is the rotation
// order (0 XYZ: the spin axis last; 4 ZXY: first).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/turntable.h"
#include "engine/rendercontext.h"
#include "base/surface.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr int frames = 36;
constexpr int batches = 2000;
constexpr VOXEL angles{30, 45, 0};

EngineState setup(int order)
{
    EngineState s;
    s.res = 400;
    s.rot[0] = angles;
    s.rotationorder = order;
    return s;
}

double separaterenders(RenderContext& ctx, int order)
{
    EngineState engine = setup(order);
    Surface image(engine.res, engine.res);
    engine.g_vhdc = &image;
    const auto start = Clock::now();
    for (int k = 0; k < frames; ++k) {
        engine.rot[0] = turntableangles(angles, Z, k, frames);
        engine.newimage = 1;
        for (int b = 0; b < batches; ++b)
            imagebatch(ctx, engine);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    engine.g_vhdc = nullptr;
    return seconds;
}

double turntable(RenderContext& ctx, int order)
{
    const EngineState engine = setup(order);
    TurntableFrames held;
    for (int k = 0; k < frames; ++k)
        held.push_back(std::make_unique<TurntableFrame>(engine, Z, k, frames));
    const auto start = Clock::now();
    renderturntable(ctx, held, Z, batches, [](std::uint64_t) {});
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Turntable(benchmark::State& state)
{
    const int order = static_cast<int>(state.range(0));
    double separate = 0, one = 0, all = 0;
    RenderContext single(1);
    RenderContext every;
    for (auto _ : state) {
        one += turntable(single, order);
        separate += separaterenders(single, order);
        all += turntable(every, order);
    }
    state.counters["separate_s"] = separate;
    state.counters["turntable_1_thread_s"] = one;
    state.counters["separate_over_turntable"] = separate / one;
    state.counters["turntable_all_threads_s"] = all;
    state.counters["threads"] = processorcount();
    state.counters["all_threads_over_1"] = one / all;
}
BENCHMARK(BM_Turntable)->Arg(0)->Arg(4)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
