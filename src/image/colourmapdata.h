#pragma once
// The perceptual colour maps' tables, generated from their published data
// (see scripts/colourmaps.py).
#include "engine/palette.h"

namespace kt {

extern const Palette infernomap;
extern const Palette magmamap;
extern const Palette viridismap;
extern const Palette cividismap;
extern const Palette twilightmap;
extern const Palette firemap;

} // namespace kt
