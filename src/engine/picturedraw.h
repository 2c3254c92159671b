#pragma once
// Drawing a picture's steps into a state applypicture has set up, the one
// way every still, gallery entry and many-orbit frame is drawn.
#include <cstdint>
#include <functional>

#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

// The batches of 1,000 steps a picture's steps take, the last one whole.
inline std::uint64_t picturebatches(const Picture& p)
{
    return (p.steps + batchsteps - 1) / batchsteps;
}

// The scale the picture is drawn at: its set's own, or with `fit` the one
// that fills its frame.
double picturescale(RenderContext& ctx, const Picture& p, const EngineState& set);

// Draws p into s, from the scale picturescale gives, which s's set then
// holds. `going(steps done)` is asked between batches; false stops the
// picture, which is then not finished. A share of many orbits draws only its
// orbits, at the scale of the whole picture.
OrbitsResult drawpicture(RenderContext& ctx, const Picture& p, EngineState& s,
                         const std::function<bool(std::uint64_t)>& going, OrbitShare share = {});

} // namespace kt
