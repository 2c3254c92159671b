#pragma once
// A many-orbit still drawn in shares (--part K/N), each perhaps on another
// machine: share K draws orbits K, K + N, K + 2N, ... (from 1), each as one
// run steps it, and keeps its hit counts in the shares' folder beside the
// picture (see sharefolder.h); the share that finds all N adds them up, which
// gives one run's counts to the last one, and writes the picture from them
// as one run would have.
#include <string>

#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/picture.h"

namespace kt {

class RenderContext;

// "" when a still `p` can be drawn in `parts` shares, else why not.
std::string stillshareproblem(const Picture& p, int parts);

// The orbits share K of N draws.
inline OrbitShare stillshare(int part, int parts)
{
    return OrbitShare{part - 1, parts};
}

// Everything that makes the picture's counts and its bytes, as text: the
// program's version and the picture with the palette as loaded (not its
// file's name, which may differ from machine to machine). Not the share, the
// threads or the output.
std::string stillsettings(const Picture& p, const Palette& colours);

// The scale --fit gives p drawn from `set` (applypicture's state), the one
// run's to the bit, without stepping every orbit here: the reach of each
// share's orbits is kept in `folder` by the share that stepped them, this
// share's own first, so that shares running side by side each step about
// their own, and one that finds the others' reach steps none of theirs.
double sharedfit(RenderContext& ctx, const Picture& p, const EngineState& set, const std::string& folder, int part,
                 int parts, const std::string& settings);

// "counts-2-of-3.bin": share K of N's counts in the shares' folder.
std::string sharecountsname(int part, int parts);

// Adds every share's counts in `folder` into s's, and sets the scale they
// were drawn at: "" or what is wrong, naming the file.
std::string addshares(const std::string& folder, int parts, const std::string& settings, EngineState& s);

} // namespace kt
