#pragma once
// Where the points of an orbit come from, a batch at a time: the exact orbit
// in 80 bits, or many orbits in doubles, which widen into the same VOXEL
// exactly. Work that only wants the points (the turntable, the framing of
// the exact orbit, the preview a mouse turn shows, the many orbits' starts)
// takes them from a source, whichever it is.
//
// The fused render batches (renderbatch) and the many orbits' rounds of
// lanes (renderorbits, orbitsreach) step their orbits themselves: they turn,
// project and plot each point while it is still in registers, which the
// engine's benchmarks show pays, and a batch handed out would lose.
#include <array>
#include <vector>

#include "engine/enginestate.h"
#include "engine/orbitlanes.h"
#include "engine/orbitstarts.h"

namespace kt {

class RenderContext;

class OrbitSource {
public:
    virtual ~OrbitSource() = default;
    // The next `count` points, in the source's order, into points[].
    virtual void next(VOXEL* points, int count) = 0;
};

// Where the exact orbit starts handing out its points.
enum class OrbitStart {
    here,     // at s's point, with its per-image constants as they stand
    newimage, // where a new image of s's set starts plotting: s's set loaded and
              // its per-image constants set up, the first batch passed by
};

// The exact orbit of s's set in render mode, stepped on s as advanceorbit
// steps it: s's point moves with every batch.
class ExactOrbit final : public OrbitSource {
public:
    explicit ExactOrbit(EngineState& s, OrbitStart start = OrbitStart::here);
    void next(VOXEL* points, int count) override;

private:
    EngineState& s_;
};

// Many orbits of a set in doubles, started and warmed up as renderorbits
// starts them, handed out step by step in the orbits' order: every orbit's
// first point after its warm-up, then every orbit's second, and so on. The
// lanes are stepped on the context's workers, as many steps at a time as a
// batch asks for (up to a limit of steps and of points): the points are the
// same for any batches.
class ManyOrbits final : public OrbitSource {
public:
    // False without the memory for the orbits; the source then hands out
    // nothing.
    bool start(RenderContext& ctx, const EngineState& set, int orbits);
    void next(VOXEL* points, int count) override;
    // The same points in the doubles they are, for work that keeps them so:
    // widened and narrowed again, a preview's millions of them took a third
    // longer to take.
    void next(std::array<double, 3>* points, int count);

private:
    template <typename Point, typename Copy>
    void handout(Point* points, int count, const Copy& copy);
    void steppiece(int steps);

    RenderContext* ctx_ = nullptr;
    OrbitPlan plan_;
    OrbitPoints orbits_;
    LaneFormula formula_;
    LaneView view_;
    // The last piece's points, step by step, lanes after lanes, and where
    // handing them out has got to.
    std::vector<std::array<double, 3>> kept_;
    int piecesteps_ = 0;
    int keptsteps_ = 0;
    int step_ = 0;
    int orbit_ = 0;
};

} // namespace kt
