#pragma once
// The lanes' step, written once and compiled once for each vector target by
// that target's own file (lanes_*.cpp), every part of it with internal
// linkage: one target's copy of a helper never stands in for another's, and
// each is compiled whole with its target's instructions. (Cloning only the
// outer function leaves the helpers it inlines lowered for the plainest
// processor, one lane at a time.)
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "engine/formulatype.h"
#include "engine/orbitlanes.h"
#include "engine/plot.h"

namespace kt {

namespace {

using vd = double __attribute__((vector_size(8 * lanewidth)));
using vi = long long __attribute__((vector_size(8 * lanewidth)));
using vf = float __attribute__((vector_size(4 * lanewidth)));

// One step of an orbit is a long chain of dependent operations: a vector
// unit steps several groups of lanes at once to keep busy while each
// operation's result is on its way. A pack is that many groups, and every
// operation on it is the same operation on each group.
constexpr int packgroups = 4;

template <typename V>
struct Pack {
    V v[packgroups];
};
using Reals = Pack<vd>;
using Masks = Pack<vi>;

#define KT_PACK_OPERATOR(op, Result, Left, Right, left, right)                                                         \
    [[gnu::always_inline]] inline Result operator op(const Left& a, const Right& b)                                    \
    {                                                                                                                  \
        Result r;                                                                                                      \
        for (int k = 0; k < packgroups; ++k)                                                                           \
            r.v[k] = left op right;                                                                                    \
        return r;                                                                                                      \
    }
#define KT_PACK_ARITHMETIC(op)                                                                                         \
    KT_PACK_OPERATOR(op, Reals, Reals, Reals, a.v[k], b.v[k])                                                          \
    KT_PACK_OPERATOR(op, Reals, double, Reals, a, b.v[k])                                                              \
    KT_PACK_OPERATOR(op, Reals, Reals, double, a.v[k], b)
KT_PACK_ARITHMETIC(+)
KT_PACK_ARITHMETIC(-)
KT_PACK_ARITHMETIC(*)
KT_PACK_ARITHMETIC(/)
KT_PACK_OPERATOR(<, Masks, Reals, double, a.v[k], b)
KT_PACK_OPERATOR(<=, Masks, Reals, double, a.v[k], b)
KT_PACK_OPERATOR(>, Masks, Reals, double, a.v[k], b)
KT_PACK_OPERATOR(>=, Masks, Reals, double, a.v[k], b)
KT_PACK_OPERATOR(>, Masks, Reals, Reals, a.v[k], b.v[k])
KT_PACK_OPERATOR(&, Masks, Masks, Masks, a.v[k], b.v[k])
#undef KT_PACK_ARITHMETIC
#undef KT_PACK_OPERATOR

[[gnu::always_inline]] inline Reals operator-(const Reals& a)
{
    Reals r;
    for (int k = 0; k < packgroups; ++k)
        r.v[k] = -a.v[k];
    return r;
}

// Per lane: `yes` where the mask is set, else `no`.
template <typename P, typename Q>
[[gnu::always_inline]] inline P select(const Masks& mask, const P& yes, const Q& no)
{
    P r;
    for (int k = 0; k < packgroups; ++k) {
        if constexpr (std::is_same_v<Q, double>)
            r.v[k] = mask.v[k] ? yes.v[k] : vd{} + no;
        else
            r.v[k] = mask.v[k] ? yes.v[k] : no.v[k];
    }
    return r;
}

// The sign bit cleared: one operation, where a comparison and a choice take
// three. It differs from a < 0 ? -a : a only in the sign of a zero or a NaN,
// which no comparison after it tells apart.
[[gnu::always_inline]] inline Reals absolute(const Reals& a)
{
    constexpr long long magnitude = 0x7fffffffffffffffLL;
    Reals r;
    for (int k = 0; k < packgroups; ++k)
        r.v[k] = reinterpret_cast<vd>(reinterpret_cast<vi>(a.v[k]) & magnitude);
    return r;
}

[[gnu::always_inline]] inline Reals squareroot(const Reals& a)
{
    Reals r;
    for (int k = 0; k < packgroups; ++k)
        for (int l = 0; l < lanewidth; ++l)
            r.v[k][l] = std::sqrt(a.v[k][l]);
    return r;
}

struct Complexes {
    Reals re;
    Reals im;
};

[[gnu::always_inline]] inline void multiply(Complexes& u, const Complexes& w)
{
    const Reals re = u.re * w.re - u.im * w.im;
    const Reals im = u.im * w.re + u.re * w.im;
    u.re = re;
    u.im = im;
}

// base^power for power >= 1, by squaring: the exponent is the same in every
// lane, so the loop is too.
[[gnu::always_inline]] inline Complexes power(Complexes base, int power)
{
    Complexes result = base;
    bool started = false;
    while (true) {
        if (power & 1) {
            if (started)
                multiply(result, base);
            else
                result = base;
            started = true;
        }
        power >>= 1;
        if (!power)
            return result;
        multiply(base, base);
    }
}

// Re(z^n), and conj(z)^(n-1) as the exact step has them (n <= 1 takes z and
// its conjugate, as there).
struct LanePowers {
    Reals rezn;
    Reals rezbarn;
    Reals imzbarn;
};

[[gnu::always_inline]] inline LanePowers powers(const Reals& x, const Reals& y, int n)
{
    if (n <= 1)
        return {x, x, -y};
    const Complexes w = power(Complexes{x, y}, n - 1);
    return {w.re * x - w.im * y, w.re, -w.im};
}

template <int Type>
[[gnu::always_inline]] inline void step(Reals& x, Reals& y, Reals& z, const LaneFormula& f)
{
    const Reals zzbar = x * x + y * y;
    const LanePowers pw = powers(x, y, f.n);
    const Reals partial = (f.a * zzbar + f.d) + f.b * pw.rezn;
    Reals xnew, ynew;
    if constexpr (Type == 0) {
        xnew = (partial * x + f.c * pw.rezbarn) - f.e * y;
        ynew = (partial * y + f.c * pw.imzbarn) + f.e * x;
    } else {
        Reals zabs = squareroot(zzbar);
        zabs = select(zabs < 1e-16, zabs * 0 + 1e-16, zabs);
        const Reals qx = x / zabs;
        const Reals qy = y / zabs;
        Reals rezznp;
        if (f.np == 0) {
            rezznp = qx * 0 + 1;
        } else if (f.np <= 1) {
            rezznp = qx;
        } else {
            const Complexes w = power(Complexes{qx, qy}, f.np - 1);
            rezznp = w.re * qx - w.im * qy;
        }
        const Reals phase = (f.e * rezznp) * zabs;
        xnew = (partial * x + f.c * pw.rezbarn) + phase * x;
        ynew = (partial * y + f.c * pw.imzbarn) + phase * y;
    }
    x = xnew;
    y = ynew;
    z = zzbar - 0.5;
}

// The render range's bounds and restart point, as the exact orbit has them.
constexpr double low = 1e-16;
constexpr double high = 1e16;
constexpr double restartx = 0.0234, restarty = 0.12345, restartz = 0.1;
// How far apart the restart points of neighbouring lanes lie: far below
// anything a picture shows, far above a double's resolution there.
constexpr double restartspread = 1e-12;

[[gnu::always_inline]] inline void load(Reals& pack, const double* from, int groups)
{
    for (int k = 0; k < groups; ++k)
        std::memcpy(&pack.v[k], from + k * lanewidth, sizeof(vd));
}

[[gnu::always_inline]] inline void store(double* to, const Reals& pack, int groups)
{
    for (int k = 0; k < groups; ++k)
        std::memcpy(to + k * lanewidth, &pack.v[k], sizeof(vd));
}

// Writes where the pack's points land, group by group, at spot index `at`
// of each group's run of steps.
// Counts the hits of spots found a step earlier.
[[gnu::always_inline]] inline void countspots(const vi& spot, float* hits)
{
    for (int l = 0; l < lanewidth; ++l)
        if (spot[l] >= 0)
            counthit(hits[spot[l]]);
}

template <bool Turned>
[[gnu::always_inline]] inline void land(const Reals& x, const Reals& y, const Reals& z, const LaneView& v,
                                        const Masks& plots, const LaneSpots& spots, std::size_t at,
                                        std::size_t groupstride, int groups, Masks& pending)
{
    Reals px = x, py = y;
    if constexpr (Turned) {
        px = v.turn[0][0] * x + v.turn[0][1] * y + v.turn[0][2] * z;
        py = v.turn[1][0] * x + v.turn[1][1] * y + v.turn[1][2] * z;
    }
    const Reals column = (px + v.offset) * v.factor;
    const Reals row = (py + v.offset) * v.factor;
    const Masks lands = (column > -1) & (column < v.resolution) & (row > -1) & (row < v.resolution) & plots;
    for (int k = 0; k < groups; ++k) {
        // Truncation toward zero keeps (-1, 0) on row or column 0; a miss
        // is converted as 0, never as a value no integer holds.
        const vi in = lands.v[k];
        const vd onrow = in ? row.v[k] : vd{}, oncolumn = in ? column.v[k] : vd{};
        const vi pixel = __builtin_convertvector(onrow, vi) * v.side + __builtin_convertvector(oncolumn, vi);
        const vi spot = in ? pixel : vi{} - 1;
        if (spots.hits) {
            // The counts are larger than the cache: each spot is fetched
            // now and counted a step later, while the next step's
            // arithmetic has hidden the fetch. Counts of one do not depend
            // on their order.
            // A miss's pixel is 0: fetched in vain, but branch-free.
            for (int l = 0; l < lanewidth; ++l)
                __builtin_prefetch(spots.hits + pixel[l], 1);
            countspots(pending.v[k], spots.hits);
            pending.v[k] = spot;
            continue;
        }
        const std::size_t out = at + k * groupstride;
        std::memcpy(spots.pixels + out, &spot, sizeof spot);
        if (spots.depths) {
            const vd seen = v.viewdepths ? v.turn[2][0] * x.v[k] + v.turn[2][1] * y.v[k] + v.turn[2][2] * z.v[k]
                                         : z.v[k];
            const vf depth = __builtin_convertvector(seen, vf);
            std::memcpy(spots.depths + out, &depth, sizeof depth);
        }
    }
}

// Steps `groups` (at most a pack's) groups from group g of the lanes.
template <int Type, bool Turned>
[[gnu::always_inline]] inline void runpack(const LaneFormula& f, const LaneView& v, const Lanes& lanes, int g,
                                           int groups, int steps, const LaneSpots& spots)
{
    const std::size_t at = static_cast<std::size_t>(g) * lanewidth;
    // Groups past the last stand in the pack only to keep its shape.
    Reals x = {}, y = {}, z = {};
    load(x, lanes.x + at, groups);
    load(y, lanes.y + at, groups);
    load(z, lanes.z + at, groups);
    Reals restart;
    for (int k = 0; k < packgroups; ++k)
        for (int l = 0; l < lanewidth; ++l)
            restart.v[k][l] = restartx +
                static_cast<double>(lanes.first + ((g + k) * lanewidth + l) * lanes.stride) * restartspread;
    Masks plots;
    for (int k = 0; k < packgroups; ++k)
        for (int l = 0; l < lanewidth; ++l)
            plots.v[k][l] = (g + k) * lanewidth + l < spots.plotting ? -1 : 0;
    const std::size_t groupstride = static_cast<std::size_t>(steps) * lanewidth;
    Reals across = x * 0, down = x * 0;
    Masks pending;
    for (int k = 0; k < packgroups; ++k)
        pending.v[k] = vi{} - 1;
    for (int r = 0; r < steps; ++r) {
        step<Type>(x, y, z, f);
        const Reals ax = absolute(x), ay = absolute(y);
        const Masks inside = (ax >= low) & (ax <= high) & (ay >= low) & (ay <= high);
        x = select(inside, x, restart);
        y = select(inside, y, restarty);
        z = select(inside, z, restartz);
        if (spots.reach) {
            if (spots.reach->radius) {
                const Reals r2 = x * x + y * y + z * z;
                across = select(r2 > across, r2, across);
            } else {
                Reals px = x, py = y;
                if constexpr (Turned) {
                    px = v.turn[0][0] * x + v.turn[0][1] * y + v.turn[0][2] * z;
                    py = v.turn[1][0] * x + v.turn[1][1] * y + v.turn[1][2] * z;
                }
                px = absolute(px);
                py = absolute(py);
                across = select(px > across, px, across);
                down = select(py > down, py, down);
            }
        }
        if (spots.pixels || spots.hits)
            land<Turned>(x, y, z, v, plots, spots, g * groupstride + static_cast<std::size_t>(r) * lanewidth,
                         groupstride, groups, pending);
    }
    if (spots.hits)
        for (int k = 0; k < groups; ++k)
            countspots(pending.v[k], spots.hits);
    if (spots.reach) {
        for (int k = 0; k < groups; ++k)
            for (int l = 0; l < lanewidth && (g + k) * lanewidth + l < spots.reach->lanes; ++l) {
                // The radius was kept squared, which orders the same.
                const double a = spots.reach->radius ? std::sqrt(across.v[k][l]) : across.v[k][l];
                const double d = spots.reach->radius ? a : down.v[k][l];
                spots.reach->across = std::max(spots.reach->across, a);
                spots.reach->down = std::max(spots.reach->down, d);
            }
    }
    store(lanes.x + at, x, groups);
    store(lanes.y + at, y, groups);
    store(lanes.z + at, z, groups);
}

template <int Type, bool Turned>
[[gnu::always_inline]] inline void run(const LaneFormula& f, const LaneView& v, const Lanes& lanes, int steps,
                                       const LaneSpots& spots)
{
    for (int g = 0; g < lanes.groups; g += packgroups)
        runpack<Type, Turned>(f, v, lanes, g, std::min(packgroups, lanes.groups - g), steps, spots);
}

[[gnu::always_inline]] inline void steplaneskernel(const LaneFormula& formula, const LaneView& view, const Lanes& lanes,
                                                   int steps, const LaneSpots& spots)
{
    withformula(formula.type, [&]<class F>(F) {
        if (view.turned)
            run<F::index, true>(formula, view, lanes, steps, spots);
        else
            run<F::index, false>(formula, view, lanes, steps, spots);
    });
}

} // namespace

} // namespace kt
