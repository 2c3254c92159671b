#include "engine/picturedraw.h"

#include "engine/driver.h"
#include "engine/framing.h"

namespace kt {

double picturescale(RenderContext& ctx, const Picture& p, const EngineState& set)
{
    if (!p.fit)
        return set.icon[set.type].scale;
    return fittedscale(ctx, set, p.steps, p.orbits, p.width, p.height, p.margin);
}

OrbitsResult drawpicture(RenderContext& ctx, const Picture& p, EngineState& s,
                         const std::function<bool(std::uint64_t)>& going, OrbitShare share)
{
    s.icon[s.type].scale = picturescale(ctx, p, s);
    const std::uint64_t batches = picturebatches(p);
    if (p.orbits > 1)
        return renderorbits(ctx, s, p.orbits, batches, going, share);
    for (std::uint64_t done = 0; done < batches; ++done) {
        if (!going(done * batchsteps))
            return OrbitsResult::stopped;
        if (imagebatch(ctx, s) != 0)
            return OrbitsResult::nomemory;
    }
    going(batches * batchsteps);
    return OrbitsResult::done;
}

} // namespace kt
