#pragma once
// A quick picture of the current set at other angles or another scale, while
// the user turns or zooms it with the mouse: points of many orbits, taken
// once for the set, turned in double precision on every processor and
// plotted by hit count, ten for every pixel of the picture. It approximates
// the render that follows as any picture of as many steps would.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"

namespace kt {

class TurnPreview {
public:
    // Orbits the points come from, and the most points taken: a larger
    // picture's preview has fewer for each pixel.
    static constexpr int orbits = 4096;
    static constexpr std::size_t mostpoints = 4000000;
    static constexpr std::size_t pointsfor(int res)
    {
        return std::min<std::size_t>(mostpoints, 10 * static_cast<std::size_t>(res) * res);
    }

    // Takes points of s's set, unless it has them already.
    void take(RenderContext& ctx, const EngineState& s);
    // Draws the orbit turned by `angles` (in s's order) and seen at `scale`
    // onto `image`, res x res, in s's palette and background.
    void draw(RenderContext& ctx, const EngineState& s, const VOXEL& angles, double scale, Surface& image);

private:
    std::vector<std::array<double, 3>> orbit_;
    ICON takenset_{};
    int takentype_ = -1;
    std::vector<std::vector<std::uint32_t>> parthits_; // each thread's counts
    std::vector<std::uint32_t> hits_;
};

} // namespace kt
