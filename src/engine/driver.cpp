#include "engine/driver.h"

#include <cstring>

#include "engine/enginestate.h"
#include "engine/formulas.h"
#include "base/memory.h"
#include "base/surface.h"

namespace kt {

namespace {

bool providehitcountbuffer(EngineState& s)
{
    const std::size_t bytes = static_cast<std::size_t>(s.res) * s.res * sizeof(float);
    if (s.hcres == s.res && s.hitcount) {
        std::memset(s.hitcount.get(), 0, bytes);
        return true;
    }
    s.hitcount.reset();
    s.hcres = 0;
    s.hitcount = localarray<float>(static_cast<std::size_t>(s.res) * s.res);
    if (!s.hitcount)
        return false;
    s.hcres = s.res;
    s.saveres = s.res;
    return true;
}

// The depth sums, when asked for, of the hit counts' side; false without
// the memory for them.
bool providedepthsums(EngineState& s)
{
    s.depthsum.reset();
    if (!s.depthsums)
        return true;
    s.depthsum = localarray<float>(static_cast<std::size_t>(s.res) * s.res);
    if (!s.depthsum)
        return false;
    std::memset(s.depthsum.get(), 0, static_cast<std::size_t>(s.res) * s.res * sizeof(float));
    return true;
}

} // namespace

bool beginimage(EngineState& s)
{
    if (!providehitcountbuffer(s) || !providedepthsums(s))
        return false;
    if (s.g_vhdc)
        s.g_vhdc->fill(RECT{0, 0, s.res, s.res}, s.back);
    loadorbit(s, s.icon[s.type]);
    s.hitmax = 0;
    s.itercount = 0;
    return true;
}

int imagebatch(RenderContext& ctx, EngineState& s, FlatPlotting how)
{
    if (s.newimage && !beginimage(s))
        return 1;
    renderbatch(ctx, s, how);
    s.itercount = static_cast<std::uint32_t>((s.itercount + static_cast<std::uint64_t>(batchsteps)) % itercountperiod);
    s.newimage = 0;
    return 0;
}

} // namespace kt
