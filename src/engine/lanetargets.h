#pragma once
// The lanes' step for each vector unit an x86-64 processor may have, widest
// first: steplanes takes the first the processor supports. Every target does
// the same arithmetic in the same order, so the bytes never depend on which.
#include <array>

#include "engine/orbitlanes.h"

namespace kt {

struct LaneTarget {
    const char* name;
    bool (*supported)();
    void (*step)(const LaneFormula&, const LaneView&, const Lanes&, int, const LaneSpots&);
};

void steplanesavx512(const LaneFormula&, const LaneView&, const Lanes&, int, const LaneSpots&);
void steplanesavx2(const LaneFormula&, const LaneView&, const Lanes&, int, const LaneSpots&);
void steplanessse2(const LaneFormula&, const LaneView&, const Lanes&, int, const LaneSpots&);

const std::array<LaneTarget, 3>& lanetargets();

} // namespace kt
