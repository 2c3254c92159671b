#pragma once
// Drawing random parameter sets until one passes the chaos screen.
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "analysis/screening.h"
#include "engine/enginestate.h"

namespace kt {

class RenderContext;

struct SearchState {
    ICON RP = {};
    int count = 0;
    int okrp = 4;
    int debugflag = 0; // show the winning set and let the user reject it
    // The source of every draw: a search stream continues from it.
    std::mt19937 generator;
};

// Seeds st's generator, behind ktrandom and the integer draws.
void ktseed(SearchState& st, std::uint32_t seed);
// r / 32767 for a uniform 15-bit r: both 0.0 and 1.0 occur.
double ktrandom(SearchState& st);
// A uniform integer in 0 .. 2^31 - 1.
std::int32_t ktrandominteger(SearchState& st);

// Truncates a, b, c, d, e and scale to twelve decimal places, in place.
void paramclip(ICON* set);

enum SearchResult {
    searchaccepted = 0,
    searchrejected = 1,
    searchbadstart = 2,
    searchexhausted = 3,
    searchstopped = 4
};

// The most candidates a search draws. The built-in sets' start points need a
// few hundred at most (one candidate in about 200 passes under the default
// dimension limit), so only a start point no set can pass from reaches it.
inline constexpr int searchcandidatelimit = 20000;

// Whether a start point can pass the screen at all: one beyond its range
// (|x| or |y| above 1e8, or not a number) escapes before the first step.
bool startpointscreenable(const ICON& set);

// Asks the user a yes/no question (text, title): true for yes.
using AskUser = std::function<bool(const std::string& text, const std::string& title)>;
// For a program nobody answers: yes to everything.
inline bool answeryes(const std::string&, const std::string&)
{
    return true;
}

// Draws sets for s's formula from `seed` until one passes the screen (under
// sc's limit) and stores it in s.icon[s.type]: searchaccepted. Nothing is
// stored when the user rejected the winner (asked only with st.debugflag
// set), when the start point of icon[type] cannot pass (nothing is drawn
// then), when searchcandidatelimit candidates all failed, or when ctx's
// owner wants the work stopped (asked before each candidate): searchstopped.
// The program seeds from the clock in seconds.
int randomparams(RenderContext& ctx, EngineState& s, SearchState& st, ScreeningState& sc, const AskUser& ask,
                 std::uint32_t seed);
// The same search continuing from st's generator as it stands, so that calls
// after one seeding give the sets of one search stream in turn.
int nextrandomparams(RenderContext& ctx, EngineState& s, SearchState& st, ScreeningState& sc, const AskUser& ask);

// What the user is told when a search could not run or found nothing.
std::string searchfailure(int result);

} // namespace kt
