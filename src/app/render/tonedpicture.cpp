#include "app/render/tonedpicture.h"

#include "engine/filenames.h"
#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "files/tga.h"
#include "image/tonemap.h"

namespace kt {

int writetoned(const EngineState& s, const RenderOptions& o, const std::string& path)
{
    const ToneSettings settings{o.brightness, o.gamma, o.transparent};
    const DeepImage toned = tonemap(HitGrid{s.hitcount.get(), s.res},
                                    ToneFrame{framewidth(o), frameheight(o), o.supersample}, s.palette, s.back, settings);
    if (toned.width == 0)
        return savenomemory;
    if (o.depth == 16 || o.transparent)
        return writepngsamples(PngSamples{toned.rgba.data(), toned.width, toned.height, o.depth, o.transparent}, path);

    const auto image = Surface::create(toned.width, toned.height);
    if (!image)
        return savenomemory;
    const auto byte = [](std::uint16_t v) { return static_cast<int>((v * 255u + 32767) / 65535); };
    for (int y = 0; y < toned.height; ++y)
        for (int x = 0; x < toned.width; ++x) {
            const std::uint16_t* p = &toned.rgba[4 * (static_cast<std::size_t>(y) * toned.width + x)];
            image->setpixel(x, y, RGB(byte(p[0]), byte(p[1]), byte(p[2])));
        }
    if (imageformat(path) == ImageFormat::tga) {
        filenames.tgafile = path;
        return writetga(image.get());
    }
    return writepng(*image, path);
}

} // namespace kt
