#pragma once
// Why a set fails the chaos screen, as a caption over the set's preview: an
// orbit that escapes, which OK refuses, or the measure that decided a
// failure OK takes after a warning (as the random search never does).
#include <string>

#include "analysis/screening.h"
#include "base/surface.h"

namespace kt {

// The caption for `verdict` (a ScreenVerdict) with the measures testrp left
// in `measures`, one line a '\n'; empty for a set that passes.
std::string refusalcaption(int verdict, const ScreeningState& measures);

// The screen runs 10,000 steps of the set, each costing about n + n p
// products for formula 2: from a few milliseconds up to a quarter of a
// second at n 60, p 30. While fields are edited it runs only when it takes
// at most about 50 ms, so that the preview keeps up with the typing.
bool quicktoscreen(const ICON& set, int type);
// What the preview says of a set too slow to screen there.
inline constexpr const char* unscreenedcaption = "Not screened while editing:\nOK screens this set";

// Draws the caption on a dark band with its top-left corner at (left, top).
void drawcaption(Surface& image, int left, int top, const std::string& caption);

} // namespace kt
