#include "engine/picture.h"

#include <cmath>
#include <string_view>

namespace kt {

namespace {

bool within(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

std::string sizeproblem(const Picture& p)
{
    const bool square = p.width == p.height;
    const int low = square ? minsquareside : minside;
    if (p.width < low || p.width > maxside || p.height < low || p.height > maxside)
        return square ? "size takes a side from 200 to 16384" : "size takes each side from 16 to 16384";
    if (p.supersample < 1 || p.supersample > maxsupersample)
        return "supersample takes a whole number from 1 to 8";
    if (p.steps < 1 || p.steps > maxsteps)
        return "steps takes a whole number from 1 to 1000G";
    if (p.orbits < 1 || p.orbits > maxorbits)
        return "orbits takes a whole number from 1 to 1000000";
    return {};
}

std::string setproblem(const Picture& p)
{
    if (p.formula != 1 && p.formula != 2)
        return "formula takes 1 or 2";
    const ICON& set = p.set;
    for (double coefficient : {set.a, set.b, set.c, set.d, set.e, set.xstart, set.ystart, set.zstart})
        if (!std::isfinite(coefficient))
            return "the set's coefficients and start point must be finite numbers";
    if (!degreesbounded(set))
        return "n and p are too large for one formula step to stay bounded";
    if (!std::isfinite(set.scale) || set.scale <= 0)
        return "scale takes a positive finite number";
    for (real angle : {p.rotation.x, p.rotation.y, p.rotation.z})
        if (!(angle >= 0 && angle <= 360))
            return "rotation takes X,Y,Z, each an angle from 0 to 360 degrees";
    if (p.order < 0 || p.order > 5)
        return "order takes XYZ, XZY, YXZ, YZX, ZXY or ZYX";
    return {};
}

std::string lookproblem(const Picture& p)
{
    if (p.coloring != 0 && p.coloring != 1)
        return "coloring takes hit or z";
    if (p.palette.empty())
        return "palette takes a built-in palette's name or a .map file";
    bool knownfilter = false;
    for (std::string_view name : filternames)
        knownfilter = knownfilter || p.filter == name;
    if (!knownfilter)
        return "filter takes none, normalize, equalize, log or log-squared";
    if (p.nadjust < 0 || p.nadjust > 10)
        return "nadjust takes a whole number from 0 to 10";
    if (!within(p.margin, 0, 0.4))
        return "margin takes a fraction of the frame from 0 to 0.4";
    if (!within(p.brightness, 0.01, 100))
        return "brightness takes a number from 0.01 to 100";
    if (!within(p.gamma, 0.1, 10))
        return "tone gamma takes a number from 0.1 to 10";
    if (p.depth != 8 && p.depth != 16)
        return "depth takes 8 or 16";
    return {};
}

// The settings that only the tones have, as the command line rules them.
std::string toneproblem(const Picture& p)
{
    if (p.tone != Tone::hit)
        return p.coloring != 0 ? std::string("the ") + tonename(p.tone) + " tone colours by hit count, not by z"
            : p.filter != "none" ? std::string("the ") + tonename(p.tone) + " tone cannot take a filter"
                                 : std::string();
    if (p.supersample != 1 || p.depth != 8 || p.brightness != 1 || p.gamma != 1 || p.transparent)
        return "supersample, depth, brightness, tone gamma and a transparent background need a tone";
    if (p.width != p.height || p.width > maxhitside)
        return "frames that are not square, and sides above 4000, need a tone";
    return {};
}

} // namespace

Picture builtinpicture(int formula)
{
    Picture p;
    p.formula = formula == 2 ? 2 : 1;
    p.set = p.formula == 2 ? builtinicon2 : builtinicon1;
    return p;
}

const char* tonename(Tone tone)
{
    switch (tone) {
    case Tone::density:
        return "density";
    case Tone::depth:
        return "depth";
    default:
        return "hit";
    }
}

const char* ordername(int order)
{
    return order >= 0 && order < 6 ? ordernames[order] : "";
}

std::uint64_t sppsteps(double spp, int side)
{
    const double steps = std::ceil(spp * side * side);
    return static_cast<std::uint64_t>(std::clamp(steps, 1.0, static_cast<double>(maxsteps)));
}

std::string pictureproblem(const Picture& p)
{
    for (std::string problem : {setproblem(p), sizeproblem(p), lookproblem(p)})
        if (!problem.empty())
            return problem;
    return toneproblem(p);
}

void applypicture(const Picture& p, EngineState& s)
{
    s.type = p.formula - 1;
    s.icon[s.type] = p.set;
    s.rot[s.type] = p.rotation;
    s.rotationorder = p.order;
    s.cmethod = p.coloring;
    s.back = p.background;
    s.red = GetRValue(p.background);
    s.green = GetGValue(p.background);
    s.blue = GetBValue(p.background);
    s.depthsums = p.tone == Tone::depth;
    s.res = renderside(p);
    s.newimage = 1;
    s.okicon = 1;
}

} // namespace kt
