#include "engine/formulas.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>

#include "engine/bands.h"
#include "engine/blockpipeline.h"
#include "engine/formulatype.h"
#include "engine/plot.h"
#include "engine/range.h"
#include "engine/rotation.h"
#include "engine/spots.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

struct Complex {
    real re;
    real im;
};

// (x, y) multiplied by itself `count` times, one product (u, v)(s, t) =
// (u s - v t, v s + u t) at a time.
inline Complex multiplied(real x, real y, int count)
{
    real u = x;
    real v = y;
    for (int k = 0; k < count; ++k) {
        const real nu = u * x - v * y;
        const real nv = v * x + u * y;
        u = nu;
        v = nv;
    }
    return {u, v};
}

// Re(z^n) and conj(z)^(n-1). Negation is exact, so under round-to-nearest
// conj(z)^k equals conj(z^k) bit for bit: one power chain serves both, and
// z^n needs only the real half of its last product.
struct Powers {
    real rezn;
    real rezbarn;
    real imzbarn;
};

inline Powers powers(real x, real y, int n)
{
    if (n <= 1)
        return {x, x, -y};
    const Complex w = multiplied(x, y, n - 2);
    return {w.re * x - w.im * y, w.re, -w.im};
}

struct Coefficients {
    real a, b, c, d, e;
};

inline Coefficients workingcoefficients(const EngineState& s)
{
    return {s.a, s.b, s.c, s.d, s.e};
}

inline VOXEL formula1(real x, real y, const Coefficients& k, int n)
{
    const real zzbar = x * x + y * y;
    const Powers pw = powers(x, y, n);
    const real partial = (k.a * zzbar + k.d) + k.b * pw.rezn;
    const real xnew = (partial * x + k.c * pw.rezbarn) - k.e * y;
    const real ynew = (partial * y + k.c * pw.imzbarn) + k.e * x;
    return {xnew, ynew, zzbar - static_cast<real>(0.5)};
}

inline VOXEL formula2(real x, real y, const Coefficients& k, int n, int np)
{
    const real zzbar = x * x + y * y;
    real zabs = sqrtl(zzbar);
    if (zabs < static_cast<real>(1e-16))
        zabs = static_cast<real>(1e-16);
    const Powers pw = powers(x, y, n);
    const real qx = x / zabs;
    const real qy = y / zabs;
    real rezznp;
    if (np == 0) {
        rezznp = 1;
    } else if (np <= 1) {
        rezznp = qx;
    } else {
        const Complex w = multiplied(qx, qy, np - 2);
        rezznp = w.re * qx - w.im * qy;
    }
    const real partial = (k.a * zzbar + k.d) + k.b * pw.rezn;
    const real phase = (k.e * rezznp) * zabs;
    const real xnew = (partial * x + k.c * pw.rezbarn) + phase * x;
    const real ynew = (partial * y + k.c * pw.imzbarn) + phase * y;
    return {xnew, ynew, zzbar - static_cast<real>(0.5)};
}

template <int Formula>
inline VOXEL formulastep(const VOXEL& z, const Coefficients& k, int n, int np)
{
    if constexpr (Formula == 0)
        return formula1(z.x, z.y, k, n);
    else
        return formula2(z.x, z.y, k, n, np);
}

template <int Formula>
void setupimage(EngineState& s, int n, int p)
{
    s.denom[Formula] = static_cast<real>(s.icon[s.type].scale) * 2;
    if constexpr (Formula == 1)
        s.np = static_cast<int>(static_cast<long long>(n) * p);
}

[[gnu::always_inline]] inline Spot spotof(real x, real y, real scale, real resolution, real denom)
{
    return spotof(x, y, Projection{scale, resolution, denom});
}

// Projects a render-mode point and plots it when it lands on the image. Inline
// even where it is called twice: it is most of the work of an unrotated step.
// Hits plots by hit count whatever the colouring, and ignores the depth.
template <bool Hits = false>
[[gnu::always_inline]] inline void projectandplot(EngineState& s, const VOXEL& p1rotate, real scale, real resolution,
                                                  real denom, real depth)
{
    const Spot spot = spotof(p1rotate.x, p1rotate.y, scale, resolution, denom);
    if (spot.column < 0)
        return;
    if constexpr (Hits)
        plothits(s, spot.column, spot.row);
    else
        plotpoint(s, spot.column, spot.row, depth);
}

// One render-mode step of the orbit, restarting a point that left the range.
template <int Formula>
inline void advance(real& x, real& y, real& depth, const Coefficients& k, int n, int np)
{
    const VOXEL next = formulastep<Formula>(VOXEL{x, y, depth}, k, n, np);
    x = next.x;
    y = next.y;
    depth = next.z;
    if (overflow(VOXEL{x, y, depth}, renderlow, renderhigh)) {
        x = restartpoint.x;
        y = restartpoint.y;
        depth = restartpoint.z;
    }
}

template <int Formula>
int formulacall(EngineState& s, VOXEL* z, int n, int p, int i)
{
    if (s.newimage && i == 0)
        setupimage<Formula>(s, n, p);
    *z = formulastep<Formula>(*z, workingcoefficients(s), n, s.np);
    return overflow(*z, testlow, testhigh);
}

// The 80 bits of an extended real; the rest of its storage is padding.
bool samebits(real u, real v)
{
    return std::memcmp(&u, &v, 10) == 0;
}

// The orbit's batch of points from `from` into `ahead`, which then stands for
// it. Without `Depths` only the last point, which the batch leaves behind,
// keeps its depth, as in flathitbatch.
template <int Formula, bool Depths>
void makeorbitahead(OrbitAhead& ahead, const VOXEL& from, int type, const Coefficients& k, int n, int np)
{
    real x = from.x, y = from.y, depth = from.z;
    for (int i = 0; i < batchsteps; ++i) {
        if (!Depths && i + 1 < batchsteps) {
            real unread = 0;
            advance<Formula>(x, y, unread, k, n, np);
            ahead.point[i] = VOXEL{x, y, 0};
        } else {
            advance<Formula>(x, y, depth, k, n, np);
            ahead.point[i] = VOXEL{x, y, depth};
        }
    }
    ahead.made = true;
    ahead.depths = Depths;
    ahead.type = type;
    ahead.n = n;
    ahead.np = np;
    ahead.a = k.a;
    ahead.b = k.b;
    ahead.c = k.c;
    ahead.d = k.d;
    ahead.e = k.e;
    ahead.from = from;
}

// `kept`, or a new buffer for a batch's points when the memory is there.
std::unique_ptr<OrbitAhead> orbitbuffer(std::unique_ptr<OrbitAhead>& kept)
{
    return kept ? std::move(kept) : std::unique_ptr<OrbitAhead>(new (std::nothrow) OrbitAhead);
}

// Whether `ahead` holds the orbit's next batch from s's point, with the
// depths of its points when they are `needed`.
bool standsfor(const OrbitAhead& ahead, const EngineState& s, const Coefficients& k, int n, int np, bool needed)
{
    if (!ahead.made || (needed && !ahead.depths))
        return false;
    const real mine[] = {k.a, k.b, k.c, k.d, k.e, s.z.x, s.z.y, s.z.z};
    const real its[] = {ahead.a, ahead.b, ahead.c, ahead.d, ahead.e, ahead.from.x, ahead.from.y, ahead.from.z};
    for (std::size_t i = 0; i < std::size(mine); ++i)
        if (!samebits(mine[i], its[i]))
            return false;
    return ahead.type == s.type && ahead.n == n && ahead.np == np;
}

// A rotated batch: the orbit advances in order on this thread, the points are
// turned and projected on every worker thread, and then every worker plots its
// bands of the image (see bands.h). With workers, this thread makes the next
// batch's orbit while they turn the last blocks, so that the next batch's
// blocks are ready for them at once.
// Out of line, so that the common unrotated batch keeps its point in registers.
template <int Formula>
[[gnu::noinline]] void rotatedbatch(RenderContext& ctx, EngineState& s, const Coefficients& k, int n, int np,
                                    real scale, real resolution, real denom)
{
    constexpr int blocksize = 40;
    constexpr int blocks = batchsteps / blocksize;
    static_assert(blocks * blocksize == batchsteps);
    struct Batch {
        VOXEL point[batchsteps];
        real depth[batchsteps];
        Spot spot[batchsteps];
        real viewdepth[batchsteps]; // the turned z, for depth sums only
    };
    Batch b;
    const RotationPlan plan = planrotation(s.rot[s.type], s.rotationorder);
    const int threads = Workers::withinjob() ? 1 : ctx.workers.threads();
    // Without the memory for it, the batch simply makes no orbit ahead.
    if (threads > 1)
        s.orbitahead = orbitbuffer(s.orbitahead);
    OrbitAhead* ahead = threads > 1 ? s.orbitahead.get() : nullptr;
    const bool madeahead = ahead && standsfor(*ahead, s, k, n, np, true);

    real x = s.z.x, y = s.z.y, depth = s.z.z;
    const auto makeahead = [&] { makeorbitahead<Formula, true>(*ahead, VOXEL{x, y, depth}, s.type, k, n, np); };
    const auto produce = [&](int block) {
        for (int i = block * blocksize; i < (block + 1) * blocksize; ++i) {
            if (madeahead) {
                b.point[i] = ahead->point[i];
                x = b.point[i].x;
                y = b.point[i].y;
                depth = b.point[i].z;
            } else {
                advance<Formula>(x, y, depth, k, n, np);
                b.point[i] = VOXEL{x, y, depth};
            }
            b.depth[i] = depth;
        }
    };
    const bool depthsums = s.depthsum && s.cmethod == 0;
    const auto turnblock = [&]<bool Sums>(int block) {
        for (int i = block * blocksize; i < (block + 1) * blocksize; ++i) {
            const VOXEL turned = rotated(b.point[i], plan);
            b.spot[i] = spotof(turned.x, turned.y, scale, resolution, denom);
            if constexpr (Sums)
                b.viewdepth[i] = turned.z;
        }
    };
    // Chosen by the block, so that today's turning loop stays as it was.
    const auto transform = [&](int block) {
        if (depthsums)
            turnblock.template operator()<true>(block);
        else
            turnblock.template operator()<false>(block);
    };
    // Every block is made before the first is consumed, as all are in flight
    // at once: the orbit has reached the batch's end.
    const auto consume = [&](int block) {
        if (ahead && block == 0)
            makeahead();
    };
    BandPlotting plotting(s, b.spot, b.depth, batchsteps, threads, depthsums ? b.viewdepth : nullptr);
    runblockpipeline(ctx, blocks, blocks, produce, transform, consume, [&] { plotting.share(); });
    plotting.finish();
    s.z = VOXEL{x, y, depth};
}

// An unrotated batch. Out of line and with the coefficients behind a
// reference: inlined, the compiler splits them into scalars and copies their
// spill slots on every step.
template <int Formula>
[[gnu::noinline]] void flatbatch(EngineState& s, const Coefficients& k, int n, int np, real scale, real resolution,
                                 real denom, bool plotting)
{
    // The point is carried as three scalars: a VOXEL would round-trip
    // through memory every step.
    real x = s.z.x, y = s.z.y, depth = s.z.z;
    for (int i = 0; i < batchsteps; ++i) {
        advance<Formula>(x, y, depth, k, n, np);
        if (plotting)
            projectandplot(s, VOXEL{x, y, depth}, scale, resolution, denom, depth);
    }
    s.z = VOXEL{x, y, depth};
}

// An unrotated batch coloured by hit count. Neither its plots nor the range
// test read the depth, so only the last step, whose point the batch leaves
// behind, keeps it: in the others it is dead, which frees an x87 register for
// the step and saves spilling |z|^2 to memory and back.
template <int Formula>
[[gnu::noinline]] void flathitbatch(EngineState& s, const Coefficients& k, int n, int np, real scale, real resolution,
                                    real denom)
{
    real x = s.z.x, y = s.z.y, depth = s.z.z;
    for (int i = 1; i < batchsteps; ++i) {
        real unread = 0;
        advance<Formula>(x, y, unread, k, n, np);
        projectandplot<true>(s, VOXEL{x, y, 0}, scale, resolution, denom, 0);
    }
    advance<Formula>(x, y, depth, k, n, np);
    projectandplot<true>(s, VOXEL{x, y, depth}, scale, resolution, denom, depth);
    s.z = VOXEL{x, y, depth};
}

// An unrotated batch coloured by hit count that keeps depth sums: the view
// sees the orbit's own third coordinate.
template <int Formula>
[[gnu::noinline]] void flatdepthbatch(EngineState& s, const Coefficients& k, int n, int np, real scale, real resolution,
                                      real denom)
{
    real x = s.z.x, y = s.z.y, depth = s.z.z;
    for (int i = 0; i < batchsteps; ++i) {
        advance<Formula>(x, y, depth, k, n, np);
        const Spot spot = spotof(x, y, scale, resolution, denom);
        if (spot.column >= 0)
            plothitdepth(s, spot.column, spot.row, depth);
    }
    s.z = VOXEL{x, y, depth};
}

// An unrotated batch in two passes: the orbit writes where each point lands,
// then the spots are plotted (see spots.h). Coloured by hit count, only the
// last step keeps the depth, as in flathitbatch.
template <int Formula, bool Hits>
[[gnu::noinline]] void makespots(EngineState& s, const Coefficients& k, int n, int np, real scale, real resolution,
                                 real denom, SpotBatch& b)
{
    real x = s.z.x, y = s.z.y, depth = s.z.z;
    for (int i = 0; i < batchsteps; ++i) {
        if (Hits && i + 1 < batchsteps) {
            real unread = 0;
            advance<Formula>(x, y, unread, k, n, np);
        } else {
            advance<Formula>(x, y, depth, k, n, np);
            if constexpr (!Hits)
                b.depth[i] = depth;
        }
        b.spot[i] = spotof(x, y, scale, resolution, denom);
    }
    s.z = VOXEL{x, y, depth};
}

// An unrotated batch with a second thread to plot it: that thread projects
// and plots this batch's points while this one makes the next batch's, which
// the next batch takes when nothing that decides the orbit changed in between.
// The orbit, which no thread can share, then does nothing else, and the
// plotting reads points finished a batch before, never lines the orbit is
// still writing. False, with nothing done, when the memory for the points
// cannot be had.
template <int Formula>
[[gnu::noinline]] bool flataheadbatch(RenderContext& ctx, EngineState& s, const Coefficients& k, int n, int np,
                                      const Projection& onto, bool hits)
{
    const auto make = [&](OrbitAhead& points, const VOXEL& from) {
        if (hits)
            makeorbitahead<Formula, false>(points, from, s.type, k, n, np);
        else
            makeorbitahead<Formula, true>(points, from, s.type, k, n, np);
    };
    std::unique_ptr<OrbitAhead> current = orbitbuffer(s.orbitahead);
    std::unique_ptr<OrbitAhead> next = orbitbuffer(s.orbitspare);
    if (!current || !next) {
        s.orbitahead = std::move(current);
        s.orbitspare = std::move(next);
        return false;
    }
    if (!standsfor(*current, s, k, n, np, !hits))
        make(*current, s.z);
    const VOXEL last = current->point[batchsteps - 1];
    // Whichever thread comes first plots: the second when it is free, else
    // this one once the next batch is made.
    std::atomic<bool> claimed{false};
    const auto plot = [&] {
        if (!claimed.exchange(true))
            plotpoints(s, current->point, onto, hits);
    };
    ctx.workers.run([&](int index) {
        if (index == 0) {
            make(*next, last);
            plot();
        } else if (index == 1) {
            plot();
        }
    });
    s.z = last;
    s.orbitahead = std::move(next);
    s.orbitspare = std::move(current);
    return true;
}

// The orbit's next `count` points from s's, as every render-mode step makes
// them.
template <int Formula>
void advancepoints(EngineState& s, VOXEL* points, int count)
{
    const Coefficients k = workingcoefficients(s);
    const int n = s.icon[s.type].n;
    const int np = s.np;
    real x = s.z.x, y = s.z.y, depth = s.z.z;
    for (int i = 0; i < count; ++i) {
        advance<Formula>(x, y, depth, k, n, np);
        points[i] = VOXEL{x, y, depth};
    }
    s.z = VOXEL{x, y, depth};
}

// From this side up, the hit counts and pixels a batch touches are mostly
// out of cache: plotting apart from the orbit wins even on one thread, and
// with a second thread the plotting costs the orbit nothing. Below, plotting
// is too small a share of a step to pay for handing it over.
constexpr int apartfromside = 1000;

template <int Formula>
void batch(RenderContext& ctx, EngineState& s, FlatPlotting how)
{
    const ICON& set = s.icon[s.type];
    const int n = set.n;
    if (s.newimage)
        setupimage<Formula>(s, n, set.p);

    const Coefficients k = workingcoefficients(s);
    const int np = s.np;
    const real scale = set.scale;
    const real resolution = s.res;
    const real denom = s.denom[Formula];
    // The first batch of an image plots nothing, and a turned point that is
    // not plotted has no effect.
    const bool plotting = !s.newimage;
    if (plotting && rotationactive(s.rot[s.type])) {
        rotatedbatch<Formula>(ctx, s, k, n, np, scale, resolution, denom);
        return;
    }

    // Today's flat paths drop the depth of hit-coloured points for speed.
    if (plotting && s.depthsum && s.cmethod == 0) {
        flatdepthbatch<Formula>(s, k, n, np, scale, resolution, denom);
        return;
    }

    const bool parallel = ctx.workers.threads() > 1 && !Workers::withinjob();
    if (how == FlatPlotting::automatic)
        how = s.res >= apartfromside ? FlatPlotting::apart : FlatPlotting::interleaved;
    if (plotting && how == FlatPlotting::apart) {
        const bool hits = s.cmethod == 0;
        if (parallel && flataheadbatch<Formula>(ctx, s, k, n, np, Projection{scale, resolution, denom}, hits))
            return;
        SpotBatch b;
        if (hits)
            makespots<Formula, true>(s, k, n, np, scale, resolution, denom, b);
        else
            makespots<Formula, false>(s, k, n, np, scale, resolution, denom, b);
        plotspots(s, b, hits);
        return;
    }

    if (plotting && s.cmethod == 0)
        flathitbatch<Formula>(s, k, n, np, scale, resolution, denom);
    else
        flatbatch<Formula>(s, k, n, np, scale, resolution, denom, plotting);
}

} // namespace

int icon1(EngineState& s, VOXEL* z, int n, int p, int i)
{
    return formulacall<0>(s, z, n, p, i);
}

int icon2(EngineState& s, VOXEL* z, int n, int p, int i)
{
    return formulacall<1>(s, z, n, p, i);
}

void renderbatch(RenderContext& ctx, EngineState& s, FlatPlotting how)
{
    withformula(s.type, [&]<class F>(F) { batch<F::index>(ctx, s, how); });
}

void setupimage(EngineState& s)
{
    const ICON& set = s.icon[s.type];
    withformula(s.type, [&]<class F>(F) { setupimage<F::index>(s, set.n, set.p); });
}

void advanceorbit(EngineState& s, VOXEL* points, int count)
{
    withformula(s.type, [&]<class F>(F) { advancepoints<F::index>(s, points, count); });
}

void plotturned(EngineState& s, const VOXEL& turned, real depth)
{
    projectandplot(s, turned, static_cast<real>(s.icon[s.type].scale), static_cast<real>(s.res), s.denom[s.type],
                   depth);
}

void plotturneddepth(EngineState& s, const VOXEL& turned)
{
    const Spot spot = spotofturned(s, turned);
    if (spot.column >= 0)
        plothitdepth(s, spot.column, spot.row, turned.z);
}

Spot spotofturned(const EngineState& s, const VOXEL& turned)
{
    return spotof(turned.x, turned.y, static_cast<real>(s.icon[s.type].scale), static_cast<real>(s.res),
                  s.denom[s.type]);
}

} // namespace kt
