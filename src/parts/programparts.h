#pragma once
// The desktop program's state under the names its window procedures, which
// are handed nothing but a window and a message, reach it by. The layers
// below take what they use as arguments and never include this; the batch
// renderer owns the state of each run.
#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "image/filters.h"
#include "image/palettes.h"

namespace kt {

extern EngineState& engine;
extern FileNames& filenames;
// The desktop's filter settings and palette-index counts.
extern FilterState& filters;
extern PaletteCounts& hist256;
// The palette read last, shown in the preview before it may become current.
extern Palette& paltemp;
extern SearchState& search;
extern ScreeningState& screening;

} // namespace kt
