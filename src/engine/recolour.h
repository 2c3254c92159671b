#pragma once
// A picture's image made again from its counts: what a render leaves is
// decided by each pixel's final count (or, coloured by depth, its final
// level), so a new palette or background needs no new render.
#include "engine/enginestate.h"

namespace kt {

// Colours every counted pixel of s.g_vhdc from s.hitcount in s.palette, and
// sets s.hitmax to the highest count; pixels never hit are left as they are.
void colourfromcounts(EngineState& s);

// The whole image again: the background, then every counted pixel. Coloured
// by hit count it is the image a render in these colours would have drawn;
// coloured by depth the blend between two entries comes from the level as
// kept, in single precision.
void recolour(EngineState& s);

} // namespace kt
