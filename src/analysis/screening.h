#pragma once
// The chaos screen: does a parameter set's orbit stay finite, is it chaotic
// (Lyapunov exponent), and does it fill the plane (box-counting dimension)?
#include "engine/enginestate.h"

namespace kt {

enum ScreenVerdict { screenpass = 0, screenescape = 2, screennotchaotic = 3, screenlowdimension = 4 };

struct ScreeningState {
    double LExp = 0;
    double FD = 0;
    double FDLimit = 1.5;
    int N16[16][16] = {};
    int N32[32][32] = {};
};

extern ScreeningState& screening;

// The verdict for I under formula `type`; on 0, 3 and 4 LExp and FD hold the
// new measures. Leaves the engine's working parameters and point as the test
// ended them.
int testrp(ICON I);

// Marks the 16- and 32-grid cells holding the working point.
void boxcount();

// log2 of the ratio of occupied cells between the two grids; 0 when either is empty.
double fractaldimension();

// x = floor(x * 1e12) * 1e-12 in double precision.
double truncate12(double x);

} // namespace kt
