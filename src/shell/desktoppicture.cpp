#include "shell/desktoppicture.h"

#include <algorithm>

#include "shell/desktop.h"

namespace kt {

Picture desktoppicture(const Desktop& d)
{
    const EngineState& s = d.engine;
    Picture p = builtinpicture(s.type + 1);
    p.set = s.icon[s.type];
    p.rotation = s.rot[s.type];
    p.order = s.rotationorder;
    p.coloring = s.cmethod;
    p.palette = d.palettename;
    p.background = s.back;
    p.width = p.height = s.res;
    p.brightness = d.tone.brightness;
    p.gamma = d.tone.gamma;
    if (s.itercount > 0)
        p.steps = static_cast<std::uint64_t>(s.itercount) * batchsteps;
    return p;
}

Picture exportpicture(const Picture& shown, const ExportSettings& e)
{
    Picture p = shown;
    p.width = e.width;
    p.height = e.height;
    p.supersample = e.supersample;
    p.steps = sppsteps(e.spp, std::max(e.width, e.height));
    p.orbits = e.orbits;
    p.tone = e.tone;
    p.depth = e.depth;
    p.transparent = e.transparent;
    p.fit = e.fit;
    return p;
}

} // namespace kt
