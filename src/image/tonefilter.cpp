#include "image/tonefilter.h"

#include <algorithm>

#include "image/filters.h"
#include "image/tonemap.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

int tonefilter(RenderContext& ctx, const EngineState& s, Surface* image, bool bydepth, ToneSettings settings)
{
    if (s.itercount < batchsteps)
        return filtertoofew;
    if (s.cmethod != 0)
        return filternothitcount;
    if (s.hitmax == 0)
        return filternothingtoscale;
    if (!image || !s.hitcount || s.hcres != s.res)
        return filtertonenomemory;
    if (bydepth && !s.depthsum)
        return filternodepths;
    const float* depths = bydepth ? s.depthsum.get() : nullptr;
    settings.transparent = false;
    const DeepImage toned = tonemap(ctx, HitGrid{s.hitcount.get(), s.res, depths}, ToneFrame{s.res, s.res, 1},
                                    s.palette, s.back, settings);
    if (toned.width == 0)
        return filtertonenomemory;
    const int width = std::min(image->width(), toned.width);
    const int height = std::min(image->height(), toned.height);
    const auto byte = [](std::uint16_t v) { return static_cast<std::uint32_t>((v * 255u + 32767) / 65535); };
    std::uint32_t* pixels = image->bits();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint16_t* p = &toned.rgba[4 * (static_cast<std::size_t>(y) * toned.width + x)];
            pixels[static_cast<std::size_t>(y) * image->width() + x] = Surface::toNative(
                RGB(byte(p[0]), byte(p[1]), byte(p[2])));
        }
    return filterdone;
}

} // namespace

int densitytonefilter(RenderContext& ctx, EngineState& s, const ToneSettings& settings)
{
    return tonefilter(ctx, s, s.g_vhdc, false, settings);
}

int densitytoneinto(RenderContext& ctx, const EngineState& s, Surface& image, const ToneSettings& settings)
{
    return tonefilter(ctx, s, &image, false, settings);
}

int depthtonefilter(RenderContext& ctx, EngineState& s, const ToneSettings& settings)
{
    return tonefilter(ctx, s, s.g_vhdc, true, settings);
}

} // namespace kt
