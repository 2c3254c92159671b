#include "app/render/shares/stillshares.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "app/render/shares/galleryshares.h"
#include "engine/framing.h"
#include "engine/picturedraw.h"
#include "files/atomicfile.h"
#include "files/sharecounts.h"

namespace kt {

namespace {

// "reach-2-of-3.txt": how far the orbits of share 2 of 3 reach.
std::string reachname(int part, int parts)
{
    return "reach-" + std::to_string(part) + "-of-" + std::to_string(parts) + ".txt";
}

// The settings, then the reach in hexadecimal, which comes back to the bit.
std::string reachtext(const std::string& settings, const OrbitsReach& reach)
{
    char line[96];
    std::snprintf(line, sizeof line, "reach %a %a\n", reach.across, reach.down);
    return settings + line;
}

std::optional<OrbitsReach> readreach(const std::string& file, const std::string& settings)
{
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.size() <= settings.size() || text.compare(0, settings.size(), settings) != 0)
        return std::nullopt;
    OrbitsReach reach;
    char end = 0;
    if (std::sscanf(text.c_str() + settings.size(), "reach %la %la%c", &reach.across, &reach.down, &end) != 3 ||
        end != '\n' || reachtext(settings, reach) != text)
        return std::nullopt;
    return reach;
}

} // namespace

double sharedfit(RenderContext& ctx, const Picture& p, const EngineState& set, const std::string& folder, int part,
                 int parts, const std::string& settings)
{
    OrbitsReach farthest;
    for (int k = 0; k < parts; ++k) {
        const int share = (part - 1 + k) % parts + 1;
        const std::string file = (std::filesystem::path(folder) / reachname(share, parts)).string();
        std::optional<OrbitsReach> reach = readreach(file, settings);
        if (!reach) {
            reach.emplace();
            if (!orbitsreach(ctx, set, p.orbits, picturebatches(p), false, *reach, stillshare(share, parts)))
                return set.icon[set.type].scale; // as one run without the memory
            // Only spares the others the steps: a share that cannot keep it
            // still has it.
            AtomicFile kept(ctx, file);
            const std::string text = reachtext(settings, *reach);
            if (kept.open() && kept.write(text.data(), text.size()))
                kept.commit();
        }
        farthest.across = std::max(farthest.across, reach->across);
        farthest.down = std::max(farthest.down, reach->down);
    }
    return reachscale(set, farthest, p.width, p.height, p.margin);
}

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
