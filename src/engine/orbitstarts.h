#pragma once
// Many orbits laid out in lanes and started as renderorbits starts them:
// each from its own point of the exact orbit, then warmed up in doubles.
#include <vector>

#include "engine/enginestate.h"
#include "engine/manyorbits.h"
#include "engine/orbitlanes.h"

namespace kt {

class RenderContext;

// How a picture's (or a share's) orbits are laid out in lanes and rounds.
struct OrbitPlan {
    int total = 0;  // the picture's orbits
    int orbits = 0; // the share's
    OrbitShare share;
    int lanes = 0; // the share's orbits rounded up to whole vectors
    int roundsteps = 0;
    int chunklanes = 0;
    int chunks = 0;
    int bandshift = 0;
    int bands = 0;
};

OrbitPlan planorbits(int orbits, int side, OrbitShare share = {});

// The lanes' formula and view of s's set, once its image is set up.
LaneFormula laneformula(const EngineState& s);
LaneView laneview(const EngineState& s);

// The orbits' points, lanes of x, y and depth.
struct OrbitPoints {
    std::vector<double> x, y, z;
};

// Chunk c's lanes of the orbits' points.
Lanes chunkof(const OrbitPlan& plan, OrbitPoints& points, int c);

// Starts the plan's orbits on the exact orbit of s's set, which this sets up
// as a new image and leaves after the last start, and warms them up on the
// context's workers; `f` and `v` are then the lanes' formula and view of the
// set. False without the memory.
bool startorbits(RenderContext& ctx, EngineState& s, const OrbitPlan& plan, OrbitPoints& points, LaneFormula& f,
                 LaneView& v);

} // namespace kt
