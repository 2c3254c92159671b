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

// The verdict for I under formula `type`, against st.FDLimit; on 0, 3 and 4
// st.LExp and st.FD hold the new measures. No engine state is touched.
int testrp(const ICON& I, int type, ScreeningState& st);

// Marks the 16- and 32-grid cells holding the point.
void boxcount(ScreeningState& st, const VOXEL& point);

// log2 of the ratio of occupied cells between the two grids; 0 when either is empty.
double fractaldimension(const ScreeningState& st);

// x = floor(x * 1e12) * 1e-12 in double precision.
double truncate12(double x);

} // namespace kt
