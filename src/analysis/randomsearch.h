#pragma once
// Drawing random parameter sets until one passes the chaos screen.
#include <cstdint>

#include "engine/enginestate.h"

namespace kt {

struct SearchState {
    ICON RP = {};
    int count = 0;
    int okrp = 4;
    int debugflag = 0; // show the winning set and let the user reject it
};

extern SearchState search;

// Seeds the generator behind ktrandom and the integer draws.
void ktseed(std::uint32_t seed);
// r / 32767 for a uniform 15-bit r: both 0.0 and 1.0 occur.
double ktrandom();
// A uniform integer in 0 .. 2^31 - 1.
std::int32_t ktrandominteger();

// Truncates a, b, c, d, e and scale to twelve decimal places, in place.
void paramclip(ICON* set);

// Draws sets for formula `type` from `seed` until one passes the screen and
// stores it in icon[type]: 0. 1 when the user rejected the winner (only asked
// with debugflag set); nothing is stored then. The program seeds from the
// clock in seconds.
int randomparams(std::uint32_t seed);
// The same search continuing from the generator as it stands, so that calls
// after one seeding give the sets of one search stream in turn.
int nextrandomparams();

} // namespace kt
