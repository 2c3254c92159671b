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

constexpr Axis orders[6][3] = {
    {X, Y, Z}, {X, Z, Y}, {Y, X, Z}, {Y, Z, X}, {Z, X, Y}, {Z, Y, X},
};
} // namespace

RotationPlan planrotation(const VOXEL& angles, int rotationorder)
{
    const int order = (rotationorder >= 0 && rotationorder <= 4) ? rotationorder : 5;
    RotationPlan plan{};
    for (int k = 0; k < 3; ++k)
        plan.order[k] = orders[order][k];
    const real degrees[3] = {angles.x, angles.y, angles.z};
    for (int axis = 0; axis < 3; ++axis) {
        plan.turns[axis] = degrees[axis] != 0;
        plan.radians[axis] = toradians(degrees[axis]);
    }
    return plan;
}

AxisPair axispair(Axis axis, VOXEL& point)
{
    if (axis == X)
        return {&point.y, &point.z};
    if (axis == Y)
        return {&point.x, &point.z};
    return {&point.x, &point.y};
}

VOXEL rotated(VOXEL point, const RotationPlan& plan)
{
    for (Axis axis : plan.order) {
        if (!plan.turns[axis])
            continue;
        const AxisPair pair = axispair(axis, point);
        rotate(pair.pos1, pair.pos2, plan.radians[axis]);
    }
    return point;
}

PolarPair polarpair(real p1, real p2)
{
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
    return {modulus, radians_start};
}

void turnpolarpair(const PolarPair& polar, real radians_user, real* pos1, real* pos2)
{
    real radians_finish = polar.radians_start + radians_user;
    if (radians_finish > static_cast<real>(twopi))
        radians_finish -= static_cast<real>(twopi);
    // sincosl gives the bits of sinl and cosl from one argument reduction,
    // which is most of their cost.
    real sine, cosine;
    sincosl(radians_finish, &sine, &cosine);
    *pos1 = polar.modulus * sine;
    *pos2 = polar.modulus * cosine;
}

int rotate(real* pos1, real* pos2, real radians_user)
{
    turnpolarpair(polarpair(*pos1, *pos2), radians_user, pos1, pos2);
    return 0;
}

} // namespace kt
