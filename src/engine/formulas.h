#pragma once
// The two symmetric-icon maps and the batch of render steps built on them.
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/spots.h"

namespace kt {

class RenderContext;

// One screening step of each formula on s: moves *z and returns 1 when it
// left the screening range. The first step (i = 0) of a new image sets up s's
// per-image constants. Rendering steps many points at once (renderbatch).
int icon1(EngineState& s, VOXEL* z, int n, int p, int i);
int icon2(EngineState& s, VOXEL* z, int n, int p, int i);

inline constexpr FormulaStep fpointer[2] = {icon1, icon2};

// 1,000 render steps of formula type from the orbit's current point, with n
// and p from icon[type]: a point that leaves the render range restarts, and
// each is turned, projected and plotted (except in a new image's first batch).
void renderbatch(RenderContext& ctx, EngineState& s, FlatPlotting how = FlatPlotting::automatic);

// For work that turns one orbit many ways: sets up s's per-image constants as
// the first step of a new image does, and advances its orbit `count`
// render-mode steps, writing each new point (restarted when it left the
// range) to points[]; plots nothing.
void setupimage(EngineState& s);
void advanceorbit(EngineState& s, VOXEL* points, int count);
// Projects a point that was turned for the view and plots it into s, as a
// render step does; `depth` is the unturned point's depth coordinate.
void plotturned(EngineState& s, const VOXEL& turned, real depth);
// plotturned for a state that keeps depth sums (and colours by hit count):
// the hit, and the turned z into its pixel's depth sum.
void plotturneddepth(EngineState& s, const VOXEL& turned);
// Where plotturned would plot the point.
Spot spotofturned(const EngineState& s, const VOXEL& turned);

} // namespace kt
