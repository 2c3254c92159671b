#include "engine/plot.h"

namespace kt {

void plot(int xplot, int yplot)
{
    plotpoint(engine, xplot, yplot, engine.z.z);
}

} // namespace kt
