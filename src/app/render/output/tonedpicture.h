#pragma once
// A drawn picture's tone written as the picture asks: 8-bit RGB PNG or TGA,
// or 16-bit / transparent PNG.
#include <string>

#include "engine/enginestate.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

// savedone, a save-error code, or savenomemory when the picture itself
// cannot be had.
int writetoned(RenderContext& ctx, const EngineState& s, const Picture& p, const std::string& path);

} // namespace kt
