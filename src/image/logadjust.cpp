#include <cmath>

#include "image/filterpass.h"
#include "engine/rendercontext.h"
#include "image/filters.h"

namespace kt {

int logadjust(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts)
{
    if (s.itercount < batchsteps)
        return filtertoofew;
    if (s.cmethod != 0)
        return filternothitcount;
    // ln 1 = 0: without a pixel hit twice there is no scale.
    if (s.hitmax < 2)
        return filternothingtoscale;

    ctx.shown().busy(Presentation::Work::lengthy);
    FilterPass pass(ctx, s, settings, counts);
    // Kept in extended precision throughout: with hitmax 1000, 10 and 100
    // hits must land exactly on 85 and 170 (a third and two thirds of 255),
    // which a double logarithm factor misses by one.
    const real loghitmax = std::log(static_cast<real>(s.hitmax));
    const bool squared = settings.logsquare == 1;
    const real logfactor = squared ? 255 / (loghitmax * loghitmax) : 255 / loghitmax;
    const IndexTable index(
        [squared, logfactor](real v) {
            const real logval = std::log(v);
            return paletteindex(squared ? logval * logval * logfactor : logval * logfactor);
        },
        s.hitmax);

    // Unhit pixels are neither drawn nor counted.
    pass.forpixels([](float v) { return v != 0; },
                   [&](FilterPass::Row& row, int i, float v) {
                       const unsigned cindex = index(v);
                       if (cindex >= 1)
                           row.set(i, pass.entry(cindex));
                       pass.count(cindex);
                   });
    return pass.finish();
}

} // namespace kt
