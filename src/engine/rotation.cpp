#include "engine/rotation.h"

#include <cmath>

namespace kt {

namespace {
// Double constants, widened where they are used: the rotation is defined on
// exactly these values.
constexpr double pi = 3.14159265358979323846;
constexpr double halfpi = 1.57079632679489661923;
constexpr double threehalfpi = 4.71238898038468985769;
constexpr double twopi = 6.28318530717958647692;
constexpr double onedegree = 1.0 / 180.0;
constexpr double snapdistance = 1e-6;

real toradians(real degrees)
{
    return (static_cast<real>(pi) * degrees) * static_cast<real>(onedegree);
}

enum Axis { X, Y, Z };

void rotateabout(Axis axis, VOXEL& p, const VOXEL& angles, const EngineState& s)
{
    switch (axis) {
    case X:
        if (angles.x != 0)
            rotate(&p.y, &p.z, s.xradians_user);
        break;
    case Y:
        if (angles.y != 0)
            rotate(&p.x, &p.z, s.yradians_user);
        break;
    case Z:
        if (angles.z != 0)
            rotate(&p.x, &p.y, s.zradians_user);
        break;
    }
}

constexpr Axis orders[6][3] = {
    {X, Y, Z}, {X, Z, Y}, {Y, X, Z}, {Y, Z, X}, {Z, X, Y}, {Z, Y, X},
};
} // namespace

int rotatexyz(VOXEL xyz, VOXEL* xyzrotate)
{
    EngineState& s = engine;
    *xyzrotate = xyz;
    const VOXEL& angles = s.rot[s.type];
    s.xradians_user = toradians(angles.x);
    s.yradians_user = toradians(angles.y);
    s.zradians_user = toradians(angles.z);
    const int order = (s.rotationorder >= 0 && s.rotationorder <= 4) ? s.rotationorder : 5;
    for (Axis axis : orders[order])
        rotateabout(axis, *xyzrotate, angles, s);
    return 0;
}

int rotate(real* pos1, real* pos2, real radians_user)
{
    const real p1 = *pos1;
    const real p2 = *pos2;
    const real modulus = sqrtl(p1 * p1 + p2 * p2);
    real radians_start;
    // A pair this close to the first axis is taken to lie on it, which also
    // keeps atan2 away from the degenerate (0, 0).
    if (std::fabs(static_cast<double>(p2)) < snapdistance)
        radians_start = p1 >= 0 ? static_cast<real>(halfpi) : static_cast<real>(threehalfpi);
    else
        radians_start = atan2l(p1, p2);
    if (radians_start < 0)
        radians_start += static_cast<real>(twopi);
    real radians_finish = radians_start + radians_user;
    if (radians_finish > static_cast<real>(twopi))
        radians_finish -= static_cast<real>(twopi);
    *pos1 = modulus * sinl(radians_finish);
    *pos2 = modulus * cosl(radians_finish);
    return 0;
}

} // namespace kt
