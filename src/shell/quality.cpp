#include "shell/quality.h"

#include <algorithm>

#include "engine/driver.h"
#include "engine/enginestate.h"

namespace kt {

std::uint64_t qualitytarget(int spp, int res)
{
    if (spp <= 0)
        return 0;
    // The count wraps after itercountperiod: the last whole batch before it.
    constexpr std::uint64_t highest = itercountperiod / batchsteps * batchsteps;
    const std::uint64_t steps = static_cast<std::uint64_t>(spp) * static_cast<std::uint64_t>(res) * res;
    return std::min(highest, (steps + batchsteps - 1) / batchsteps * batchsteps);
}

} // namespace kt
