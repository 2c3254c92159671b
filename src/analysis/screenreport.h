#pragma once
// The chaos screen's verdict on a set, as text: the set's coefficients, the
// verdict and the two measures. The batch renderer's --screen prints it and
// the Python module returns it, so the two can never tell different stories.
#include <string>

#include "analysis/screening.h"
#include "engine/enginestate.h"

namespace kt {

struct ScreenReport {
    int verdict = screenpass; // a ScreenVerdict
    std::string text;
};

// Screens `set` under formula `type` (0 or 1) against st.FDLimit; st keeps
// the measures as testrp leaves them.
ScreenReport screenreport(const ICON& set, int type, ScreeningState& st);

// "pass", "escape", "not chaotic" or "low dimension".
const char* verdictname(int verdict);

} // namespace kt
