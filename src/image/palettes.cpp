#include "image/palettes.h"

#include "engine/enginestate.h"

namespace kt {

void genpalette(const Palette& buffer)
{
    engine.palette = buffer;
}

} // namespace kt
