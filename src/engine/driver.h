#pragma once
// One render batch: a new picture when one is due, then 1,000 steps.
#include <cstdint>

namespace kt {

// itercount counts steps modulo this: it never holds 2^32 - 1.
constexpr std::uint64_t itercountperiod = 4294967295ull;

// 0 after a completed batch; 1 when the hit-count buffer could not be
// allocated (reported, rendering switched off, no step taken).
int icondriver();

// How an unrotated batch plots: each point as the orbit makes it, or after
// the orbit made them all, fetching the memory they touch ahead (on a second
// thread when workers are free). Both give the same bytes; `automatic` takes
// the faster for the image's size and the threads.
enum class FlatPlotting { automatic, interleaved, apart };

struct EngineState;
// The batch of icondriver for any engine state, drawing only into its
// off-screen image and showing nothing: 1, with nothing done, when a new
// image's hit-count buffer cannot be allocated. States of their own may be
// rendered on several threads at once.
int imagebatch(EngineState& s, FlatPlotting how = FlatPlotting::automatic);

} // namespace kt
