#pragma once
// A picture drawn from many orbits at once. The picture of an attractor is
// the density of its points, which any long orbit on it gives: N orbits in
// doubles, each started from its own point of the exact orbit and each
// dropping a first stretch before it plots, give an equally valid picture of
// the same steps many times sooner, on every lane of every core. A different
// N is a different picture; the same N is the same bytes for any number of
// threads.
#include <cstdint>
#include <functional>

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

// The orbits one share of a picture draws (--part K/N): orbits first,
// first + stride, ... (from 0) of all of them, each started and stepped as
// in the whole picture, so that the shares' hit counts add up to its counts.
struct OrbitShare {
    int first = 0;
    int stride = 1;
};

// How many of `orbits` the share draws.
int shareorbits(int orbits, OrbitShare share);
// The steps renderorbits counts as done once the share is drawn: the first
// batch and its orbits' plotted steps.
std::uint64_t sharesteps(int orbits, std::uint64_t batches, OrbitShare share);

// Leaves s as `batches` imagebatch calls on a new image would leave it, but
// with the plotted steps (all but the first batch's) shared among `orbits`
// orbits, orbit i taking one more than the others while i is below the
// remainder. A point that leaves the render range restarts, as in the exact
// orbit, from the restart point moved by 1e-12 times its orbit's index.
// Hit counts and the depth colouring are kept as the exact render keeps
// them; s's image is coloured from them at the end. Between rounds,
// going(steps done so far) is asked whether to go on. Shared out on the
// worker threads; the same bytes for any number of them. With a share, only
// its orbits plot.
OrbitsResult renderorbits(RenderContext& ctx, EngineState& s, int orbits, std::uint64_t batches,
                          const std::function<bool(std::uint64_t)>& going, OrbitShare share = {});

// What renderorbits does once the counts are in: s's image coloured from
// them, its highest count and its steps set. For the shares' counts added up,
// which make the picture one run draws.
void finishorbits(EngineState& s, std::uint64_t batches);

// How far the turned points of renderorbits' orbits reach across and down
// the view, or with `radius` from the origin in any turn, over every step
// they plot; false without the memory for the orbits, or once the context's
// owner wants the work stopped. With a share, of its orbits: the farthest of
// every share's reach is the whole picture's.
struct OrbitsReach {
    double across = 0;
    double down = 0;
};
bool orbitsreach(RenderContext& ctx, const EngineState& set, int orbits, std::uint64_t batches, bool radius,
                 OrbitsReach& reach, OrbitShare share = {});

} // namespace kt
