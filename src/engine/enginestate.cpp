#include "engine/enginestate.h"

#include "platform/memory.h"

namespace kt {

EngineState engine;

void resetengine()
{
    if (engine.hitcount)
        LocalFree(engine.hitcount);
    engine = EngineState{};
}

bool degreesbounded(const ICON& icon)
{
    const long long n = icon.n;
    const long long p = icon.p;
    return n >= -maxdegree && n <= maxdegree && p >= -maxphasepower && p <= maxphasepower &&
           n * p >= -maxphasepower && n * p <= maxphasepower;
}

} // namespace kt
