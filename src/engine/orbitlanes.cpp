#include "engine/orbitlanes.h"

#include "engine/lanetargets.h"

namespace kt {

const std::array<LaneTarget, 3>& lanetargets()
{
    static constexpr std::array<LaneTarget, 3> targets{{
        {"x86-64-v4", [] { return __builtin_cpu_supports("x86-64-v4") != 0; }, steplanesavx512},
        {"x86-64-v3", [] { return __builtin_cpu_supports("x86-64-v3") != 0; }, steplanesavx2},
        {"x86-64", [] { return true; }, steplanessse2},
    }};
    return targets;
}

// One binary for every x86-64: each call takes the widest vectors the
// processor has. Asked at every call, a few thousand steps apart: a bit
// read from the processor's description, which costs nothing beside them.
void steplanes(const LaneFormula& formula, const LaneView& view, const Lanes& lanes, int steps, const LaneSpots& spots)
{
    for (const LaneTarget& target : lanetargets())
        if (target.supported()) {
            target.step(formula, view, lanes, steps, spots);
            return;
        }
}

} // namespace kt
