#include <cstddef>
#include <cstdint>

#include "image/depthshades.h"
#include "image/filterpass.h"
#include "engine/rendercontext.h"
#include "image/filters.h"

namespace kt {

namespace {

// The scale that takes hitmax to index 255, steepened by the adjustment:
// each step below 10 moves it 1/12.8 of the way from that scale toward 1, so
// that with 0 (a scale of at least 0.78125) any picture saturates by 327 hits.
real normalizationfactor(const EngineState& s, int nadjust)
{
    const double percent = 255.0 / s.hitmax;
    if (s.cmethod == 1)
        return percent;
    const real increment = (1 - static_cast<real>(percent)) * static_cast<real>(0.078125);
    return percent + (10 - nadjust) * increment;
}

// Unhit pixels are never drawn, but counted at index 0.
bool hit(float v)
{
    return v != 0;
}

void normalizehitcounts(const EngineState& s, real nfactor, FilterPass& pass)
{
    const IndexTable index([nfactor](real v) { return paletteindex(nfactor * v); }, s.hitmax);
    const std::size_t unhit = pass.forpixels(hit, [&](FilterPass::Row& row, int i, float v) {
        const unsigned cindex = index(v);
        if (cindex >= 1)
            row.set(i, pass.entry(cindex));
        pass.count(cindex);
    });
    pass.count(0, static_cast<std::uint32_t>(unhit));
}

// Depth values are real: between two indices the colour is blended from the
// lower entry toward the next one.
void normalizedepths(const EngineState& s, real nfactor, FilterPass& pass)
{
    const auto approxfactor = static_cast<double>(nfactor);
    const auto shadeof = [&pass, nfactor, approxfactor](float v) {
        if (!(v > 0))
            return Shade::undrawn();
        const auto exactscaled = [nfactor, v] { return nfactor * v; };
        WholePart scaled = wholepart(approxfactor * v);
        if (scaled.closecall) {
            const real exact = exactscaled();
            scaled.whole = static_cast<int>(paletteindex(exact));
            scaled.fraction = wholepart(static_cast<double>(exact - scaled.whole)).fraction;
        }
        const unsigned cindex = scaled.whole >= 255 ? 255u : static_cast<unsigned>(scaled.whole);
        if (cindex == 255)
            return Shade::drawn(cindex, pass.entry(cindex));
        if (cindex == 0)
            return Shade::undrawn();
        const auto exactfx = [exactscaled, cindex] { return exactscaled() - cindex; };
        return Shade::drawn(cindex, pass.interpolated(cindex, cindex + 1, scaled.fraction, exactfx));
    };
    pass.shadeall(DepthShades(shadeof, s.hitmax, static_cast<std::size_t>(s.res) * s.res), true);
}

} // namespace

int normalize(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts)
{
    if (s.itercount < batchsteps)
        return filtertoofew;
    if (s.hitmax == 0)
        return filternothingtoscale;

    ctx.shown().busy(Presentation::Work::lengthy);
    FilterPass pass(ctx, s, settings, counts);
    const real nfactor = normalizationfactor(s, settings.nadjust);
    if (s.cmethod == 0)
        normalizehitcounts(s, nfactor, pass);
    else
        normalizedepths(s, nfactor, pass);
    return pass.finish();
}

} // namespace kt
