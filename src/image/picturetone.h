#pragma once
// A drawn picture's hit counts through its tone, at the frame's size.
#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/picture.h"
#include "image/tonemap.h"

namespace kt {

class RenderContext;

// 16 bits a sample, with the straight alpha; empty when it cannot be had.
DeepImage tonepicture(RenderContext& ctx, const EngineState& s, const Picture& p);

// Eight bits a sample: the alpha in the pixels' top byte, which only an
// animation frame's writer reads.
void copytoned(const DeepImage& toned, Surface& image);

// The tone in 8 bits into `image`, of the frame's size; false when the
// picture cannot be had.
bool tonesurface(RenderContext& ctx, const EngineState& s, const Picture& p, Surface& image);

} // namespace kt
