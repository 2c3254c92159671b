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
    loadorbit(engine, set);
}

void loadorbit(EngineState& s, const ICON& set)
{
    s.a = set.a;
    s.b = set.b;
    s.c = set.c;
    s.d = set.d;
    s.e = set.e;
    s.z = VOXEL{set.xstart, set.ystart, set.zstart};
}

bool degreesbounded(const ICON& icon)
{
    const long long n = icon.n;
    const long long p = icon.p;
    return n >= -maxdegree && n <= maxdegree && p >= -maxphasepower && p <= maxphasepower &&
           n * p >= -maxphasepower && n * p <= maxphasepower;
}

} // namespace kt
