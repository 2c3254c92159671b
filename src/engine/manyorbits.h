#pragma once
// A picture drawn from many orbits at once. The picture of an attractor is
// the density of its points, which any long orbit on it gives: N orbits in
// doubles, each started from its own point of the exact orbit and each
// dropping a first stretch before it plots, give an equally valid picture of
// the same steps many times sooner, on every lane of every core. A different
// N is a different picture; the same N is the same bytes for any number of
// threads.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/enginestate.h"

namespace kt {

class RenderContext;

constexpr int maxorbits = 1000000;

// The orbits start on the exact orbit after its unplotted first batch, this
// many exact steps apart: far enough for distinct starts, few enough that
// the exact steps stay a small share of the work.
int orbitspacing(int orbits);
// Steps each orbit takes before it plots: in doubles it leaves the exact
// orbit it started on within a few dozen steps, and after these it has
// nothing left in common with the orbit that started next to it.
constexpr int orbitwarmup = 1000;

enum class OrbitsResult { done, nomemory, stopped };

// Leaves s as `batches` imagebatch calls on a new image would leave it, but
// with the plotted steps (all but the first batch's) shared among `orbits`
// orbits, orbit i taking one more than the others while i is below the
// remainder. A point that leaves the render range restarts, as in the exact
// orbit, from the restart point moved by 1e-12 times its orbit's index.
// Hit counts and the depth colouring are kept as the exact render keeps
// them; s's image is coloured from them at the end. Between rounds,
// going(steps done so far) is asked whether to go on. Shared out on the
// worker threads; the same bytes for any number of them.
OrbitsResult renderorbits(RenderContext& ctx, EngineState& s, int orbits, std::uint64_t batches,
                          const std::function<bool(std::uint64_t)>& going);

// How far the turned points of renderorbits' orbits reach across and down
// the view, or with `radius` from the origin in any turn, over every step
// they plot; false without the memory for the orbits.
struct OrbitsReach {
    double across = 0;
    double down = 0;
};
bool orbitsreach(RenderContext& ctx, const EngineState& set, int orbits, std::uint64_t batches, bool radius,
                 OrbitsReach& reach);

// `count` points of `orbits` orbits of s's set, started and warmed up as
// renderorbits starts them, in the orbit's own coordinates (not turned): what
// a preview turns and plots again at every frame. False without the memory.
bool orbitpoints(RenderContext& ctx, const EngineState& set, int orbits, std::size_t count,
                 std::vector<std::array<double, 3>>& into);

} // namespace kt
