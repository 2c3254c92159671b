#include "engine/turntable.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "engine/orbitsource.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// Each frame plots a whole block before the next frame's turn, so the more
// points a block holds, the fewer times a frame's hit counts and picture are
// fetched back into the caches (plotting took about twice as long with
// blocks of 16 k points).
constexpr int blockpoints = 262144;
// Points a worker takes at a time when the shared halves are worked out.
constexpr int sharedchunk = 512;

real& angleabout(VOXEL& angles, Axis axis)
{
    return axis == X ? angles.x : (axis == Y ? angles.y : angles.z);
}

// What every frame shares of one point's turn.
struct SharedTurn {
    VOXEL beforespin; // turned about the axes that come before the spin axis
    PolarPair spin;   // the spin pair of that point in polar form
    real depth;       // the unturned point's depth, for z-plane colouring
};

int spinposition(const RotationPlan& plan, Axis spin)
{
    int position = 0;
    while (plan.order[position] != spin)
        ++position;
    return position;
}

void turnbeforespin(const VOXEL* points, SharedTurn* shared, int count, const RotationPlan& plan, int spinat)
{
    const Axis spin = plan.order[spinat];
    for (int i = 0; i < count; ++i) {
        VOXEL point = points[i];
        for (int k = 0; k < spinat; ++k) {
            const Axis axis = plan.order[k];
            if (plan.turns[axis]) {
                const AxisPair pair = axispair(axis, point);
                rotate(pair.pos1, pair.pos2, plan.radians[axis]);
            }
        }
        const AxisPair pair = axispair(spin, point);
        shared[i] = SharedTurn{point, polarpair(*pair.pos1, *pair.pos2), points[i].z};
    }
}

// The rest of each point's turn, as `rotated` would finish it, and its plot.
template <bool Sums>
void plotframeturns(EngineState& frame, const RotationPlan& plan, int spinat, const SharedTurn* shared, int count)
{
    const Axis spin = plan.order[spinat];
    for (int i = 0; i < count; ++i) {
        VOXEL point = shared[i].beforespin;
        // An angle of exactly 0 skips its axis, leaving the pair as it is.
        if (plan.turns[spin]) {
            const AxisPair pair = axispair(spin, point);
            turnpolarpair(shared[i].spin, plan.radians[spin], pair.pos1, pair.pos2);
        }
        for (int k = spinat + 1; k < 3; ++k) {
            const Axis axis = plan.order[k];
            if (plan.turns[axis]) {
                const AxisPair pair = axispair(axis, point);
                rotate(pair.pos1, pair.pos2, plan.radians[axis]);
            }
        }
        if constexpr (Sums)
            plotturneddepth(frame, point);
        else
            plotturned(frame, point, shared[i].depth);
    }
}

// Each frame keeps its own depth sums: those of its own turn.
void plotframe(EngineState& frame, const RotationPlan& plan, int spinat, const SharedTurn* shared, int count)
{
    if (frame.depthsum && frame.cmethod == 0)
        plotframeturns<true>(frame, plan, spinat, shared, count);
    else
        plotframeturns<false>(frame, plan, spinat, shared, count);
}

} // namespace

VOXEL turntableangles(const VOXEL& angles, Axis spin, int frame, int frames)
{
    VOXEL turned = angles;
    real& angle = angleabout(turned, spin);
    real degrees = fmodl(angle + static_cast<real>(360) * frame / frames, 360);
    if (degrees < 0)
        degrees += 360;
    // A remainder just below 0 rounds up to 360 above.
    if (degrees >= 360)
        degrees -= 360;
    angle = degrees;
    return turned;
}

TurntableFrame::TurntableFrame(const EngineState& setup, Axis spin, int frame, int frames)
    : state(setup), image(Surface::create(setup.res, setup.res))
{
    state.rot[state.type] = turntableangles(setup.rot[setup.type], spin, frame, frames);
    state.g_vhdc = image.get();
    state.newimage = 1;
}

bool renderturntable(RenderContext& ctx, TurntableFrames& frames, Axis spin, std::uint64_t batches,
                     const std::function<void(std::uint64_t)>& progress)
{
    if (frames.empty() || batches == 0)
        return true;
    // The first batch of a new image plots nothing: each frame takes it as a
    // single render does, which also sets up its buffer and picture.
    for (auto& frame : frames)
        if (imagebatch(ctx, frame->state) != 0)
            return false;
    progress(batchsteps);

    EngineState orbit = frames.front()->state;
    std::vector<RotationPlan> plans;
    for (const auto& frame : frames)
        plans.push_back(planrotation(frame->state.rot[frame->state.type], frame->state.rotationorder));
    const int spinat = spinposition(plans.front(), spin);

    ExactOrbit source(orbit);
    std::vector<VOXEL> points(blockpoints);
    std::vector<SharedTurn> shared(blockpoints);
    const std::uint64_t steps = batches * batchsteps;
    for (std::uint64_t done = batchsteps; done < steps;) {
        const int count = static_cast<int>(std::min<std::uint64_t>(blockpoints, steps - done));
        source.next(points.data(), count);
        ctx.workers.shareout((count + sharedchunk - 1) / sharedchunk, [&](int chunk) {
            const int first = chunk * sharedchunk;
            turnbeforespin(&points[first], &shared[first], std::min(sharedchunk, count - first), plans.front(), spinat);
        });
        ctx.workers.shareout(static_cast<int>(frames.size()),
                             [&](int k) { plotframe(frames[k]->state, plans[k], spinat, shared.data(), count); });
        done += count;
        progress(done);
    }

    const auto itercount = static_cast<std::uint32_t>(steps % itercountperiod);
    for (auto& frame : frames) {
        frame->state.itercount = itercount;
        frame->state.z = orbit.z;
    }
    return true;
}

} // namespace kt
