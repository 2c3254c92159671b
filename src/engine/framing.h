#pragma once
// Choosing the scale from the orbit itself, so that the icon fills its frame.
#include <cstdint>

#include "engine/enginestate.h"

namespace kt {

class RenderContext;

// The scale at which the turned orbit of `set`'s current parameter set, over
// the `steps` a render of them plots, fills a width x height frame (centred in
// the square of its larger side, at the origin as always) leaving `margin` of
// the frame free on each side and no drawn pixel on its edge; the set's own
// scale when the orbit gives none.
// With more than one orbit, from the reach of those orbits, as
// renderorbits draws them. When ctx's owner wants the work stopped, the
// scale is only that of the steps run so far: the picture is not to be drawn.
double fittedscale(RenderContext& ctx, const EngineState& set, std::uint64_t steps, int orbits, int width, int height,
                   double margin);

// The scale that fits many orbits' `reach` (orbitsreach's, not across any
// turn) into the frame, as fittedscale does.
struct OrbitsReach;
double reachscale(const EngineState& set, const OrbitsReach& reach, int width, int height, double margin);

// The same for every turn of the icon at once, as a turntable shows it: from
// the orbit's distance to the origin in three dimensions.
double fittedscaleanyturn(RenderContext& ctx, const EngineState& set, std::uint64_t steps, int orbits, int width,
                          int height, double margin);

} // namespace kt
