#pragma once
// Fractint palette files (.map): one "red green blue" line per entry.
#include <string>

#include "image/palettes.h"

namespace kt {

// Reads the file at `path` into paltemp: 0, or 1 when the file cannot be
// opened or one of its first 256 lines does not begin with three integers
// (paltemp may then hold some of it). Entries after the last line read are
// (1, 1, 1). Never changes the current palette.
int OpenMapFile(const std::string& path, Palette& paltemp);

} // namespace kt
