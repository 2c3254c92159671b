#include "parts/programparts.h"

#include "base/program.h"

namespace kt {

EngineState& engine = program().part<EngineState>();
FileNames& filenames = program().part<FileNames>();
FilterState& filters = program().part<FilterState>();
PaletteCounts& hist256 = program().part<PaletteCounts, struct Hist256>();
Palette& paltemp = program().part<Palette, struct PalTemp>();
SearchState& search = program().part<SearchState>();
ScreeningState& screening = program().part<ScreeningState>();

} // namespace kt
