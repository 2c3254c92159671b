#pragma once
// A quick picture of the current set at other angles or another scale, while
// the user turns or zooms it with the mouse: points of many orbits, taken
// once for the set, turned in double precision on every processor and
// plotted by hit count, ten for every pixel of the picture. It approximates
// the render that follows as any picture of as many steps would.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "base/surface.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"

namespace kt {

class TurnPreview {
public:
    // Points of `orbits` orbits, `stepsperpixel` for each pixel of the
    // picture, at most `mostpoints`: a larger picture's preview has fewer.
    TurnPreview() = default;
    TurnPreview(int orbits, double stepsperpixel, std::size_t mostpoints)
        : orbits_(orbits), stepsperpixel_(stepsperpixel), mostpoints_(mostpoints)
    {
    }
    // A set of high degree steps slowly: it gets fewer, so that its preview
    // comes as soon as a simple one's.
    std::size_t pointsfor(const EngineState& s) const
    {
        const ICON& set = s.icon[s.type];
        const double cost = std::max(1.0, (std::abs(set.n) + std::abs(set.n * (s.type == 1 ? set.p : 0))) / 16.0);
        const double wanted = stepsperpixel_ * static_cast<double>(s.res) * s.res / cost;
        return std::min(mostpoints_, static_cast<std::size_t>(wanted));
    }

    // Takes points of s's set, unless it has them already.
    void take(RenderContext& ctx, const EngineState& s);
    // Draws the orbit turned by `angles` (in s's order) and seen at `scale`
    // onto `image`, res x res, in s's palette and background.
    void draw(RenderContext& ctx, const EngineState& s, const VOXEL& angles, double scale, Surface& image);

private:
    // orbit_ holds `wanted` points of s's set; false without the memory.
    bool takepoints(RenderContext& ctx, const EngineState& s, std::size_t wanted);

    int orbits_ = 4096;
    double stepsperpixel_ = 10;
    std::size_t mostpoints_ = 4000000;
    std::vector<std::array<double, 3>> orbit_;
    ICON takenset_{};
    int takentype_ = -1;
    std::vector<std::vector<std::uint32_t>> parthits_; // each thread's counts
    std::vector<std::uint32_t> hits_;
};

} // namespace kt
