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

void loadorbit(const ICON& set)
{
    engine.a = set.a;
    engine.b = set.b;
    engine.c = set.c;
    engine.d = set.d;
    engine.e = set.e;
    engine.z = VOXEL{set.xstart, set.ystart, set.zstart};
}

bool degreesbounded(const ICON& icon)
{
    const long long n = icon.n;
    const long long p = icon.p;
    return n >= -maxdegree && n <= maxdegree && p >= -maxphasepower && p <= maxphasepower &&
           n * p >= -maxphasepower && n * p <= maxphasepower;
}

} // namespace kt
