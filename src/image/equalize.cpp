#include <algorithm>
#include <cstddef>

#include "image/depthshades.h"
#include "image/filterpass.h"
#include "image/filters.h"
#include "base/memory.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// The three tables of one call, sized by hitmax, released when it returns.
struct EqualizationTables {
    LocalArray<std::uint32_t> histogram; // pixels per truncated value 0 to hitmax
    LocalArray<std::uint32_t> cdf;       // entry k: pixels holding 1 to k + 1
    LocalArray<std::uint32_t> hv;        // entry k: the index value k + 1 gets

    // Taken in this order, stopping at the first that cannot be had.
    bool allocate(std::uint32_t hitmax)
    {
        const std::size_t entries = hitmax;
        histogram = localarray<std::uint32_t>(entries + 1);
        if (histogram)
            cdf = localarray<std::uint32_t>(entries);
        if (cdf)
            hv = localarray<std::uint32_t>(entries);
        return hv != nullptr;
    }
};

// Under z-plane colouring a depth just below a whole number is stored as the
// float above it, one more than the hitmax plotting recorded; such a pixel
// counts as holding hitmax.
std::uint32_t truncatedvalue(float value, std::uint32_t hitmax)
{
    return std::min(static_cast<std::uint32_t>(value), hitmax);
}

void counthistogram(const EngineState& s, std::uint32_t* histogram)
{
    const std::uint32_t hitmax = s.hitmax;
    const std::size_t pixels = static_cast<std::size_t>(s.res) * s.res;
    for (std::size_t k = 0; k < pixels; ++k)
        ++histogram[truncatedvalue(s.hitcount[k], hitmax)];
}

// Each value's index grows with the share of hit pixels at or below it; the
// smallest value present gets 1.
void mapvalues(const EngineState& s, EqualizationTables& t, double totalpixels)
{
    const std::uint32_t* histogram = t.histogram.get();
    std::uint32_t* cdf = t.cdf.get();
    cdf[0] = histogram[1];
    std::uint32_t cdfmin = cdf[0];
    for (std::uint32_t k = 1; k < s.hitmax; ++k) {
        cdf[k] = cdf[k - 1] + histogram[k + 1];
        if (cdfmin == 0)
            cdfmin = cdf[k];
    }
    for (std::uint32_t k = 0; k < s.hitmax; ++k) {
        if (cdf[k] == 0)
            t.hv[k] = 0;
        else if (k > 0 && cdf[k] == cdf[k - 1])
            t.hv[k] = t.hv[k - 1]; // a value no pixel holds: same share, same index
        else
            t.hv[k] = static_cast<std::uint32_t>(truncated(static_cast<real>(cdf[k] - cdfmin) / totalpixels * 254)) + 1;
    }
}

// Only pixels holding a value of 1 or more are recoloured and counted: unhit
// ones, and under z-plane colouring depths below 1.
bool ranked(float v)
{
    return v >= 1;
}

void recolour(const EngineState& s, const std::uint32_t* hv, FilterPass& pass)
{
    const std::uint32_t hitmax = s.hitmax;
    pass.forpixels(ranked, [&](FilterPass::Row& row, int i, float v) {
        const unsigned cindex = hv[std::min(static_cast<std::uint32_t>(v), hitmax) - 1];
        row.set(i, pass.entry(cindex));
        pass.count(cindex);
    });
}

// Depths between two values blend toward the next value's index, wherever
// the ranking put it.
void recolourdepths(const EngineState& s, const std::uint32_t* hv, FilterPass& pass)
{
    const std::uint32_t hitmax = s.hitmax;
    const auto shadeof = [&pass, hv, hitmax](float v) {
        if (!(v >= 1))
            return Shade::undrawn();
        // Exact for a float: its whole part and its fraction at once.
        const WholePart raw = wholepart(v);
        const std::uint32_t index = std::min(static_cast<std::uint32_t>(raw.whole), hitmax);
        const unsigned cindex = hv[index - 1];
        if (index == hitmax)
            return Shade::drawn(cindex, pass.entry(cindex));
        return Shade::drawn(cindex, pass.interpolated(cindex, hv[index], raw.fraction));
    };
    // Depths below 1 are neither drawn nor counted.
    pass.shadeall(DepthShades(shadeof, hitmax, static_cast<std::size_t>(s.res) * s.res), false);
}

} // namespace

int equalize(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts)
{
    if (s.itercount < batchsteps)
        return filtertoofew;
    if (s.hitmax == 0)
        return filternothingtoscale;

    Presentation& shown = ctx.shown();
    shown.busy(Presentation::Work::lengthy);
    EqualizationTables tables;
    if (!tables.allocate(s.hitmax)) {
        shown.warn("Not enough memory to allocate equalization buffers.\n"
                   "Free up more system memory, or\n"
                   "   stop rendereing at\n"
                   "   fewer iterations.",
                   "Memory allocation problem");
        shown.idle();
        return filternomemory;
    }
    counthistogram(s, tables.histogram.get());
    // The share is counted over the hit pixels but one, so a single hit
    // pixel leaves nothing to share out.
    const double totalpixels = static_cast<double>(s.res) * s.res - tables.histogram[0] - 1;
    if (totalpixels <= 0) {
        shown.idle();
        return filternothingtoscale;
    }
    mapvalues(s, tables, totalpixels);

    FilterPass pass(ctx, s, settings, counts);
    if (s.cmethod == 0)
        recolour(s, tables.hv.get(), pass);
    else
        recolourdepths(s, tables.hv.get(), pass);
    return pass.finish();
}

} // namespace kt
