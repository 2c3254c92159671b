#pragma once
// The batch renderer's --turntable: the frames of the set in the engine
// turning about one axis, written as an animated WebP or a folder of PNGs.
#include <functional>
#include <ostream>
#include <string>

#include "app/render/commandline/renderoptions.h"
#include "engine/enginestate.h"

namespace kt {

class RenderContext;

struct TurntableHooks {
    // Applies --filter to a frame's picture.
    std::function<void(EngineState&)> recolour;
    // Reports a file and why it failed; returns the exit status it is given.
    std::function<int(int status, const std::string& file, const std::string& why)> fail;
    std::ostream& progressout;
    bool progress;
};

// Renders from s as the options have set it up (set, palette,
// colouring, background, angles, order); returns the exit status.
int writeturntable(RenderContext& ctx, EngineState& s, const RenderOptions& o, const TurntableHooks& hooks);

} // namespace kt
