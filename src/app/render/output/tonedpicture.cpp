#include "app/render/output/tonedpicture.h"

#include "app/render/commandline/renderoptions.h"
#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "files/tga.h"
#include "image/picturetone.h"

namespace kt {

int writetoned(RenderContext& ctx, const EngineState& s, const Picture& p, const std::string& path)
{
    const DeepImage picture = tonepicture(ctx, s, p);
    if (picture.width == 0)
        return savenomemory;
    if (p.depth == 16 || p.transparent)
        return writepngsamples(
            ctx, PngSamples{picture.rgba.data(), picture.width, picture.height, p.depth, p.transparent}, path);

    const auto image = Surface::create(picture.width, picture.height);
    if (!image)
        return savenomemory;
    copytoned(picture, *image);
    if (imageformat(path) == ImageFormat::tga)
        return writetga(ctx, *image, path);
    return writepng(ctx, *image, path);
}

} // namespace kt
