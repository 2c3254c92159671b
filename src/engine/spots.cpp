#include "engine/spots.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

#include "engine/plot.h"
#include "engine/workers.h"

namespace kt {

namespace {

// Waits for the other thread of the batch, which is at work: briefly awake,
// since giving up the processor on a busy machine can cost a whole time slice,
// then yielding, in case that thread waits for this one's processor.
class Waiting {
public:
    void once()
    {
        if (++spins_ < 2000)
            __builtin_ia32_pause();
        else
            std::this_thread::yield();
    }

private:
    int spins_ = 0;
};

// Far enough ahead for a cache miss to be served while the spots before it
// are plotted, near enough that the fetched lines are still there.
constexpr int fetchahead = 16;

// Plots spots [from, to) of b; spots before `known` may be fetched ahead.
template <bool Hits>
void plotrange(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels, int from, int to, int known)
{
    for (int i = from; i < to; ++i) {
        if (i + fetchahead < known)
            fetchspot(s, pixels, b.spot[i + fetchahead]);
        const Spot& spot = b.spot[i];
        if (spot.column < 0)
            continue;
        if constexpr (Hits)
            plothits(s, spot.column, spot.row);
        else
            plotpoint(s, spot.column, spot.row, b.depth[i]);
    }
}

template <bool Hits>
void plotall(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels)
{
    for (int i = 0; i < fetchahead; ++i)
        fetchspot(s, pixels, b.spot[i]);
    plotrange<Hits>(s, b, pixels, 0, batchsteps, batchsteps);
}

// Plots a batch's spots in order a stretch at a time, for whichever thread
// comes: the second thread while the orbit runs, and the orbit's thread too
// once its orbit is done, so that neither waits long on the other (on a busy
// machine either may lose its processor for a while).
class PlotCursor {
public:
    enum Progress { plotted, notready, finished };

    // Until the orbit is done the stretches stay `fetchahead` spots behind it,
    // so that every spot was fetched ahead.
    template <bool Hits>
    Progress plotnext(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels)
    {
        std::lock_guard<std::mutex> lock(m_);
        if (plotted_ == batchsteps)
            return finished;
        const int made = b.made.load(std::memory_order_acquire);
        const int ready = made == batchsteps ? made : made - fetchahead;
        if (ready <= plotted_)
            return notready;
        if (plotted_ == 0)
            for (int i = 0; i < fetchahead && i < made; ++i)
                fetchspot(s, pixels, b.spot[i]);
        const int until = std::min(ready, plotted_ + stretch);
        plotrange<Hits>(s, b, pixels, plotted_, until, made);
        plotted_ = until;
        return plotted;
    }

private:
    static constexpr int stretch = 128;
    std::mutex m_;
    int plotted_ = 0;
};

template <bool Hits>
void plotwhilemade(PlotCursor& cursor, EngineState& s, const SpotBatch& b, const std::uint32_t* pixels)
{
    Waiting waiting;
    for (;;) {
        const PlotCursor::Progress progress = cursor.plotnext<Hits>(s, b, pixels);
        if (progress == PlotCursor::finished)
            return;
        if (progress == PlotCursor::notready)
            waiting.once();
    }
}

} // namespace

const std::uint32_t* fetchablepixels(const EngineState& s)
{
    const Surface* image = s.g_vhdc;
    return image && image->width() == s.res && image->height() == s.res ? std::as_const(*image).bits() : nullptr;
}

void makeandplotspots(EngineState& s, SpotBatch& b, bool hits, bool parallel, const std::function<void()>& makespots)
{
    const std::uint32_t* pixels = fetchablepixels(s);
    if (!parallel) {
        makespots();
        hits ? plotall<true>(s, b, pixels) : plotall<false>(s, b, pixels);
        return;
    }
    PlotCursor cursor;
    const auto plot = [&] {
        hits ? plotwhilemade<true>(cursor, s, b, pixels) : plotwhilemade<false>(cursor, s, b, pixels);
    };
    runonworkers([&](int index) {
        if (index == 0) {
            makespots();
            plot();
        } else if (index == 1) {
            plot();
        }
    });
}

} // namespace kt
