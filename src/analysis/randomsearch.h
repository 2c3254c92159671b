#pragma once
// Drawing random parameter sets until one passes the chaos screen.
#include <cstdint>
#include <string>

#include "engine/enginestate.h"

namespace kt {

struct SearchState {
    ICON RP = {};
    int count = 0;
    int okrp = 4;
    int debugflag = 0; // show the winning set and let the user reject it
};

extern SearchState& search;

// Seeds the generator behind ktrandom and the integer draws.
void ktseed(std::uint32_t seed);
// r / 32767 for a uniform 15-bit r: both 0.0 and 1.0 occur.
double ktrandom();
// A uniform integer in 0 .. 2^31 - 1.
std::int32_t ktrandominteger();

// Truncates a, b, c, d, e and scale to twelve decimal places, in place.
void paramclip(ICON* set);

enum SearchResult { searchaccepted = 0, searchrejected = 1, searchbadstart = 2, searchexhausted = 3 };

// The most candidates a search draws. The built-in sets' start points need a
// few hundred at most (one candidate in about 200 passes under the default
// dimension limit), so only a start point no set can pass from reaches it.
inline constexpr int searchcandidatelimit = 20000;

// Whether a start point can pass the screen at all: one beyond its range
// (|x| or |y| above 1e8, or not a number) escapes before the first step.
bool startpointscreenable(const ICON& set);

// Draws sets for formula `type` from `seed` until one passes the screen and
// stores it in icon[type]: searchaccepted. Nothing is stored when the user
// rejected the winner (only asked with debugflag set), when the start point
// of icon[type] cannot pass (nothing is drawn then), or when
// searchcandidatelimit candidates all failed. The program seeds from the
// clock in seconds.
int randomparams(std::uint32_t seed);
// The same search continuing from the generator as it stands, so that calls
// after one seeding give the sets of one search stream in turn.
int nextrandomparams();

// What the user is told when a search could not run or found nothing.
std::string searchfailure(int result);

} // namespace kt
