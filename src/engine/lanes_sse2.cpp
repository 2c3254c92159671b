// The lanes' step for processors of level x86-64; its build compiles this file
// alone with that level's instructions.
#include "engine/lanekernel.h"
#include "engine/lanetargets.h"

namespace kt {

void steplanessse2(const LaneFormula& formula, const LaneView& view, const Lanes& lanes, int steps,
                   const LaneSpots& spots)
{
    steplaneskernel(formula, view, lanes, steps, spots);
}

} // namespace kt
