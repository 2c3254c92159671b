#pragma once
// The density tone as a filter of a paused picture: it recolours the state's
// image from the hit counts, which it leaves as they are, so it can be
// applied again or after another filter.
#include "engine/enginestate.h"
#include "image/tonemap.h"

namespace kt {

class RenderContext;

// The tone's tables or picture could not be had; the image is unchanged.
constexpr int filtertonenomemory = 4;

// The picture was rendered without depth sums (s.depthsums was off).
constexpr int filternodepths = 5;

// filterdone, filtertoofew, filternothitcount (z-plane colouring),
// filternothingtoscale (no pixel hit) or filtertonenomemory. The settings'
// transparency is not for a window's picture: it is drawn opaque.
int densitytonefilter(RenderContext& ctx, EngineState& s, const ToneSettings& settings);
// The same tone drawn into `image` (res x res) instead, leaving the state's
// own image as the render drew it: a view of the tone while rendering.
int densitytoneinto(RenderContext& ctx, const EngineState& s, Surface& image, const ToneSettings& settings);

// The depth tone likewise, from the hit counts and depth sums; also
// filternodepths.
int depthtonefilter(RenderContext& ctx, EngineState& s, const ToneSettings& settings);

} // namespace kt
