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
#include <string>

#include <QTimer>

#include "base/program.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "platform/backend.h"
#include "support/platform/scriptedbackend.h"
#include "platform/qt/qtbackend.h"
#include "shell/desktop.h"
#include "shell/renderdriver.h"
#include "shell/startup.h"
#include "shell/editpreview.h"
#include "shell/turnpreview.h"

namespace {

using namespace kt;
using Clock = std::chrono::steady_clock;

constexpr double measuredSeconds = 1.0;

bool rotated = false;

// A desktop as the program starts it, on the window system as at start.
std::unique_ptr<Desktop> freshdesktop()
{
    program().reset();
    auto desktop = std::make_unique<Desktop>();
    if (rotated)
        desktop->engine.rot[0] = VOXEL{30, 45, 60};
    return desktop;
}

// Steps per second of icondriver alone, for about a second, shown as the
// desktop shows them where it has no window.
double barerate()
{
    const auto desktop = freshdesktop();
    EngineState& engine = desktop->engine;
    Surface image(600, 600);
    engine.g_vhdc = &image;
    icondriver(desktop->context, engine, desktop->shell.g_hWnd);
    std::uint64_t steps = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::duration<double>(measuredSeconds)) {
        for (int k = 0; k < 100; ++k)
            icondriver(desktop->context, engine, desktop->shell.g_hWnd);
        steps += 100000;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    engine.g_vhdc = nullptr;
    program().reset();
    return static_cast<double>(steps) / seconds;
}

// The desktop's presentation, timing what lies between a batch's start and
// its drawn picture: the batches themselves, as the loop runs them.
class TimedPresentation : public Presentation {
public:
    explicit TimedPresentation(Presentation& shown) : shown_(shown) {}
    void busy(Work work) override
    {
        if (work == Work::batch)
            batchstart_ = Clock::now();
        shown().busy(work);
    }
    void batchdrawn(bool newpicture) override
    {
        inbatches += Clock::now() - batchstart_;
        shown().batchdrawn(newpicture);
    }
    void idle() override { shown().idle(); }
    void filtered() override { shown().filtered(); }
    void histogramready() override { shown().histogramready(); }
    void warn(const std::string& text, const std::string& caption) override { shown().warn(text, caption); }
    void beginwriting() override { shown().beginwriting(); }
    void endwriting() override { shown().endwriting(); }

    Clock::duration inbatches{};

private:
    Presentation& shown() { return shown_; }
    Presentation& shown_;
    Clock::time_point batchstart_;
};

struct Window {
    explicit Window(Desktop& d) : timed(d.presentation) {}
    Clock::time_point start;
    std::uint32_t startSteps = 0;
    double rate = 0;
    double inbatches = 0; // the share of the time
    TimedPresentation timed;
};

void startmeasuring(Desktop& d, Window& w)
{
    w.start = Clock::now();
    w.startSteps = d.engine.itercount;
    d.context.showon(w.timed);
}

void stopmeasuring(Desktop& d, Window& w)
{
    const Clock::duration elapsed = Clock::now() - w.start;
    d.context.showon(d.presentation);
    const double seconds = std::chrono::duration<double>(elapsed).count();
    w.rate = static_cast<double>(d.engine.itercount - w.startSteps) / seconds;
    w.inbatches = std::chrono::duration<double>(w.timed.inbatches) / std::chrono::duration<double>(elapsed);
    deliverclick(d.shell.g_hWnd, true, 5, 5);
}

Window headlessrate()
{
    const auto desktop = freshdesktop();
    headless().reset();
    setbackend(&headless());
    headless().width = 1024;
    headless().height = 768;
    injectclassfailure("KTSplashWindow");
    Window w(*desktop);
    headless().input([&] { startmeasuring(*desktop, w); }, 200);
    // Headless input is counted in pumps (two a batch), not in time.
    headless().input([&] { stopmeasuring(*desktop, w); }, rotated ? 2000 : 40000);
    headless().input([&] { deliverkey(desktop->shell.g_hWnd, VK_ESCAPE, 0, 0); }, 6);
    WinMain(*desktop, nullptr, nullptr, "", SW_SHOW);
    program().reset();
    return w;
}

Window qtrate(QtBackend& qt)
{
    const auto desktop = freshdesktop();
    setbackend(&qt);
    injectclassfailure("KTSplashWindow");
    Window w(*desktop);
    QTimer::singleShot(300, [&] { startmeasuring(*desktop, w); });
    QTimer::singleShot(300 + static_cast<int>(measuredSeconds * 1000), [&] {
        stopmeasuring(*desktop, w);
        QTimer::singleShot(50, [&] { deliverkey(desktop->shell.g_hWnd, VK_ESCAPE, 0, 0); });
    });
    WinMain(*desktop, nullptr, nullptr, "", SW_SHOW);
    program().reset();
    setbackend(nullptr);
    return w;
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
    // nearest to what the code itself costs. Runs also differ by where
    // their buffers land in memory, by several per cent either way; the share
    // of the loop's time spent in its own batches does not depend on that.
    double bare = 0, looped = 0, inbatches = 0;
    for (auto _ : state) {
        bare = std::max(bare, barerate());
        const Window w = state.range(0) == 0 ? headlessrate() : qtrate(*qt);
        looped = std::max(looped, w.rate);
        inbatches = std::max(inbatches, w.inbatches);
    }
    qt.reset();
    rotated = false;
    state.counters["bare_Msteps_per_s"] = bare / 1e6;
    state.counters["loop_Msteps_per_s"] = looped / 1e6;
    state.counters["loop_over_bare"] = looped / bare;
    state.counters["loop_time_in_batches"] = inbatches;
}
BENCHMARK(BM_DesktopLoop)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"qt", "rotated"})
    ->Iterations(5)
    ->Unit(benchmark::kSecond);

// Frames per second of the preview a mouse drag shows, at 600 x 600, and
// the steps per pixel each frame draws: each frame turns the taken points by
// one more degree about Y and draws them.
void BM_TurnPreview(benchmark::State& state)
{
    const auto desktop = freshdesktop();
    const EngineState& engine = desktop->engine;
    Surface image(600, 600);
    TurnPreview preview;
    preview.take(desktop->context, engine);
    VOXEL angles{30, 0, 0};
    for (auto _ : state) {
        angles.y = angles.y + 1;
        preview.draw(desktop->context, engine, angles, engine.icon[0].scale, image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["steps_per_pixel"] = static_cast<double>(preview.pointsfor(engine)) / (600.0 * 600.0);
    program().reset();
}
BENCHMARK(BM_TurnPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The time a preview takes to take its points of a set: the orbits started
// from the exact orbit, warmed up and stepped, on every processor.
void BM_TurnPreviewTake(benchmark::State& state)
{
    const auto desktop = freshdesktop();
    const EngineState& engine = desktop->engine;
    std::size_t wanted = 0;
    for (auto _ : state) {
        TurnPreview preview;
        preview.take(desktop->context, engine);
        wanted = preview.pointsfor(engine);
    }
    state.counters["points"] = static_cast<double>(wanted);
    program().reset();
}
BENCHMARK(BM_TurnPreviewTake)->Unit(benchmark::kMillisecond)->UseRealTime();

// The time from an edit in the Parameters dialog to its preview, at 600 x
// 600: each edit is a new alpha, so its points are taken afresh.
void BM_EditPreview(benchmark::State& state)
{
    const auto desktop = freshdesktop();
    EngineState edited(desktop->engine);
    int edit = 0;
    for (auto _ : state) {
        edited.icon[0].a = builtinicon1.a + 0.001 * (++edit % 50);
        showeditpreview(*desktop, edited);
        benchmark::DoNotOptimize(desktop->shell.previewimage->bits());
    }
    program().reset();
}
BENCHMARK(BM_EditPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
