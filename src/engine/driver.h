#pragma once
// One render batch: a new picture when one is due, then 1,000 steps.
namespace kt {

constexpr int rendercommand = 195;

// 0 after a completed batch; 1 when the hit-count buffer could not be
// allocated (reported, rendering switched off, no step taken).
int icondriver();

} // namespace kt
