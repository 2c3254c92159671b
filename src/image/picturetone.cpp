#include "image/picturetone.h"

namespace kt {

namespace {

std::uint32_t byte(std::uint16_t v)
{
    return (v * 255u + 32767) / 65535;
}

} // namespace

DeepImage tonepicture(RenderContext& ctx, const EngineState& s, const Picture& p)
{
    const ToneSettings settings{p.brightness, p.gamma, p.transparent};
    const float* depths = p.tone == Tone::depth ? s.depthsum.get() : nullptr;
    return tonemap(ctx, HitGrid{s.hitcount.get(), s.res, depths}, ToneFrame{p.width, p.height, p.supersample},
                   s.palette, s.back, settings);
}

void copytoned(const DeepImage& picture, Surface& image)
{
    std::uint32_t* pixels = image.bits();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint16_t* v = &picture.rgba[4 * (static_cast<std::size_t>(y) * picture.width + x)];
            pixels[static_cast<std::size_t>(y) * image.width() + x] = byte(v[3]) << 24 | byte(v[0]) << 16 |
                byte(v[1]) << 8 | byte(v[2]);
        }
}

bool tonesurface(RenderContext& ctx, const EngineState& s, const Picture& p, Surface& image)
{
    const DeepImage picture = tonepicture(ctx, s, p);
    if (picture.width != image.width() || picture.height != image.height())
        return false;
    copytoned(picture, image);
    return true;
}

} // namespace kt
