#pragma once
// The parameter sets and the engine state. The program's own is its part of
// the program context; gallery entries, turntable frames and tests render
// states of their own.
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

#include "base/memory.h"
#include "base/surface.h"
#include "engine/palette.h"

namespace kt {

// The extended real: the 80-bit format with its 64-bit significand.
using real = long double;
static_assert(std::numeric_limits<real>::digits == 64,
              "the engine needs the 80-bit extended real (64-bit significand)");

struct ICON {
    double a; // alpha
    double b; // beta
    double c; // gamma
    double d; // lambda
    double e; // omega
    std::int32_t n;
    std::int32_t p;
    double scale;
    double xstart;
    double ystart;
    double zstart;

    bool operator==(const ICON&) const = default;
};

struct VOXEL {
    real x;
    real y;
    real z;

    bool operator==(const VOXEL&) const = default;
};

constexpr ICON builtinicon1{-2.29, -1.43, 0.3, 2.35, 0.0, 11, 0, 1.0, 0.1, 0.003, 0.1};
constexpr ICON builtinicon2{3.79, -3.24, 0.58, -2.0, -0.27, 3, 2, 1.0, 0.1, 0.003, 0.1};

// Steps in one render batch: the unit between two looks at the user's input.
constexpr int batchsteps = 1000;

constexpr COLORREF defaultback = RGB(255, 245, 230);

// A screening step of a formula: advances *z one step in place and returns 1
// when the new point leaves the screening range.
struct EngineState;
using FormulaStep = int (*)(EngineState& s, VOXEL* z, int n, int p, int i);

// Everything of an engine state but the buffers it owns.
struct EngineValues {
    ICON icon[2] = {builtinicon1, builtinicon2};
    int type = 0;
    VOXEL rot[2] = {};
    int rotationorder = 0;

    // Working parameters and the orbit's current point.
    real a = 0, b = 0, c = 0, d = 0, e = 0;
    VOXEL z = {};

    // Per-image constants of the formulas: one denom each, np for formula 2.
    real denom[2] = {0, 0};
    int np = 0;

    int res = 600;

    int saveres = 0;
    std::uint32_t hitmax = 0;
    std::uint32_t itercount = 0;

    int newimage = 1;
    int okicon = 0;
    int cmethod = 0;

    COLORREF back = defaultback;
    int red = 255, green = 245, blue = 230;

    Palette palette = defpal1;
    std::uint32_t pixelmax = 0;

    // Keep, beside each pixel's hits, the sum of the depths the view sees of
    // its points, for the depth tone; it costs the plotting, so only on request.
    bool depthsums = false;

    // The image the engine draws on: its own off-screen image, or one a
    // caller lends it (a gallery entry, a turntable frame, a test's).
    Surface* g_vhdc = nullptr;
};

// The orbit's next batch of points, made while other threads still plot the
// last one. The orbit depends only on its point, the formula and its
// coefficients: the points stand for as long as those are the ones below.
struct OrbitAhead {
    bool made = false;  // the points below are there
    bool depths = true; // else only the last point's depth is kept
    int type = 0, n = 0, np = 0;
    real a = 0, b = 0, c = 0, d = 0, e = 0;
    VOXEL from = {};
    VOXEL point[batchsteps];
};

struct EngineState : EngineValues {
    EngineState() = default;
    // A copy renders the same picture into buffers of its own, which its
    // first batch makes; assigning values keeps the buffers one has.
    EngineState(const EngineState& other) : EngineValues(other) {}
    EngineState& operator=(const EngineState& other)
    {
        EngineValues::operator=(other);
        return *this;
    }
    EngineState(EngineState&&) = default;
    EngineState& operator=(EngineState&&) = default;

    LocalArray<float> hitcount;
    int hcres = 0; // the side hitcount was made for
    // With depthsums and hit colouring: per pixel, the sum of the turned z of
    // the points counted in hitcount, as plothitdepth adds them. Null otherwise.
    LocalArray<float> depthsum;
    std::unique_ptr<Surface> offscreen;
    std::unique_ptr<OrbitAhead> orbitahead; // null until a batch with workers makes one
    // The last batch's points, kept to hold the next batch's after them.
    std::unique_ptr<OrbitAhead> orbitspare;
};

// Makes `image` the engine's own off-screen image and draws on it; null
// releases it.
void useoffscreen(EngineState& s, std::unique_ptr<Surface> image);

// The largest |n| and |n x p| a parameter set may hold. A formula step costs
// about n + n x p complex multiplications, so these keep every step bounded
// (a batch well under a second) while leaving far more room than the editors
// (n up to 60, p up to 30) or the random search ever use.
constexpr long long maxdegree = 1000;
constexpr long long maxphasepower = 10000;

// Loads the working parameters a to e and the orbit's point from a set.
void loadorbit(EngineState& s, const ICON& set);

// Whether a parameter set's n and p stay within those bounds.
bool degreesbounded(const ICON& icon);

} // namespace kt
