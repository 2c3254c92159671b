#pragma once
// One orbit seen from many angles: the frames of a full turn about one axis,
// each the very picture that a single render at its angles makes.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/enginestate.h"
#include "engine/rotation.h"
#include "base/surface.h"

namespace kt {

class RenderContext;

constexpr int minturntableframes = 2;
constexpr int maxturntableframes = 720;

// The angles of frame `frame` (0-based) of `frames`: the spin axis's angle
// increased by 360 frame / frames degrees and brought back into [0, 360)
// (so a turn that ends on 360 gives 0), the other two kept.
VOXEL turntableangles(const VOXEL& angles, Axis spin, int frame, int frames);

// One frame's engine state and picture: a copy of a set-up state (set,
// colouring, palette, background, size, order) at the frame's angles, due to
// start a new image.
class alignas(64) TurntableFrame {
public:
    TurntableFrame(const EngineState& setup, Axis spin, int frame, int frames);
    TurntableFrame(const TurntableFrame&) = delete;
    TurntableFrame& operator=(const TurntableFrame&) = delete;

    // Whether the picture could be had (the hit counts come with the first batch).
    bool allocated() const { return image != nullptr; }

    EngineState state;
    std::unique_ptr<Surface> image;
};

using TurntableFrames = std::vector<std::unique_ptr<TurntableFrame>>;

// Leaves every frame as `batches` imagebatch calls on it would, all frames
// sharing one orbit: the turns before the spin axis and the spin pair's polar
// form are worked out once per point, the rest once per frame, and the frames
// are shared out among the worker threads. The frames must differ only in the
// spin axis's angle. progress(steps of the orbit done) is called on this
// thread. false when a hit-count buffer cannot be had.
bool renderturntable(RenderContext& ctx, TurntableFrames& frames, Axis spin, std::uint64_t batches,
                     const std::function<void(std::uint64_t)>& progress);

} // namespace kt
