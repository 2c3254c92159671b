#pragma once
// The density tone shown as the picture renders: drawn again from the hit
// counts as they grow, so that the view stays toned and never overdevelops,
// while the render's own image goes on as it would.
#include <chrono>
#include <memory>

#include "base/surface.h"

namespace kt {

struct Desktop;

struct LiveTone {
    bool on = false;
    std::unique_ptr<Surface> view;
    bool current = false; // the view shows the counts as they were lately
    std::chrono::steady_clock::time_point due{};
};

// Draws the tone again when it is due (or at once with `now`); whether the
// window should show it.
bool refreshlivetone(Desktop& d, bool now);

// As rendering pauses: the render's image takes the tone, so that what is
// saved is what was shown.
void settlelivetone(Desktop& d);

} // namespace kt
