#include "app/render/shares/stillshares.h"

#include <filesystem>
#include <optional>

#include "app/render/shares/galleryshares.h"
#include "files/sharecounts.h"

namespace kt {

std::string stillshareproblem(const Picture& p, int parts)
{
    if (p.orbits == 1)
        return "--part K/N on a still picture needs --orbits above 1: the exact single orbit is one chain of steps, "
               "which cannot be shared (or give --explore or --turntable)";
    if (parts > p.orbits)
        return "--part K/N on a still picture: N may be at most the number of --orbits";
    // Both keep, of a pixel's points, what depends on the order they came
    // in: the float sums of their depths, the first of the highest level.
    if (p.tone == Tone::depth)
        return "--part K/N on a still picture: not with --tone depth, whose depth sums depend on the order of the "
               "points, which shares cannot keep";
    if (p.coloring != 0)
        return "--part K/N on a still picture needs hit colouring: the depth colouring keeps the first point of a "
               "pixel's highest level, which shares cannot tell";
    return {};
}

std::string stillsettings(const Picture& p, const Palette& colours)
{
    return std::string("ktdravune3d-render ") + KT_VERSION + " still\n" + recordedpicture(p, colours);
}

std::string sharecountsname(int part, int parts)
{
    return "counts-" + std::to_string(part) + "-of-" + std::to_string(parts) + ".bin";
}

std::string addshares(const std::string& folder, int parts, const std::string& settings, EngineState& s)
{
    std::optional<double> scale;
    for (int part = 1; part <= parts; ++part) {
        const std::string name = sharecountsname(part, parts);
        const SharedCounts added =
            addsharecounts((std::filesystem::path(folder) / name).string(), settings, s.res, s.hitcount.get());
        if (!added.problem.empty())
            return name + " " + added.problem + "; share " + std::to_string(part) + "/" + std::to_string(parts) +
                " run again draws it anew";
        if (scale && *scale != added.scale)
            return name + " was drawn at another scale than " + sharecountsname(1, parts);
        scale = added.scale;
    }
    s.icon[s.type].scale = *scale;
    return {};
}

} // namespace kt
