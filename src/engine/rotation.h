#pragma once
// Turning a point about the X, Y and Z axes by the angles of rot[type], in the
// order rotationorder selects.
#include "engine/enginestate.h"

namespace kt {

// Writes the rotated copy of xyz into *xyzrotate; returns 0.
int rotatexyz(VOXEL xyz, VOXEL* xyzrotate);

// Turns the pair (*pos1, *pos2) in its plane by radians_user, in polar form;
// returns 0.
int rotate(real* pos1, real* pos2, real radians_user);

inline bool rotationactive(const VOXEL& angles)
{
    return angles.x != 0 || angles.y != 0 || angles.z != 0;
}

} // namespace kt
