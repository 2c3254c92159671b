#include "engine/spots.h"

#include <thread>
#include <utility>

#include "engine/plot.h"
#include "engine/workers.h"

namespace kt {

namespace {

// Far enough ahead for a cache miss to be served while the spots before it
// are plotted, near enough that the fetched lines are still there.
constexpr int fetchahead = 16;

[[gnu::always_inline]] inline void fetch(const EngineState& s, const std::uint32_t* pixels, const Spot& spot)
{
    if (spot.column < 0)
        return;
    const std::size_t pixel = static_cast<std::size_t>(spot.row) * s.res + spot.column;
    __builtin_prefetch(s.hitcount.get() + pixel, 1);
    if (pixels)
        __builtin_prefetch(pixels + pixel, 1);
}

// Plots spots [from, to) of b; spots before `known` may be fetched ahead.
template <bool Hits>
void plotrange(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels, int from, int to, int known)
{
    for (int i = from; i < to; ++i) {
        if (i + fetchahead < known)
            fetch(s, pixels, b.spot[i + fetchahead]);
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
        fetch(s, pixels, b.spot[i]);
    plotrange<Hits>(s, b, pixels, 0, batchsteps, batchsteps);
}

// Plots b's spots in order as the orbit makes them. Until the orbit is done it
// stays `fetchahead` spots behind it, so that every spot was fetched ahead.
template <bool Hits>
void plotfollowing(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels)
{
    int plotted = 0;
    while (plotted < batchsteps) {
        const int made = b.made.load(std::memory_order_acquire);
        const int until = made == batchsteps ? made : made - fetchahead;
        if (until <= plotted) {
            std::this_thread::yield();
            continue;
        }
        if (plotted == 0)
            for (int i = 0; i < fetchahead && i < made; ++i)
                fetch(s, pixels, b.spot[i]);
        plotrange<Hits>(s, b, pixels, plotted, until, made);
        plotted = until;
    }
}

} // namespace

void makeandplotspots(EngineState& s, SpotBatch& b, bool hits, bool parallel, const std::function<void()>& makespots)
{
    // The pixels are fetched ahead only where a plot would write them.
    const Surface* image = s.g_vhdc;
    const std::uint32_t* pixels =
        image && image->width() == s.res && image->height() == s.res ? std::as_const(*image).bits() : nullptr;
    const auto plot = [&](bool following) {
        if (hits)
            following ? plotfollowing<true>(s, b, pixels) : plotall<true>(s, b, pixels);
        else
            following ? plotfollowing<false>(s, b, pixels) : plotall<false>(s, b, pixels);
    };
    if (!parallel) {
        makespots();
        plot(false);
        return;
    }

    // The plotting belongs to whichever claims it first: the second thread
    // when it starts before the orbit ends, else this thread after the orbit.
    enum Claim { unclaimed, bysecond, bycaller };
    std::atomic<int> claim{unclaimed};
    std::atomic<bool> plotted{false};
    runonworkers([&](int index) {
        if (index == 1) {
            int expected = unclaimed;
            if (claim.compare_exchange_strong(expected, bysecond)) {
                plot(true);
                plotted.store(true, std::memory_order_release);
            }
            return;
        }
        if (index != 0)
            return;
        makespots();
        int expected = unclaimed;
        if (claim.compare_exchange_strong(expected, bycaller)) {
            plot(false);
            return;
        }
        while (!plotted.load(std::memory_order_acquire))
            std::this_thread::yield();
    });
}

} // namespace kt
