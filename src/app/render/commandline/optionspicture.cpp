#include "app/render/commandline/optionspicture.h"

namespace kt {

Picture optionslook(const RenderOptions& o)
{
    Picture p = builtinpicture(o.formula);
    p.order = o.rotationorder;
    p.coloring = o.cmethod;
    p.palette = o.palette;
    if (o.background)
        p.background = RGB((*o.background)[0], (*o.background)[1], (*o.background)[2]);
    p.transparent = o.transparent;
    p.width = framewidth(o);
    p.height = frameheight(o);
    p.supersample = o.supersample;
    p.steps = o.iterations;
    p.orbits = o.orbits;
    p.fit = o.fit;
    p.margin = o.margin;
    p.tone = o.depthtone ? Tone::depth : (o.density ? Tone::density : Tone::hit);
    p.brightness = o.brightness;
    p.gamma = o.gamma;
    p.depth = o.depth;
    p.filter = o.filter;
    p.nadjust = o.nadjust;
    return p;
}

Picture optionspicture(const RenderOptions& o, const EngineState& s)
{
    Picture p = optionslook(o);
    p.formula = s.type + 1;
    p.set = s.icon[s.type];
    p.rotation = s.rot[s.type];
    p.background = s.back;
    return p;
}

} // namespace kt
