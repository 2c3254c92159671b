#pragma once
// Many orbits of one parameter set stepped side by side in doubles, eight to
// a vector. The one exact orbit is a single chain of 80-bit steps that no
// processor can share; orbits of their own can be stepped on every lane of
// every core. Each lane's arithmetic is the same on every processor (no
// fused multiply-add, no reassociation), so a picture drawn from them is
// the same whichever vector unit the machine has.
#include <cstdint>

namespace kt {

// Lanes stepped as one vector: the groups of orbits are laid out by it.
constexpr int lanewidth = 8;

// A formula and its coefficients, for the lanes.
struct LaneFormula {
    int type = 0; // 0 or 1, as EngineValues::type
    int n = 0;
    int np = 0; // n x p, formula 2's phase power
    double a = 0, b = 0, c = 0, d = 0, e = 0;
};

// Where a point lands on the square image the engine renders: turned by
// `turn` (rows of a matrix) when `turned`, then (x + offset) x factor.
struct LaneView {
    bool turned = false;
    double turn[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double offset = 0;
    double factor = 0;
    double resolution = 0;   // the side, as a real
    std::int64_t side = 0;   // the side, for the pixel's index
    bool viewdepths = false; // spots keep the turned depth, not the orbit's own
};

// The orbits' points: lanes x, y and depth, groups x lanewidth of each.
struct Lanes {
    double* x;
    double* y;
    double* z;
    int groups;
    std::int64_t first; // the first lane's index among all orbits
    // How far apart among all orbits neighbouring lanes' orbits are: a
    // share of the orbits steps every stride-th of them.
    std::int64_t stride = 1;
};

// Where each step of a set of lanes landed: for group g, step r and lane l,
// index (g x steps + r) x lanewidth + l holds the pixel (row x side +
// column), or -1 when it missed the image, and, when `depths` is not null,
// the point's depth: its own, or with `viewdepths` the turned one.
// The farthest any step reached: across and down the view, or with
// `radius` from the origin in three dimensions (then across = down), of the
// first `lanes` lanes: those past them only fill the vector.
struct LaneReach {
    bool radius = false;
    double across = 0;
    double down = 0;
    std::int64_t lanes = INT64_MAX;
};

struct LaneSpots {
    std::int64_t* pixels;       // null: the steps are only taken
    float* depths;              // null: no depths kept
    LaneReach* reach = nullptr; // raised by every step when not null
    // Not null (with pixels null): each landing point's hit is counted here
    // at once, without its spot being kept.
    float* hits = nullptr;
    // Lanes from this one on (of `lanes`) take their steps but land nowhere.
    std::int64_t plotting = INT64_MAX;
};

// Steps every lane `steps` times in render mode: a point that leaves the
// render range restarts from the restart point, moved a little by the lane's
// index so that restarted orbits stay apart.
void steplanes(const LaneFormula& formula, const LaneView& view, const Lanes& lanes, int steps, const LaneSpots& spots);

} // namespace kt
