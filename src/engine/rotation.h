#pragma once
// Turning a point about the X, Y and Z axes by the angles of rot[type], in the
// order rotationorder selects.
#include "engine/enginestate.h"

namespace kt {

// Turns the pair (*pos1, *pos2) in its plane by radians_user, in polar form;
// returns 0.
int rotate(real* pos1, real* pos2, real radians_user);

// rotate in its two halves: the pair's polar form does not depend on the
// angle, so a caller turning one pair by many angles works it out once.
struct PolarPair {
    real modulus;
    real radians_start;
};
PolarPair polarpair(real pos1, real pos2);
void turnpolarpair(const PolarPair& polar, real radians_user, real* pos1, real* pos2);

inline bool rotationactive(const VOXEL& angles)
{
    return angles.x != 0 || angles.y != 0 || angles.z != 0;
}

enum Axis { X, Y, Z };

// What turning works out from the angles and the order before it touches a
// point, so that many points can be turned without it (and without the
// engine's state, from any thread).
struct RotationPlan {
    Axis order[3];
    bool turns[3];   // by axis: is its angle in degrees nonzero?
    real radians[3]; // by axis
};
RotationPlan planrotation(const VOXEL& angles, int rotationorder);
VOXEL rotated(VOXEL point, const RotationPlan& plan);
// The two coordinates that a turn about `axis` moves, as rotate takes them.
struct AxisPair {
    real* pos1;
    real* pos2;
};
AxisPair axispair(Axis axis, VOXEL& point);

} // namespace kt
