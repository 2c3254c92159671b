#pragma once
// A quick picture of the current set at other angles or another scale, while
// the user turns or zooms it with the mouse: one stretch of the orbit, taken
// once, turned in double precision on every processor and plotted by hit
// count. It only approximates the render that follows.
#include <array>
#include <cstdint>
#include <vector>

#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"

namespace kt {

class TurnPreview {
public:
    // Orbit points a preview is drawn from.
    static constexpr int points = 250000;

    // Takes the orbit of s's set, unless it has it already.
    void take(const EngineState& s);
    // Draws the orbit turned by `angles` (in s's order) and seen at `scale`
    // onto `image`, res x res, in s's palette and background.
    void draw(RenderContext& ctx, const EngineState& s, const VOXEL& angles, double scale, Surface& image);

private:
    std::vector<std::array<double, 3>> orbit_;
    ICON takenset_{};
    int takentype_ = -1;
    std::vector<std::int32_t> pixel_; // per point: where it lands, or -1
    std::vector<std::uint32_t> hits_;
};

} // namespace kt
