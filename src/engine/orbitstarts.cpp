#include "engine/orbitstarts.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>

#include "engine/orbitsource.h"
#include "engine/rendercontext.h"
#include "engine/rotation.h"

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

} // namespace

OrbitPlan planorbits(int orbits, int side, OrbitShare share)
{
    OrbitPlan p;
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

Lanes chunkof(const OrbitPlan& plan, OrbitPoints& points, int c)
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

bool startorbits(RenderContext& ctx, EngineState& s, const OrbitPlan& plan, OrbitPoints& points, LaneFormula& f,
                 LaneView& v)
{
    const int spacing = orbitspacing(plan.total);
    std::vector<VOXEL> steps;
    try {
        steps.resize(spacing);
        points.x.resize(plan.lanes);
        points.y.resize(plan.lanes);
        points.z.resize(plan.lanes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ExactOrbit exact(s, OrbitStart::newimage);
    f = laneformula(s);
    v = laneview(s);
    // The exact orbit is one chain that only one thread can walk: while it
    // walks on, the other threads warm up the chunks whose starts it has
    // passed, so that the walk is the only work of the start not shared.
    std::atomic<int> ready{0}; // chunks whose lanes all have their starts
    std::atomic<int> next{0};
    ctx.workers.run([&](int index) {
        if (index == 0) {
            int lane = 0;
            const auto start = [&] {
                const VOXEL& at = steps.back();
                points.x[lane] = static_cast<double>(at.x);
                points.y[lane] = static_cast<double>(at.y);
                points.z[lane] = static_cast<double>(at.z);
                if (++lane % plan.chunklanes == 0) {
                    ready.store(lane / plan.chunklanes);
                    ready.notify_all();
                }
            };
            // Every share walks every orbit's start, so that its own start
            // where they do in the whole picture.
            for (int i = 0; i < plan.total; ++i) {
                exact.next(steps.data(), spacing);
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
    return true;
}

} // namespace kt
