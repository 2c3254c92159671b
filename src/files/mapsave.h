#pragma once
// Writing a palette as a Fractint map (.map), which the palette loader, this
// program's desktop and other fractal programs read back.
#include <string>

#include "engine/palette.h"

namespace kt {

class RenderContext;

// One "red green blue" line per entry, all 256. savedone, saveopenfailed or
// savewritefailed (AtomicFile::lasterror says why); a failed save leaves any
// file of that name as it was.
int savemapfile(const RenderContext& ctx, const Palette& palette, const std::string& path);

} // namespace kt
