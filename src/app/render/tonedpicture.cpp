#include "app/render/tonedpicture.h"

#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "files/tga.h"
#include "image/tonemap.h"

namespace kt {

namespace {

DeepImage toned(const EngineState& s, const RenderOptions& o)
{
    const ToneSettings settings{o.brightness, o.gamma, o.transparent};
    const float* depths = o.depthtone ? s.depthsum.get() : nullptr;
    return tonemap(HitGrid{s.hitcount.get(), s.res, depths}, ToneFrame{framewidth(o), frameheight(o), o.supersample},
                   s.palette, s.back, settings);
}

std::uint32_t byte(std::uint16_t v)
{
    return (v * 255u + 32767) / 65535;
}

void copy(const DeepImage& picture, Surface& image)
{
    std::uint32_t* pixels = image.bits();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint16_t* p = &picture.rgba[4 * (static_cast<std::size_t>(y) * picture.width + x)];
            pixels[static_cast<std::size_t>(y) * image.width() + x] = byte(p[3]) << 24 | byte(p[0]) << 16 |
                byte(p[1]) << 8 | byte(p[2]);
        }
}

} // namespace

bool tonesurface(const EngineState& s, const RenderOptions& o, Surface& image)
{
    const DeepImage picture = toned(s, o);
    if (picture.width != image.width() || picture.height != image.height())
        return false;
    copy(picture, image);
    return true;
}

int writetoned(const EngineState& s, const RenderOptions& o, const std::string& path)
{
    const DeepImage picture = toned(s, o);
    if (picture.width == 0)
        return savenomemory;
    if (o.depth == 16 || o.transparent)
        return writepngsamples(PngSamples{picture.rgba.data(), picture.width, picture.height, o.depth, o.transparent},
                               path);

    const auto image = Surface::create(picture.width, picture.height);
    if (!image)
        return savenomemory;
    copy(picture, *image);
    if (imageformat(path) == ImageFormat::tga)
        return writetga(*image, path);
    return writepng(*image, path);
}

} // namespace kt
