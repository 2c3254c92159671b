#include "engine/framing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/manyorbits.h"
#include "engine/orbitsource.h"
#include "engine/rendercontext.h"
#include "engine/rotation.h"

namespace kt {

namespace {

// Rounded up to four significant digits, and the double nearest that decimal:
// a scale people read in the .dv3 editor and the gallery's records, a little
// larger at most, so the margin stays whole.
double shortdecimal(double value)
{
    const int exponent = static_cast<int>(std::floor(std::log10(value))) - 3;
    const double digits = std::ceil(value / std::pow(10.0, exponent) - 1e-9);
    char text[32];
    std::snprintf(text, sizeof text, "%.0fe%d", digits, exponent);
    return std::strtod(text, nullptr);
}

// The orbit's largest reach across and down the frame, as `reach` measures a
// point, over every step the render plots: no later step can reach further.
// A point no farther from the origin than both reaches so far cannot pass
// them in any view, so only the few farther ones are measured (and turned).
// Its owner may stop it between batches: the reach is then the one so far,
// for a picture that is not to be drawn.
template <typename Reach>
void orbitreach(RenderContext& ctx, const EngineState& set, std::uint64_t steps, const Reach& reach, real* across,
                real* down)
{
    EngineState s(set);
    ExactOrbit orbit(s, OrbitStart::newimage);
    std::vector<VOXEL> points(batchsteps);
    *across = *down = 0;
    const std::uint64_t batches = std::max<std::uint64_t>((steps + batchsteps - 1) / batchsteps, 2);
    for (std::uint64_t done = 1; done < batches && !ctx.cancelled(); ++done) {
        orbit.next(points.data(), batchsteps);
        const real within = std::min(*across, *down);
        for (const VOXEL& point : points) {
            if (point.x * point.x + point.y * point.y + point.z * point.z <= within * within)
                continue;
            const auto [x, y] = reach(point);
            *across = std::max(*across, x);
            *down = std::max(*down, y);
        }
    }
}

// A point plots into column (x + scale) * side / (2 scale), truncated: two
// pixels of the frame's side are kept free beyond the margin, one so that the
// farthest point stays off the edge's own pixels, one for the supersampling
// filter's reach of one output pixel.
constexpr double edgepixels = 2;

double scalefor(real across, real down, const EngineState& set, int width, int height, double margin)
{
    const double side = std::max(width, height);
    const double needed = std::max(static_cast<double>(across) * side / width,
                                   static_cast<double>(down) * side / height);
    if (!(needed > 0) || !std::isfinite(needed))
        return set.icon[set.type].scale;
    return shortdecimal(needed / (1 - 2 * margin) * side / (side - 2 * edgepixels));
}

// Many orbits' picture is framed by their own reach, which the exact
// orbit's need not match.
double orbitsscale(RenderContext& ctx, const EngineState& set, std::uint64_t steps, int orbits, bool anyturn, int width,
                   int height, double margin)
{
    OrbitsReach reach;
    if (!orbitsreach(ctx, set, orbits, (steps + batchsteps - 1) / batchsteps, anyturn, reach))
        return set.icon[set.type].scale;
    return reachscale(set, reach, width, height, margin);
}

} // namespace

double reachscale(const EngineState& set, const OrbitsReach& reach, int width, int height, double margin)
{
    return scalefor(reach.across, reach.down, set, width, height, margin);
}

double fittedscale(RenderContext& ctx, const EngineState& set, std::uint64_t steps, int orbits, int width, int height,
                   double margin)
{
    if (orbits > 1)
        return orbitsscale(ctx, set, steps, orbits, false, width, height, margin);
    const RotationPlan plan = planrotation(set.rot[set.type], set.rotationorder);
    const bool turned = rotationactive(set.rot[set.type]);
    real across = 0, down = 0;
    orbitreach(
        ctx, set, steps,
        [&](const VOXEL& point) {
            const VOXEL shown = turned ? rotated(point, plan) : point;
            return std::pair<real, real>(fabsl(shown.x), fabsl(shown.y));
        },
        &across, &down);
    return scalefor(across, down, set, width, height, margin);
}

double fittedscaleanyturn(RenderContext& ctx, const EngineState& set, std::uint64_t steps, int orbits, int width,
                          int height, double margin)
{
    if (orbits > 1)
        return orbitsscale(ctx, set, steps, orbits, true, width, height, margin);
    real across = 0, down = 0;
    orbitreach(
        ctx, set, steps,
        [](const VOXEL& point) {
            const real radius = sqrtl(point.x * point.x + point.y * point.y + point.z * point.z);
            return std::pair<real, real>(radius, radius);
        },
        &across, &down);
    return scalefor(across, down, set, width, height, margin);
}

} // namespace kt
