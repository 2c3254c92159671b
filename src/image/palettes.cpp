#include "image/palettes.h"

#include "engine/enginestate.h"

namespace kt {

void genpalette(EngineState& s, const Palette& buffer)
{
    s.palette = buffer;
}

} // namespace kt
