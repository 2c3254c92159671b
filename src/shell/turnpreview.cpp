#include "shell/turnpreview.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/orbitsource.h"
#include "engine/palette.h"
#include "engine/rotation.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

// Points taken from the orbits at a time: tens of steps of every orbit for
// each wake-up of the threads, a few megabytes written while the memory the
// preview grows into them is still in the cache.
constexpr std::size_t takenbatch = std::size_t{1} << 18;

bool sameorbit(const ICON& a, const ICON& b)
{
    // The scale only places the orbit on the picture.
    ICON x = a, y = b;
    x.scale = y.scale = 0;
    return std::memcmp(&x, &y, sizeof x) == 0;
}

} // namespace

void TurnPreview::take(RenderContext& ctx, const EngineState& s)
{
    const std::size_t wanted = pointsfor(s);
    if (takentype_ == s.type && sameorbit(takenset_, s.icon[s.type]) && orbit_.size() == wanted)
        return;
    if (!takepoints(ctx, s, wanted))
        orbit_.clear();
    takenset_ = s.icon[s.type];
    takentype_ = s.type;
}

bool TurnPreview::takepoints(RenderContext& ctx, const EngineState& s, std::size_t wanted)
{
    ManyOrbits source;
    try {
        orbit_.clear();
        orbit_.reserve(wanted);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!source.start(ctx, s, orbits_))
        return false;
    while (orbit_.size() < wanted) {
        const std::size_t taken = orbit_.size();
        const std::size_t count = std::min(wanted - taken, takenbatch);
        orbit_.resize(taken + count);
        source.next(orbit_.data() + taken, static_cast<int>(count));
    }
    return true;
}

void TurnPreview::draw(RenderContext& ctx, const EngineState& s, const VOXEL& angles, double scale, Surface& image)
{
    // A turn is linear: the engine's own turn of the axes' unit vectors gives
    // its matrix, so the preview turns the way the render will.
    const RotationPlan plan = planrotation(angles, s.rotationorder);
    const VOXEL columns[3] = {rotated(VOXEL{1, 0, 0}, plan), rotated(VOXEL{0, 1, 0}, plan),
                              rotated(VOXEL{0, 0, 1}, plan)};
    double m[2][3];
    for (int c = 0; c < 3; ++c) {
        m[0][c] = static_cast<double>(columns[c].x);
        m[1][c] = static_cast<double>(columns[c].y);
    }
    const int res = s.res;
    const double toplot = res / (scale * 2);
    const std::size_t count = orbit_.size();
    const std::size_t pixels = static_cast<std::size_t>(res) * res;
    const int parts = std::max(1, ctx.workers.threads());
    // Each part counts its points into counts of its own; whole numbers add
    // up the same in any order, so the picture is the same on any number of
    // threads, and shared out, every part is drawn even when this runs
    // within another job, where only the calling thread works.
    parthits_.resize(static_cast<std::size_t>(parts));
    ctx.workers.shareout(parts, [&](int index) {
        std::vector<std::uint32_t>& hits = parthits_[static_cast<std::size_t>(index)];
        hits.assign(pixels, 0);
        const std::size_t from = count * static_cast<std::size_t>(index) / static_cast<std::size_t>(parts);
        const std::size_t to = count * static_cast<std::size_t>(index + 1) / static_cast<std::size_t>(parts);
        for (std::size_t i = from; i < to; ++i) {
            const auto& p = orbit_[i];
            const double x = ((m[0][0] * p[0] + m[0][1] * p[1] + m[0][2] * p[2]) + scale) * toplot;
            const double y = ((m[1][0] * p[0] + m[1][1] * p[1] + m[1][2] * p[2]) + scale) * toplot;
            if (x >= 0 && x < res && y >= 0 && y < res)
                ++hits[static_cast<std::size_t>(static_cast<std::int32_t>(y)) * res + static_cast<std::int32_t>(x)];
        }
    });
    hits_.assign(pixels, 0);
    for (const std::vector<std::uint32_t>& part : parthits_)
        for (std::size_t k = 0; k < part.size(); ++k)
            hits_[k] += part[k];
    image.fill(RECT{0, 0, res, res}, s.back);
    for (int y = 0; y < res; ++y)
        for (int x = 0; x < res; ++x)
            if (const std::uint32_t h = hits_[static_cast<std::size_t>(y) * res + x])
                image.setpixel(x, y, palettecolour(s.palette, std::min<std::uint32_t>(h, 255)));
}

} // namespace kt
