#pragma once
// Loading the current palette.
#include "engine/palette.h"

namespace kt {

// Makes a built-in table the current palette.
struct EngineState;
void genpalette(EngineState& s, const Palette& buffer);

} // namespace kt
