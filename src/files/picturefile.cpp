#include "files/picturefile.h"

#include <algorithm>
#include <cctype>

#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "files/tga.h"
#include "image/picturetone.h"

namespace kt {

std::optional<ImageFormat> imageformat(const std::string& path)
{
    // A name must have something before its extension.
    if (path.size() <= 4)
        return std::nullopt;
    std::string extension = path.substr(path.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".tga")
        return ImageFormat::tga;
    if (extension == ".png")
        return ImageFormat::png;
    return std::nullopt;
}

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

int writerendered(RenderContext& ctx, const RenderedPicture& r, const std::string& path)
{
    if (r.drawn.tone != Tone::hit)
        return writetoned(ctx, r.state, r.drawn, path);
    if (imageformat(path) == ImageFormat::tga)
        return writetga(ctx, r.image.get(), r.state.res, path);
    return writepng(ctx, *r.image, path);
}

} // namespace kt
