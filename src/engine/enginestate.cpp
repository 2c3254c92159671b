#include "engine/enginestate.h"

namespace kt {

void useoffscreen(EngineState& s, std::unique_ptr<Surface> image)
{
    s.offscreen = std::move(image);
    s.g_vhdc = s.offscreen.get();
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
    return n >= -maxdegree && n <= maxdegree && p >= -maxphasepower && p <= maxphasepower && n * p >= -maxphasepower &&
        n * p <= maxphasepower;
}

} // namespace kt
