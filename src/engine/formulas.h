#pragma once
// The two symmetric-icon maps and the batch of render steps built on them.
#include "engine/enginestate.h"

namespace kt {

int icon1(VOXEL* z, int n, int p, int i, int mode);
int icon2(VOXEL* z, int n, int p, int i, int mode);

inline constexpr FormulaStep fpointer[2] = {icon1, icon2};

// 1,000 render-mode steps of fpointer[type] from the orbit's current point,
// with n and p from icon[type]; the same points, hits and pixels as calling the
// step 1,000 times, without its per-call overhead.
void renderbatch();

} // namespace kt
