#include "engine/manyorbits.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "engine/driver.h"
#include "engine/orbitlanes.h"
#include "engine/orbitstarts.h"
#include "engine/plot.h"
#include "engine/recolour.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// One round's spots, chunk by chunk, and the same sorted by band (misses
// dropped) so that each band's plots touch only its own counts.
class Round {
public:
    // Sorted by band only when several threads plot on one set of counts:
    // one thread plots the chunks' points as they are, in the same order for
    // every pixel, and so does each thread on counts of its own.
    // Depths are kept for the depth colouring, which raises each pixel's
    // level, or for the depth sums, which add up beside the hit counts.
    Round(const OrbitPlan& plan, bool depths, bool sums, bool sorted)
        : plan_(plan), depths_(depths || sums), sums_(sums), sorted_(sorted)
    {
    }

    bool allocate()
    {
        const std::size_t points = static_cast<std::size_t>(plan_.lanes) * plan_.roundsteps;
        try {
            // Plain hits counted by one thread keep no spots.
            if (sorted_ || depths_)
                pixels_.resize(points);
            if (depths_)
                depths_v_.resize(points);
            if (sorted_) {
                sortedpixels_.resize(points);
                if (depths_)
                    sorteddepths_.resize(points);
                start_.resize(static_cast<std::size_t>(plan_.chunks) * (plan_.bands + 1));
                // Had here, so that no worker allocates mid-round.
                next_.resize(static_cast<std::size_t>(plan_.chunks) * plan_.bands);
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    // Steps chunk c's lanes `steps` times; lanes from `lastplotting` on take
    // their steps but plot none of them. Several threads sort where the
    // points landed by band; one plots them at once, while they are still in
    // cache, taking the chunks in order, or counts plain hits as the lanes
    // land, since the order of adding ones never changes a count.
    void make(int c, const LaneFormula& f, const LaneView& v, OrbitPoints& points, int steps, int lastplotting,
              float* hits, float* sums)
    {
        const Lanes lanes = chunkof(plan_, points, c);
        const int first = c * plan_.chunklanes;
        const int count = lanes.groups * lanewidth;
        const std::size_t base = static_cast<std::size_t>(first) * plan_.roundsteps;
        const std::int64_t plotting = lastplotting - first;
        if (!sorted_ && !depths_) {
            steplanes(f, v, lanes, steps, LaneSpots{nullptr, nullptr, nullptr, hits, plotting});
            return;
        }
        std::int64_t* pixels = pixels_.data() + base;
        float* depths = depths_ ? depths_v_.data() + base : nullptr;
        steplanes(f, v, lanes, steps, LaneSpots{pixels, depths, nullptr, nullptr, plotting});
        const std::size_t made = static_cast<std::size_t>(count) * steps;
        if (!sorted_) {
            plotpoints(hits, sums, pixels, depths, 0, made);
            return;
        }
        std::uint32_t* start = start_.data() + static_cast<std::size_t>(c) * (plan_.bands + 1);
        std::fill(start, start + plan_.bands + 1, 0u);
        for (std::size_t i = 0; i < made; ++i)
            if (pixels[i] >= 0)
                ++start[(pixels[i] >> plan_.bandshift) + 1];
        for (int b = 0; b < plan_.bands; ++b)
            start[b + 1] += start[b];
        // Stable, so that every pixel sees its points in the chunk's order.
        std::uint32_t* next = next_.data() + static_cast<std::size_t>(c) * plan_.bands;
        std::copy(start, start + plan_.bands, next);
        std::int64_t* sorted = sortedpixels_.data() + base;
        float* sorteddepths = depths_ ? sorteddepths_.data() + base : nullptr;
        for (std::size_t i = 0; i < made; ++i) {
            if (pixels[i] < 0)
                continue;
            const std::uint32_t to = next[pixels[i] >> plan_.bandshift]++;
            sorted[to] = pixels[i];
            if (depths_)
                sorteddepths[to] = depths[i];
        }
    }

    // Plots band b's points of every chunk, chunk by chunk.
    void plot(int b, float* hits, float* sums) const
    {
        for (int c = 0; c < plan_.chunks; ++c) {
            const std::size_t base = static_cast<std::size_t>(c) * plan_.chunklanes * plan_.roundsteps;
            const std::uint32_t* start = start_.data() + static_cast<std::size_t>(c) * (plan_.bands + 1);
            plotpoints(hits, sums, sortedpixels_.data() + base, depths_ ? sorteddepths_.data() + base : nullptr,
                       start[b], start[b + 1]);
        }
    }

private:
    // Points [from, to) of a chunk's spots; misses are skipped.
    void plotpoints(float* hits, float* sums, const std::int64_t* pixels, const float* depths, std::size_t from,
                    std::size_t to) const
    {
        if (sums_) {
            for (std::size_t i = from; i < to; ++i)
                if (pixels[i] >= 0) {
                    counthit(hits[pixels[i]]);
                    adddepth(sums, static_cast<std::size_t>(pixels[i]), depths[i]);
                }
        } else if (depths) {
            DepthLevel unused;
            for (std::size_t i = from; i < to; ++i)
                if (pixels[i] >= 0)
                    raisedepth(hits[pixels[i]], depths[i], unused);
        } else {
            for (std::size_t i = from; i < to; ++i)
                if (pixels[i] >= 0)
                    counthit(hits[pixels[i]]);
        }
    }

    const OrbitPlan& plan_;
    bool depths_;
    bool sums_;
    std::vector<std::int64_t> pixels_, sortedpixels_;
    std::vector<float> depths_v_, sorteddepths_;
    bool sorted_;
    std::vector<std::uint32_t> start_; // per chunk: where each band's points begin
    std::vector<std::uint32_t> next_;  // per chunk: where each band's next point goes
};

// Plain hits counted by each thread on its own counts, added up at the end:
// adding ones gives the same count in any order, and a sum that stops at
// 2^24 is what a float count stops at, so the bytes are one thread's. This
// skips the sorting by band, which costs more than the counting now that
// each hit is fetched a step before it is counted, even for copies far
// larger than a cache; the sorted bands, each its own counts' share, are
// kept for the sides and thread counts whose copies would cost too much
// memory.
constexpr std::uint64_t maxthreadcopy = std::uint64_t{64} << 20;
constexpr std::uint64_t maxthreadcounts = std::uint64_t{64} << 20;
constexpr double highestcount = 16777216.0;

class ThreadCounts {
public:
    // False (and none kept) without the memory or past the limit.
    bool allocate(int threads, int side)
    {
        const std::size_t pixels = static_cast<std::size_t>(side) * side;
        const std::uint64_t copy = pixels * sizeof(float);
        if (copy > maxthreadcopy || static_cast<std::uint64_t>(threads - 1) * copy > maxthreadcounts)
            return false;
        try {
            counts_.assign(threads - 1, std::vector<float>(pixels, 0.0f));
        } catch (const std::bad_alloc&) {
            counts_.clear();
            return false;
        }
        return true;
    }

    // Thread 0 counts on the picture's own counts.
    float* of(int index, float* hits) { return index == 0 ? hits : counts_[index - 1].data(); }

    void addinto(RenderContext& ctx, float* hits, std::size_t pixels) const
    {
        constexpr std::size_t piece = std::size_t{1} << 16;
        ctx.workers.shareout(static_cast<int>((pixels + piece - 1) / piece), [&](int k) {
            const std::size_t from = static_cast<std::size_t>(k) * piece, to = std::min(pixels, from + piece);
            for (const std::vector<float>& counts : counts_)
                for (std::size_t i = from; i < to; ++i)
                    hits[i] = static_cast<float>(std::min(static_cast<double>(hits[i]) + counts[i], highestcount));
        });
    }

private:
    std::vector<std::vector<float>> counts_;
};

// Every step but the first batch's, shared among the orbits.
std::uint64_t plottedsteps(std::uint64_t batches)
{
    return batches > 1 ? (batches - 1) * batchsteps : 0;
}

// Of the share's orbits, those that take one step more than the others.
int longershare(int orbits, std::uint64_t batches, OrbitShare share)
{
    return shareorbits(static_cast<int>(plottedsteps(batches) % orbits), share);
}

} // namespace

void finishorbits(EngineState& s, std::uint64_t batches)
{
    s.itercount = static_cast<std::uint32_t>((batches * batchsteps) % itercountperiod);
    s.newimage = 0;
    colourfromcounts(s);
}

bool orbitsreach(RenderContext& ctx, const EngineState& set, int orbits, std::uint64_t batches, bool radius,
                 OrbitsReach& reach, OrbitShare share)
{
    EngineState s(set);
    const OrbitPlan plan = planorbits(orbits, s.res, share);
    OrbitPoints points;
    LaneFormula f;
    LaneView v;
    if (!startorbits(ctx, s, plan, points, f, v))
        return false;
    // Every orbit steps as far as the longest: one step more can only reach
    // further, never less far.
    const std::uint64_t steps = (plottedsteps(batches) + orbits - 1) / orbits;
    std::vector<LaneReach> reaches;
    for (int c = 0; c < plan.chunks; ++c)
        reaches.push_back(LaneReach{radius, 0, 0, plan.orbits - c * plan.chunklanes});
    // Pieces of some 16M steps of all the orbits: the owner can stop the work
    // between two within a tenth of a second.
    const std::uint64_t piece = std::max<std::uint64_t>(1 << 12, (std::uint64_t{1} << 24) / orbits);
    for (std::uint64_t taken = 0; taken < steps; taken += piece) {
        if (ctx.cancelled())
            return false;
        ctx.workers.shareout(plan.chunks, [&](int c) {
            steplanes(f, v, chunkof(plan, points, c), static_cast<int>(std::min(piece, steps - taken)),
                      LaneSpots{nullptr, nullptr, &reaches[c]});
        });
    }
    reach = {};
    for (const LaneReach& r : reaches) {
        reach.across = std::max(reach.across, r.across);
        reach.down = std::max(reach.down, r.down);
    }
    return true;
}

int shareorbits(int orbits, OrbitShare share)
{
    return orbits > share.first ? (orbits - share.first + share.stride - 1) / share.stride : 0;
}

std::uint64_t sharesteps(int orbits, std::uint64_t batches, OrbitShare share)
{
    return batchsteps + plottedsteps(batches) / orbits * shareorbits(orbits, share) +
        longershare(orbits, batches, share);
}

int orbitspacing(int orbits)
{
    return static_cast<int>(std::clamp<std::int64_t>((std::int64_t{1} << 18) / orbits, 8, 1000));
}

OrbitsResult renderorbits(RenderContext& ctx, EngineState& s, int orbits, std::uint64_t batches,
                          const std::function<bool(std::uint64_t)>& going, OrbitShare share)
{
    if (!beginimage(s))
        return OrbitsResult::nomemory;
    const OrbitPlan plan = planorbits(orbits, s.res, share);
    OrbitPoints points;
    const bool threads = ctx.workers.threads() > 1 && !Workers::withinjob();
    ThreadCounts threadcounts;
    const bool counting = threads && s.cmethod == 0 && !s.depthsums &&
        threadcounts.allocate(ctx.workers.threads(), s.res);
    Round round(plan, s.cmethod != 0, s.depthsums, threads && !counting);
    LaneFormula f;
    LaneView v;
    if (!round.allocate() || !startorbits(ctx, s, plan, points, f, v))
        return OrbitsResult::nomemory;

    const std::uint64_t each = plottedsteps(batches) / orbits;
    const int longer = longershare(orbits, batches, share);
    std::uint64_t done = batchsteps;
    float* hits = s.hitcount.get();
    float* sums = s.depthsum.get();
    const auto roundof = [&](int steps, int lastplotting) {
        if (counting) {
            std::atomic<int> next = 0;
            ctx.workers.run([&](int index) {
                for (int c = next++; c < plan.chunks; c = next++)
                    round.make(c, f, v, points, steps, lastplotting, threadcounts.of(index, hits), sums);
            });
        } else {
            ctx.workers.shareout(plan.chunks,
                                 [&](int c) { round.make(c, f, v, points, steps, lastplotting, hits, sums); });
        }
        if (threads && !counting)
            ctx.workers.shareout(plan.bands, [&](int b) { round.plot(b, hits, sums); });
        done += static_cast<std::uint64_t>(std::min(lastplotting, plan.orbits)) * steps;
    };
    bool stopped = false;
    for (std::uint64_t taken = 0; taken < each && !stopped; taken += plan.roundsteps) {
        roundof(static_cast<int>(std::min<std::uint64_t>(plan.roundsteps, each - taken)), plan.orbits);
        stopped = !going(done);
    }
    if (longer && !stopped) {
        roundof(1, longer);
        stopped = !going(done);
    }
    if (counting)
        threadcounts.addinto(ctx, hits, static_cast<std::size_t>(s.res) * s.res);
    if (stopped)
        return OrbitsResult::stopped;
    finishorbits(s, batches);
    return OrbitsResult::done;
}

} // namespace kt
