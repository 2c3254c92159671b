#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/driver.h"
#include "engine/formulas.h"
#include "engine/enginestate.h"
#include "engine/rendercontext.h"
#include "image/palettes.h"
#include "image/tonemap.h"

namespace kt {
namespace {

constexpr int side = 300;

// Built-in set 1 rendered with depth sums, then depth-toned through the grey
// palette onto no ground: each hit pixel's grey is its place in the depth
// range, from 0 (nearest) to 1.
struct Places {
    std::vector<double> place; // -1 where nothing was hit
    DeepImage image;
};

Places render(const VOXEL& angles, int threads = processorcount())
{
    RenderContext ctx(threads);
    EngineState s;
    s.res = side;
    s.depthsums = true;
    s.rot[0] = angles;
    for (int k = 0; k < 400; ++k)
        EXPECT_EQ(imagebatch(ctx, s), 0);
    EXPECT_TRUE(s.depthsum);
    Places out;
    out.image = tonemap(ctx, HitGrid{s.hitcount.get(), side, s.depthsum.get()}, ToneFrame{side, side, 1},
                        *namedpalette("grey"), RGB(0, 0, 0), ToneSettings{1.0, 1.0, true});
    out.place.assign(static_cast<std::size_t>(side) * side, -1);
    for (std::size_t k = 0; k < out.place.size(); ++k)
        if (out.image.rgba[4 * k + 3] > 0) {
            // Entries 1 to 255 span the range; grey entry e is e / 255.
            const double entry = out.image.rgba[4 * k] / 65535.0 * 255;
            out.place[k] = (entry - 1) / 254;
        }
    return out;
}

// The mean place of the hit pixels whose (column, row) `within` takes.
template <typename Within>
double meanplace(const Places& p, Within within)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double place = p.place[static_cast<std::size_t>(y) * side + x];
            if (place >= 0 && within(x, y)) {
                sum += place;
                ++count;
            }
        }
    EXPECT_GT(count, 100);
    return sum / count;
}

TEST(DepthTone, ATurnedIconsNearAndFarSidesDifferInColour)
{
    // Tipped back about X, the icon's upper rows on the picture lie at the
    // other end of the view's depth from its lower rows.
    const Places tipped = render(VOXEL{60, 0, 0});
    int top = side, bottom = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (tipped.place[static_cast<std::size_t>(y) * side + x] >= 0) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    const int third = (bottom - top) / 3;
    const double upper = meanplace(tipped, [&](int, int y) { return y < top + third; });
    const double lower = meanplace(tipped, [&](int, int y) { return y > bottom - third; });
    EXPECT_GE(std::abs(upper - lower), 0.25) << upper << " against " << lower;
}

TEST(DepthTone, UnturnedThePlaceGrowsWithTheOrbitsThirdCoordinate)
{
    // Unturned, a point's depth is the orbit's third coordinate, |z|^2 - 1/2
    // of the point before it: the same orbit is followed here to find each
    // pixel's mean of it, apart from the plotting.
    EngineState orbit;
    orbit.res = side;
    loadorbit(orbit, orbit.icon[0]);
    setupimage(orbit);
    std::vector<VOXEL> points(batchsteps);
    advanceorbit(orbit, points.data(), batchsteps); // the unplotted first batch
    std::vector<double> sum(static_cast<std::size_t>(side) * side), count(sum.size());
    for (int batch = 1; batch < 400; ++batch) {
        advanceorbit(orbit, points.data(), batchsteps);
        for (const VOXEL& point : points) {
            const Spot spot = spotofturned(orbit, point);
            if (spot.column < 0)
                continue;
            sum[static_cast<std::size_t>(spot.row) * side + spot.column] += static_cast<double>(point.z);
            count[static_cast<std::size_t>(spot.row) * side + spot.column] += 1;
        }
    }
    const Places flat = render(VOXEL{0, 0, 0});
    // The hit pixels in four equal bands of that mean depth, nearest first.
    double low = INFINITY, high = -INFINITY;
    for (std::size_t k = 0; k < sum.size(); ++k)
        if (count[k] > 0) {
            low = std::min(low, sum[k] / count[k]);
            high = std::max(high, sum[k] / count[k]);
        }
    const auto band = [&](int x, int y) {
        const std::size_t k = static_cast<std::size_t>(y) * side + x;
        return count[k] > 0 ? std::min(3, static_cast<int>((sum[k] / count[k] - low) * 4 / (high - low))) : -1;
    };
    double nearer = -1;
    for (int b = 0; b < 4; ++b) {
        const double place = meanplace(flat, [&](int x, int y) { return band(x, y) == b; });
        EXPECT_GT(place, nearer) << "band " << b;
        nearer = place;
    }
}

TEST(DepthTone, EveryThreadCountGivesTheSamePicture)
{
    const DeepImage one = render(VOXEL{30, 40, 0}, 1).image;
    for (int threads : {2, 3, 8})
        EXPECT_EQ(render(VOXEL{30, 40, 0}, threads).image.rgba, one.rgba) << threads << " threads";
}

} // namespace
} // namespace kt
