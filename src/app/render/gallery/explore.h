#pragma once
// A gallery of screened random sets: the random search run again and again
// from one seed, in order on the calling thread, while the sets it found are
// rendered, filtered and written on every worker thread; the entries are kept
// in order.
#include <cstdint>
#include <ostream>
#include <string>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "app/render/commandline/renderoptions.h"
#include "engine/enginestate.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

struct ExploreRun {
    const RenderOptions& options;
    // Every entry's picture but its set, which the search finds.
    Picture look;
    Palette colours;
    std::uint32_t seed;
    std::ostream& err;
    bool progress;
    // The start point, formula, background and rotation of every entry; the
    // search finds each entry's coefficients into it.
    EngineState& engine;
    SearchState& search;
    // With the dimension limit of the screen the sets must pass.
    ScreeningState& screening;
};

// Returns an exit status: 0, 2 when the search gives up, 3 when the folder or
// a file cannot be written, 130 after Ctrl-C and 143 after SIGTERM (the
// entries written by then are complete, and the page lists them).
int explore(RenderContext& ctx, const ExploreRun& run);

} // namespace kt
