// Steps per second of the desktop program's message loop against the bare
// render batch loop, with a 600 x 600 image on a 1,024 x 768 screen: on the
// headless backend, and on the Qt backend under whatever platform Qt is given
// (run with QT_QPA_PLATFORM=offscreen on a machine without a display). The
// rotated case turns the icon by 30,45,60 on every processor, in the loop and
// in the bare batches alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include <QTimer>

#include "base/program.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "platform/backend.h"
#include "support/scriptedbackend.h"
#include "platform/qt/qtbackend.h"
#include "shell/shellstate.h"
#include "shell/renderdriver.h"
#include "shell/startup.h"
#include "shell/turnpreview.h"
#include "parts/programparts.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr double measuredSeconds = 1.0;

bool rotated = false;

void resetall()
{
    program().reset();
    if (rotated)
        engine.rot[0] = VOXEL{30, 45, 60};
}

// Steps per second of icondriver alone, for about a second.
double barerate()
{
    resetall();
    Surface image(600, 600);
    engine.g_vhdc = &image;
    icondriver(engine);
    std::uint64_t steps = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::duration<double>(measuredSeconds)) {
        for (int k = 0; k < 100; ++k)
            icondriver(engine);
        steps += 100000;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    engine.g_vhdc = nullptr;
    program().reset();
    return static_cast<double>(steps) / seconds;
}

struct Window {
    Clock::time_point start;
    std::uint32_t startSteps = 0;
    double rate = 0;
};

void startmeasuring(Window& w)
{
    w.start = Clock::now();
    w.startSteps = engine.itercount;
}

void stopmeasuring(Window& w)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - w.start).count();
    w.rate = static_cast<double>(engine.itercount - w.startSteps) / seconds;
    deliverclick(shell.g_hWnd, true, 5, 5);
}

double headlessrate()
{
    resetall();
    headless().reset();
    setbackend(&headless());
    headless().width = 1024;
    headless().height = 768;
    injectclassfailure("KTSplashWindow");
    Window w;
    headless().input([&] { startmeasuring(w); }, 200);
    // Headless input is counted in pumps (two a batch), not in time.
    headless().input([&] { stopmeasuring(w); }, rotated ? 2000 : 40000);
    headless().input([] { deliverkey(shell.g_hWnd, VK_ESCAPE, 0, 0); }, 6);
    WinMain(nullptr, nullptr, "", SW_SHOW);
    resetall();
    return w.rate;
}

double qtrate(QtBackend& qt)
{
    resetall();
    setbackend(&qt);
    injectclassfailure("KTSplashWindow");
    Window w;
    QTimer::singleShot(300, [&] { startmeasuring(w); });
    QTimer::singleShot(300 + static_cast<int>(measuredSeconds * 1000), [&] {
        stopmeasuring(w);
        QTimer::singleShot(50, [] { deliverkey(shell.g_hWnd, VK_ESCAPE, 0, 0); });
    });
    WinMain(nullptr, nullptr, "", SW_SHOW);
    resetall();
    setbackend(nullptr);
    return w.rate;
}

void BM_DesktopLoop(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "desktop_bench";
    static char* argv[] = {name, nullptr};
    // Qt goes before the process ends, while the windows it shows still can.
    auto qt = std::make_unique<QtBackend>(argc, argv);
    rotated = state.range(1) != 0;
    // Each side keeps its best run of the alternating ones: on a shared
    // machine a neighbour only ever slows a run down, so the best comes
    // nearest to what the code itself costs.
    double bare = 0, looped = 0;
    for (auto _ : state) {
        bare = std::max(bare, barerate());
        looped = std::max(looped, state.range(0) == 0 ? headlessrate() : qtrate(*qt));
    }
    qt.reset();
    rotated = false;
    state.counters["bare_Msteps_per_s"] = bare / 1e6;
    state.counters["loop_Msteps_per_s"] = looped / 1e6;
    state.counters["loop_over_bare"] = looped / bare;
}
BENCHMARK(BM_DesktopLoop)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"qt", "rotated"})
    ->Iterations(5)
    ->Unit(benchmark::kSecond);

// Frames per second of the preview a mouse drag shows, at 600 x 600: each
// frame turns the taken orbit by one more degree about Y and draws it.
void BM_TurnPreview(benchmark::State& state)
{
    resetall();
    Surface image(600, 600);
    TurnPreview preview;
    preview.take(engine);
    VOXEL angles{30, 0, 0};
    for (auto _ : state) {
        angles.y = angles.y + 1;
        preview.draw(engine, angles, engine.icon[0].scale, image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    program().reset();
}
BENCHMARK(BM_TurnPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
