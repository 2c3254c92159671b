// Each filter on a 4000 x 4000 picture against one plain pass that reads the
// hit-count buffer and sets every pixel of the off-screen image once, as
// plotting does (setpixel), and against the same pass writing the pixels in
// place, as the filters do. They run in alternate rounds and the filter's
// time is reported over each pass's, so that a busy machine slows all alike.
//
// The pictures come from real renders of 64M steps (about four seconds each).
// A long session renders far more: the hit-count picture stands in for a
// 1G-step render by taking 16 times each count plus 0 to 15 more (counts grow
// in proportion to the steps, with scatter), which gives the spread of values
// and the hitmax equalization and the lookup tables meet there. Depths are
// maxima, not counts, and are used as rendered, with the default palette and
// with one whose neighbouring entries have nothing in common.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <memory>
#include <random>
#include <vector>

#include "base/program.h"
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "image/filters.h"
#include "platform/backend.h"
#include "platform/gdi.h"
#include "platform/window.h"
#include "shell/desktop.h"

namespace {

using namespace kt;

constexpr int side = 4000;
constexpr int renderbatches = 64000;
constexpr std::size_t pixels = static_cast<std::size_t>(side) * side;

struct Picture {
    std::vector<float> values;
    std::uint32_t hitmax = 0;
    std::uint32_t itercount = 0;
    int cmethod = 0;
};

Picture render(int cmethod)
{
    program().reset();
    const auto desktop = std::make_unique<Desktop>();
    EngineState& engine = desktop->engine;
    engine.res = side;
    engine.cmethod = cmethod;
    Surface scratch(side, side);
    engine.g_vhdc = &scratch;
    for (int k = 0; k < renderbatches; ++k)
        imagebatch(desktop->context, engine);
    Picture p{std::vector<float>(engine.hitcount.get(), engine.hitcount.get() + pixels), engine.hitmax,
              engine.itercount, cmethod};
    engine.g_vhdc = nullptr;
    program().reset();
    return p;
}

Picture longerrender(Picture p)
{
    std::mt19937 random(1);
    p.hitmax = 0;
    for (float& v : p.values) {
        if (v == 0)
            continue;
        v = v * 16 + static_cast<float>(random() % 16);
        p.hitmax = std::max(p.hitmax, static_cast<std::uint32_t>(v));
    }
    return p;
}

// The program's window and off-screen image, with a picture loaded into the
// engine; the filters show their pictures in the window as the desktop does.
class Stage {
public:
    Stage()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "KTBenchWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, "KTBenchWindow", "bench", 0, 0, 0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
        deliverclientsize(window_, 1024, 768);
        hits_ = longerrender(render(0));
        depths_ = render(1);
        desktop_.shell.g_hWnd = window_;
        desktop_.engine.g_vhdc = &image_;
        desktop_.engine.res = side;
    }

    void load(const Picture& p)
    {
        EngineState& engine = desktop_.engine;
        engine.hitcount = localarray<float>(pixels);
        std::copy(p.values.begin(), p.values.end(), engine.hitcount.get());
        engine.hcres = side;
        engine.hitmax = p.hitmax;
        engine.itercount = p.itercount;
        engine.cmethod = p.cmethod;
    }
    const Picture& hits() const { return hits_; }
    const Picture& depths() const { return depths_; }
    Desktop& desktop() { return desktop_; }

private:
    Desktop desktop_;
    HWND window_ = nullptr;
    Surface image_{side, side};
    Picture hits_;
    Picture depths_;
};

Stage& stage()
{
    static Stage s;
    return s;
}

void plainpass(const EngineState& s)
{
    const float* value = s.hitcount.get();
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i, ++value) {
            const auto count = static_cast<std::uint32_t>(*value);
            s.g_vhdc->setpixel(i, j, palettecolour(s.palette, count > 255 ? 255 : count));
        }
}

void rawpass(const EngineState& s)
{
    std::array<std::uint32_t, 256> entries;
    for (unsigned k = 0; k < entries.size(); ++k)
        entries[k] = Surface::toNative(palettecolour(s.palette, k));
    std::uint32_t* pixel = s.g_vhdc->bits();
    for (std::size_t k = 0; k < pixels; ++k) {
        const auto count = static_cast<std::uint32_t>(s.hitcount[k]);
        pixel[k] = entries[count > 255 ? 255 : count];
    }
}

int logsquared(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts)
{
    FilterState squared = settings;
    squared.logsquare = 1;
    return logadjust(ctx, s, squared, counts);
}

// A palette whose neighbouring entries have nothing in common, so that
// depths blend to a new colour at almost every step.
void noisypalette(EngineState& engine)
{
    std::mt19937 random(5);
    for (std::uint8_t& component : engine.palette)
        component = static_cast<std::uint8_t>(random() % 256);
}

struct Case {
    const char* name;
    int (*filter)(RenderContext&, EngineState&, const FilterState&, PaletteCounts&);
    bool depths;
    bool noisy = false;
};
const Case cases[] = {
    {"normalize/hits", normalize, false},
    {"normalize/depths", normalize, true},
    {"normalize/depths/noisy-palette", normalize, true, true},
    {"log", logadjust, false},
    {"log-squared", logsquared, false},
    {"equalize/hits", equalize, false},
    {"equalize/depths", equalize, true},
    {"equalize/depths/noisy-palette", equalize, true, true},
};

void BM_FilterOverPlainPass(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const Case& c = cases[state.range(0)];
    stage().load(c.depths ? stage().depths() : stage().hits());
    Desktop& d = stage().desktop();
    EngineState& engine = d.engine;
    const Palette palette = engine.palette;
    if (c.noisy)
        noisypalette(engine);
    state.SetLabel(c.name);
    Clock::duration plain{}, raw{}, filtered{};
    for (auto _ : state) {
        auto start = Clock::now();
        plainpass(engine);
        plain += Clock::now() - start;

        start = Clock::now();
        rawpass(engine);
        raw += Clock::now() - start;

        start = Clock::now();
        if (c.filter(d.context, engine, d.filters, d.hist256) != filterdone)
            state.SkipWithError("the filter refused the picture");
        filtered += Clock::now() - start;
    }
    const double rounds = static_cast<double>(state.iterations());
    state.counters["plain_ms"] = std::chrono::duration<double, std::milli>(plain).count() / rounds;
    state.counters["filter_ms"] = std::chrono::duration<double, std::milli>(filtered).count() / rounds;
    state.counters["raw_ms"] = std::chrono::duration<double, std::milli>(raw).count() / rounds;
    state.counters["ratio"] = std::chrono::duration<double>(filtered).count() /
        std::chrono::duration<double>(plain).count();
    state.counters["ratio_raw"] = std::chrono::duration<double>(filtered).count() /
        std::chrono::duration<double>(raw).count();
    state.counters["hitmax"] = engine.hitmax;
    engine.palette = palette;
}
BENCHMARK(BM_FilterOverPlainPass)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

BENCHMARK_MAIN();
