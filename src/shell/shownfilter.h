#pragma once
// The filter the paused picture shows, so that a change of its settings can
// draw the picture through it again at once, from the hit counts, without a
// new render.
#include "image/filters.h"

namespace kt {

struct Desktop;

enum class ShownFilter { none, normalize, equalize, log, logsquared, densitytone, depthtone };

// Runs the filter on the paused picture with `settings` (and the desktop's
// tone); when it is done the picture shows it. The filter's own code.
int applyfilter(Desktop& d, ShownFilter filter, const FilterState& settings);

// Whether the window shows the density or depth tone of the hit counts:
// the live tone while rendering, or a tone filter's picture while paused.
bool showstone(const Desktop& d);

// The shown tone drawn again with the desktop's tone settings; nothing when
// no tone is shown.
void retone(Desktop& d);

} // namespace kt
