#pragma once
// A rendered state's hit counts through the density tone, written as the
// options ask: 8-bit RGB PNG or TGA, or 16-bit / transparent PNG.
#include <string>

#include "app/render/renderoptions.h"
#include "engine/enginestate.h"

namespace kt {

// savedone, a save-error code, or savenomemory when the picture itself
// cannot be had. TGA files go through filenames.tgafile.
int writetoned(const EngineState& s, const RenderOptions& o, const std::string& path);

// The tone in 8 bits into `image`, of the frame's size; transparent options
// put the straight alpha in the pixels' top byte, which only an animation
// frame's writer reads. false when the picture cannot be had.
bool tonesurface(const EngineState& s, const RenderOptions& o, Surface& image);

} // namespace kt
