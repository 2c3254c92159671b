#pragma once
// One render batch: a new picture when one is due, then 1,000 steps.
#include <cstdint>

namespace kt {

// itercount counts steps modulo this: it never holds 2^32 - 1.
constexpr std::uint64_t itercountperiod = 4294967295ull;

// What the user is told when a new picture's hit-count buffer cannot be had.
inline constexpr const char* hitcountmemorytext = "Not enough memory to allocate hit count buffer.\n"
                                                  "Free up more system memory, or\n"
                                                  "   set a smaller image resolution.";
inline constexpr const char* hitcountmemorycaption = "Memory allocation problem";

// How an unrotated batch plots: each point as the orbit makes it, or after
// the orbit made them all, fetching the memory they touch ahead (with workers,
// on a second thread while the orbit makes the next batch). Both give the same
// bytes; `automatic` takes the faster for the image's size and the threads.
enum class FlatPlotting { automatic, interleaved, apart };

struct EngineState;
class RenderContext;
// One batch of an engine state, drawing only into its off-screen image and
// showing nothing: 0, or 1, with nothing done, when a new image's hit-count
// buffer cannot be allocated. States of their own may be rendered on several
// threads at once.
int imagebatch(RenderContext& ctx, EngineState& s, FlatPlotting how = FlatPlotting::automatic);

// What a new image's first batch does before its steps: the hit counts
// cleared (false, with nothing done, when they cannot be had), the image
// filled with the background, the orbit back at the set's start point.
bool beginimage(EngineState& s);

} // namespace kt
