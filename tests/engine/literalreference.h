#pragma once
// A word-for-word evaluation of the icon formulas, kept as the yardstick the
// production steps must match bit for bit (and beat for speed).
#include "engine/enginestate.h"

namespace kt::literal {

int icon1(EngineState& s, VOXEL* z, int n, int p, int i, int mode);
int icon2(EngineState& s, VOXEL* z, int n, int p, int i, int mode);

using Step = int (*)(EngineState& s, VOXEL* z, int n, int p, int i, int mode);
inline constexpr Step fpointer[2] = {icon1, icon2};

// Renders `batches` batches of 1,000 steps into s.hitcount (which must hold
// res x res zeroes) and s.g_vhdc, starting a new image: the first
// batch is not plotted.
void render(EngineState& s, int batches);

// Continues the picture in progress by `batches` plotted batches.
void advance(EngineState& s, int batches);

} // namespace kt::literal
