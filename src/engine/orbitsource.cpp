#include "engine/orbitsource.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "engine/formulas.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// The first batch of a new image is passed a piece at a time, so that no
// buffer need be had for points nobody reads.
constexpr int passedpiece = 100;
static_assert(batchsteps % passedpiece == 0);

// The most steps of the many orbits stepped in one job of the workers: few
// wake-ups for a large batch. The points kept of one piece are bounded too,
// so that near a million orbits a piece is a step or a few, not gigabytes.
constexpr int mostpiecesteps = 256;
constexpr std::size_t mostpiecepoints = std::size_t{1} << 20;

} // namespace

ExactOrbit::ExactOrbit(EngineState& s, OrbitStart start) : s_(s)
{
    if (start == OrbitStart::here)
        return;
    loadorbit(s, s.icon[s.type]);
    setupimage(s);
    VOXEL passed[passedpiece];
    for (int i = 0; i < batchsteps; i += passedpiece)
        advanceorbit(s, passed, passedpiece);
}

void ExactOrbit::next(VOXEL* points, int count)
{
    advanceorbit(s_, points, count);
}

bool ManyOrbits::start(RenderContext& ctx, const EngineState& set, int orbits)
{
    EngineState s(set);
    ctx_ = nullptr;
    // No lanes to lay out: the source has nothing to hand out.
    if (orbits < 1 || orbits > maxorbits)
        return false;
    plan_ = planorbits(orbits, s.res);
    keptsteps_ = step_ = orbit_ = 0;
    const std::size_t lanes = static_cast<std::size_t>(plan_.lanes);
    piecesteps_ = static_cast<int>(std::clamp<std::size_t>(mostpiecepoints / lanes, 1, mostpiecesteps));
    try {
        kept_.resize(static_cast<std::size_t>(piecesteps_) * lanes);
    } catch (const std::bad_alloc&) {
        kept_ = {};
        return false;
    }
    if (!startorbits(ctx, s, plan_, orbits_, formula_, view_)) {
        kept_ = {};
        return false;
    }
    ctx_ = &ctx;
    return true;
}

void ManyOrbits::next(VOXEL* points, int count)
{
    handout(points, count, [](const std::array<double, 3>* from, std::size_t n, VOXEL* to) {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = VOXEL{from[i][0], from[i][1], from[i][2]};
    });
}

void ManyOrbits::next(std::array<double, 3>* points, int count)
{
    handout(points, count, [](const std::array<double, 3>* from, std::size_t n, std::array<double, 3>* to) {
        std::copy(from, from + n, to);
    });
}

// Whole runs of one step's orbits at a time, copied by `copy`.
template <typename Point, typename Copy>
void ManyOrbits::handout(Point* points, int count, const Copy& copy)
{
    if (!ctx_)
        return;
    const std::size_t lanes = static_cast<std::size_t>(plan_.lanes);
    for (int i = 0; i < count;) {
        if (step_ == keptsteps_) {
            // Enough steps for the rest of the batch, so that a batch of
            // whole steps leaves none stepped in vain.
            const int rest = (count - i + plan_.orbits - 1) / plan_.orbits;
            steppiece(std::min(rest, piecesteps_));
        }
        const int run = std::min(count - i, plan_.orbits - orbit_);
        copy(&kept_[static_cast<std::size_t>(step_) * lanes + static_cast<std::size_t>(orbit_)],
             static_cast<std::size_t>(run), points + i);
        i += run;
        orbit_ += run;
        if (orbit_ == plan_.orbits) {
            orbit_ = 0;
            ++step_;
        }
    }
}

// Each chunk takes the piece's steps in one job and keeps its lanes' points
// after every step, so that the threads are woken once a piece.
void ManyOrbits::steppiece(int steps)
{
    const std::size_t lanes = static_cast<std::size_t>(plan_.lanes);
    ctx_->workers.shareout(plan_.chunks, [&](int c) {
        const Lanes chunk = chunkof(plan_, orbits_, c);
        const std::size_t first = static_cast<std::size_t>(c) * static_cast<std::size_t>(plan_.chunklanes);
        const std::size_t width = static_cast<std::size_t>(chunk.groups) * lanewidth;
        for (int r = 0; r < steps; ++r) {
            steplanes(formula_, view_, chunk, 1, LaneSpots{nullptr, nullptr});
            std::array<double, 3>* row = &kept_[static_cast<std::size_t>(r) * lanes + first];
            for (std::size_t l = 0; l < width; ++l)
                row[l] = {chunk.x[l], chunk.y[l], chunk.z[l]};
        }
    });
    keptsteps_ = steps;
    step_ = 0;
}

} // namespace kt
