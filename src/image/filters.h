#pragma once
// The image filters: normalization, the logarithmic hit-count filter and
// histogram equalization. Each recolours the picture of the engine state it
// is given from the raw values in its hitcount, which it never changes, so
// filters can be run again or one after another on the same render. They
// touch nothing else, so pictures of separate states filter side by side.
#include <array>
#include <cstdint>

namespace kt {

struct FilterState {
    int nadjust = 5;       // 0 (partial) to 10 (complete)
    int logsquare = 0;     // 1: logadjust uses the squared logarithm
    int trackpos = 5;      // the adjustment slider's last position
    int histogramflag = 0; // 1: passes count their palette indices
    int okhistogram = 0;   // 1: the histogram window class exists
};

// Counts per palette index, filled by a filter pass when the settings'
// histogramflag is 1; the state's pixelmax then holds the largest of indices 2
// to 255.
using PaletteCounts = std::array<std::uint32_t, 256>;

// What the filters return. A refusal leaves the picture, what is shown and the
// palette-index counts as they were.
constexpr int filterdone = 0;
constexpr int filtertoofew = 1;      // less than one batch rendered
constexpr int filternothitcount = 2; // logadjust: z-plane colouring has no hit counts
// equalize: its tables could not be had (after its warning). Apart from the
// tone filters' codes (image/tonefilter.h), which follow on from these.
constexpr int filternomemory = 6;
// The picture has nothing to scale: no pixel hit at all (hitmax 0), for
// logadjust no pixel hit twice (ln 1 = 0), for equalize a single hit pixel
// (no spread to share out).
constexpr int filternothingtoscale = 3;

struct EngineState;
class RenderContext;

int normalize(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts);
int logadjust(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts);
int equalize(RenderContext& ctx, EngineState& s, const FilterState& settings, PaletteCounts& counts);

} // namespace kt
