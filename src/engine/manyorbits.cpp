#include "engine/manyorbits.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "engine/orbitlanes.h"
#include "engine/plot.h"
#include "engine/recolour.h"
#include "engine/rotation.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// A round's points: about this many, whatever the number of orbits, so that
// a round's buffers stay small and a round is over in a few milliseconds.
constexpr std::int64_t roundpoints = std::int64_t{1} << 18;
constexpr int maxroundsteps = 256;
// Chunks of lanes are the unit of work of a round: about this many points.
constexpr std::int64_t chunkpoints = 16384;
// Pixels of hit counts plotted by one thread at a time: a quarter of a
// megabyte of counts, which stays in the processor's cache while it plots.
constexpr int minbandshift = 16;
constexpr int maxbands = 4096;

struct Plan {
    int total = 0;  // the picture's orbits
    int orbits = 0; // the share's
    OrbitShare share;
    int lanes = 0; // the share's orbits rounded up to whole vectors
    int roundsteps = 0;
    int chunklanes = 0;
    int chunks = 0;
    int bandshift = 0;
    int bands = 0;
};

Plan planfor(int orbits, int side, OrbitShare share = {})
{
    Plan p;
    p.total = orbits;
    p.orbits = shareorbits(orbits, share);
    p.share = share;
    p.lanes = (p.orbits + lanewidth - 1) / lanewidth * lanewidth;
    p.roundsteps = static_cast<int>(std::clamp<std::int64_t>(roundpoints / std::max(p.orbits, 1), 1, maxroundsteps));
    const std::int64_t wanted = (chunkpoints / p.roundsteps + lanewidth - 1) / lanewidth * lanewidth;
    p.chunklanes = static_cast<int>(std::clamp<std::int64_t>(wanted, lanewidth, p.lanes));
    p.chunks = (p.lanes + p.chunklanes - 1) / p.chunklanes;
    const std::uint64_t pixels = static_cast<std::uint64_t>(side) * side;
    p.bandshift = minbandshift;
    while ((pixels >> p.bandshift) >= static_cast<std::uint64_t>(maxbands))
        ++p.bandshift;
    p.bands = static_cast<int>(((pixels - 1) >> p.bandshift) + 1);
    return p;
}

LaneFormula laneformula(const EngineState& s)
{
    const ICON& set = s.icon[s.type];
    LaneFormula f;
    f.type = s.type;
    f.n = set.n;
    f.np = s.np;
    f.a = static_cast<double>(s.a);
    f.b = static_cast<double>(s.b);
    f.c = static_cast<double>(s.c);
    f.d = static_cast<double>(s.d);
    f.e = static_cast<double>(s.e);
    return f;
}

LaneView laneview(const EngineState& s)
{
    LaneView v;
    const VOXEL& angles = s.rot[s.type];
    v.turned = rotationactive(angles);
    if (v.turned) {
        // Turning is linear: the images of the three axes are its matrix.
        const RotationPlan plan = planrotation(angles, s.rotationorder);
        const VOXEL axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
        for (int j = 0; j < 3; ++j) {
            const VOXEL image = rotated(axes[j], plan);
            v.turn[0][j] = static_cast<double>(image.x);
            v.turn[1][j] = static_cast<double>(image.y);
            v.turn[2][j] = static_cast<double>(image.z);
        }
    }
    const real denom = s.denom[s.type];
    v.offset = s.icon[s.type].scale;
    v.factor = static_cast<double>(static_cast<real>(s.res) / denom);
    v.resolution = s.res;
    v.side = s.res;
    v.viewdepths = s.depthsums;
    return v;
}

// The orbits' points, started from the exact orbit of s (which this leaves
// after the last start).
struct OrbitPoints {
    std::vector<double> x, y, z;
};

// Chunk c's lanes of the orbits' points.
Lanes chunkof(const Plan& plan, OrbitPoints& points, int c)
{
    const int first = c * plan.chunklanes;
    const int count = std::min(plan.chunklanes, plan.lanes - first);
    return Lanes{points.x.data() + first,
                 points.y.data() + first,
                 points.z.data() + first,
                 count / lanewidth,
                 plan.share.first + std::int64_t{first} * plan.share.stride,
                 plan.share.stride};
}

// Sets s up for the orbits, past its unplotted first batch, with room for
// their points; false without the memory.
bool prepareorbits(EngineState& s, const Plan& plan, OrbitPoints& points, std::vector<VOXEL>& walk)
{
    try {
        walk.resize(std::max(batchsteps, orbitspacing(plan.total)));
        points.x.resize(plan.lanes);
        points.y.resize(plan.lanes);
        points.z.resize(plan.lanes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    setupimage(s);
    advanceorbit(s, walk.data(), batchsteps);
    return true;
}

// Starts the orbits on the exact orbit of s (which this leaves after the
// last start) and warms them up. The exact orbit is one chain that only one
// thread can walk: while it walks on, the other threads warm up the chunks
// whose starts it has passed, so that the walk is the only work not shared.
void startorbits(RenderContext& ctx, EngineState& s, const Plan& plan, OrbitPoints& points, std::vector<VOXEL>& walk,
                 const LaneFormula& f, const LaneView& v)
{
    const int spacing = orbitspacing(plan.total);
    std::atomic<int> ready{0}; // chunks whose lanes all have their starts
    std::atomic<int> next{0};
    ctx.workers.run([&](int index) {
        if (index == 0) {
            int lane = 0;
            const auto start = [&] {
                points.x[lane] = static_cast<double>(s.z.x);
                points.y[lane] = static_cast<double>(s.z.y);
                points.z[lane] = static_cast<double>(s.z.z);
                if (++lane % plan.chunklanes == 0) {
                    ready.store(lane / plan.chunklanes);
                    ready.notify_all();
                }
            };
            // Every share walks every orbit's start, so that its own start
            // where they do in the whole picture.
            for (int i = 0; i < plan.total; ++i) {
                advanceorbit(s, walk.data(), spacing);
                if (i % plan.share.stride == plan.share.first)
                    start();
            }
            // Lanes past the last orbit only fill the vector; they never plot.
            while (lane < plan.lanes)
                start();
            ready.store(plan.chunks);
            ready.notify_all();
        }
        for (int c = next++; c < plan.chunks; c = next++) {
            for (int now = ready.load(); now <= c; now = ready.load())
                ready.wait(now);
            steplanes(f, v, chunkof(plan, points, c), orbitwarmup, LaneSpots{nullptr, nullptr});
        }
    });
}

// One round's spots, chunk by chunk, and the same sorted by band (misses
// dropped) so that each band's plots touch only its own counts.
class Round {
public:
    // Sorted by band only when several threads plot on one set of counts:
    // one thread plots the chunks' points as they are, in the same order for
    // every pixel, and so does each thread on counts of its own.
    // Depths are kept for the depth colouring, which raises each pixel's
    // level, or for the depth sums, which add up beside the hit counts.
    Round(const Plan& plan, bool depths, bool sums, bool sorted)
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

    const Plan& plan_;
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
// skips the sorting by band, which costs more than the counting, while each
// copy stays in a processor's cache: past that (a side above 1000 or so)
// the sorted bands, each its own counts' share, are the faster.
constexpr std::uint64_t maxthreadcopy = std::uint64_t{4} << 20;
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
    loadorbit(s, s.icon[s.type]);
    const Plan plan = planfor(orbits, s.res, share);
    OrbitPoints points;
    std::vector<VOXEL> walk;
    if (!prepareorbits(s, plan, points, walk))
        return false;
    const LaneFormula f = laneformula(s);
    const LaneView v = laneview(s);
    startorbits(ctx, s, plan, points, walk, f, v);
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

bool orbitpoints(RenderContext& ctx, const EngineState& set, int orbits, std::size_t count,
                 std::vector<std::array<double, 3>>& into)
{
    EngineState s(set);
    loadorbit(s, s.icon[s.type]);
    const Plan plan = planfor(orbits, s.res);
    OrbitPoints points;
    try {
        into.clear();
        into.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::vector<VOXEL> walk;
    if (!prepareorbits(s, plan, points, walk))
        return false;
    const LaneFormula f = laneformula(s);
    const LaneView v = laneview(s);
    startorbits(ctx, s, plan, points, walk, f, v);
    // The orbits' first steps after their warm-up, step by step in the
    // orbits' order; each chunk takes a piece of steps in one job and keeps
    // its lanes' points, so that the threads are woken once a piece.
    const std::size_t steps = (count + plan.orbits - 1) / static_cast<std::size_t>(plan.orbits);
    constexpr std::size_t piece = 256;
    std::vector<std::array<double, 3>> kept;
    try {
        kept.resize(piece * static_cast<std::size_t>(plan.lanes));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t taken = 0; taken < steps; taken += piece) {
        const std::size_t now = std::min(piece, steps - taken);
        ctx.workers.shareout(plan.chunks, [&](int c) {
            const Lanes lanes = chunkof(plan, points, c);
            const std::size_t first = static_cast<std::size_t>(c) * static_cast<std::size_t>(plan.chunklanes);
            const std::size_t width = static_cast<std::size_t>(lanes.groups) * lanewidth;
            for (std::size_t r = 0; r < now; ++r) {
                steplanes(f, v, lanes, 1, LaneSpots{nullptr, nullptr});
                for (std::size_t l = 0; l < width; ++l)
                    kept[r * static_cast<std::size_t>(plan.lanes) + first + l] = {lanes.x[l], lanes.y[l], lanes.z[l]};
            }
        });
        for (std::size_t r = 0; r < now; ++r)
            for (int i = 0; i < plan.orbits && into.size() < count; ++i)
                into.push_back(kept[r * static_cast<std::size_t>(plan.lanes) + static_cast<std::size_t>(i)]);
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
    const Plan plan = planfor(orbits, s.res, share);
    OrbitPoints points;
    const bool threads = ctx.workers.threads() > 1 && !Workers::withinjob();
    ThreadCounts threadcounts;
    const bool counting = threads && s.cmethod == 0 && !s.depthsums &&
        threadcounts.allocate(ctx.workers.threads(), s.res);
    Round round(plan, s.cmethod != 0, s.depthsums, threads && !counting);
    std::vector<VOXEL> walk;
    if (!prepareorbits(s, plan, points, walk) || !round.allocate())
        return OrbitsResult::nomemory;
    const LaneFormula f = laneformula(s);
    const LaneView v = laneview(s);
    startorbits(ctx, s, plan, points, walk, f, v);

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
