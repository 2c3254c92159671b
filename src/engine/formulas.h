#pragma once
// The two symmetric-icon maps and the batch of render steps built on them.
#include "engine/driver.h"
#include "engine/enginestate.h"
#include "engine/spots.h"

namespace kt {

int icon1(VOXEL* z, int n, int p, int i, int mode);
int icon2(VOXEL* z, int n, int p, int i, int mode);

inline constexpr FormulaStep fpointer[2] = {icon1, icon2};

// The screening-mode step of formula s.type on a state of the caller's: as
// fpointer[s.type](z, n, p, i, 0) does on the program's own.
int teststep(EngineState& s, VOXEL* z, int n, int p, int i);

// 1,000 render-mode steps of fpointer[type] from the orbit's current point,
// with n and p from icon[type]; the same points, hits and pixels as calling the
// step 1,000 times, without its per-call overhead.
void renderbatch(EngineState& s, FlatPlotting how = FlatPlotting::automatic);

// For work that turns one orbit many ways: sets up s's per-image constants as
// the first step of a new image does, and advances its orbit `count`
// render-mode steps, writing each new point (restarted when it left the
// range) to points[]; plots nothing.
void setupimage(EngineState& s);
void advanceorbit(EngineState& s, VOXEL* points, int count);
// Projects a point that was turned for the view and plots it into s, as a
// render step does; `depth` is the unturned point's depth coordinate.
void plotturned(EngineState& s, const VOXEL& turned, real depth);
// Where plotturned would plot the point.
Spot spotofturned(const EngineState& s, const VOXEL& turned);

} // namespace kt
