#include "image/picturerender.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "engine/driver.h"
#include "engine/picturedraw.h"
#include "image/filters.h"
#include "image/mapfile.h"
#include "image/palettes.h"

namespace kt {

namespace {

std::string whynotfiltered(const Picture& p, const EngineState& s, int code)
{
    const bool equalizing = p.filter == "equalize";
    switch (code) {
    case filtertoofew:
        return "fewer than 1,000 iterations were rendered";
    case filternothingtoscale:
        if (s.hitmax == 0)
            return "no pixel was hit";
        return equalizing ? "only one pixel was hit" : "no pixel was hit twice";
    case filternomemory:
        return "not enough memory for its tables";
    case filternothitcount:
        return "the log filters need hit colouring (--coloring hit)";
    }
    return "it failed with code " + std::to_string(code);
}

} // namespace

PaletteChoice picturepalette(const std::string& name)
{
    if (const Palette* named = namedpalette(name))
        return {*named, {}};
    Palette read{};
    if (OpenMapFile(name, read) == 0)
        return {read, {}};
    std::FILE* probe = std::fopen(name.c_str(), "r");
    int err = probe ? 0 : errno;
    if (probe)
        std::fclose(probe);
    // A folder opens, but reading it fails as the parameter-file loader reports.
    std::error_code ignored;
    if (!err && std::filesystem::is_directory(name, ignored))
        err = EISDIR;
    return {std::nullopt, "Error opening MAP file" +
                              (err ? std::string(" (") + std::strerror(err) + ")"
                                   : std::string(" (a line does not begin with three numbers)"))};
}

std::string filterpicture(RenderContext& ctx, const Picture& p, EngineState& s)
{
    if (p.filter == "none")
        return {};
    FilterState settings;
    settings.nadjust = p.nadjust;
    settings.logsquare = p.filter == "log-squared" ? 1 : 0;
    PaletteCounts unused;
    int code;
    if (p.filter == "normalize")
        code = normalize(ctx, s, settings, unused);
    else if (p.filter == "equalize")
        code = equalize(ctx, s, settings, unused);
    else
        code = logadjust(ctx, s, settings, unused);
    return code == filterdone ? std::string() : whynotfiltered(p, s, code);
}

namespace {

// What renderpicture and joinpicture begin with; false, with the outcome
// set, when the hit tone's image cannot be had.
bool setuppicture(const Picture& p, const Palette& colours, RenderedPicture& into)
{
    EngineState& s = into.state;
    applypicture(p, s);
    genpalette(s, colours);
    into.unfiltered.clear();
    into.drawn = p;
    if (p.tone == Tone::hit) {
        if (!into.image || into.image->width() != s.res || into.image->height() != s.res)
            into.image = Surface::create(s.res, s.res);
        if (!into.image) {
            into.outcome = OrbitsResult::nomemory;
            return false;
        }
    }
    s.g_vhdc = p.tone == Tone::hit ? into.image.get() : nullptr;
    return true;
}

} // namespace

void renderpicture(RenderContext& ctx, const Picture& p, const Palette& colours, RenderedPicture& into,
                   const std::function<bool(std::uint64_t)>& going, OrbitShare share)
{
    if (!setuppicture(p, colours, into))
        return;
    EngineState& s = into.state;
    into.outcome = drawpicture(ctx, p, s, going, share);
    into.drawn.set.scale = s.icon[s.type].scale;
    // A share's counts are filtered once joined with the others'.
    if (into.outcome == OrbitsResult::done && share.stride == 1)
        into.unfiltered = filterpicture(ctx, p, s);
}

std::string joinpicture(RenderContext& ctx, const Picture& p, const Palette& colours, RenderedPicture& into,
                        const std::function<std::string(EngineState&)>& addcounts)
{
    if (!setuppicture(p, colours, into))
        return {};
    EngineState& s = into.state;
    if (!beginimage(s)) {
        into.outcome = OrbitsResult::nomemory;
        return {};
    }
    if (std::string why = addcounts(s); !why.empty())
        return why;
    finishorbits(s, picturebatches(p));
    into.outcome = OrbitsResult::done;
    into.drawn.set.scale = s.icon[s.type].scale;
    into.unfiltered = filterpicture(ctx, p, s);
    return {};
}

} // namespace kt
