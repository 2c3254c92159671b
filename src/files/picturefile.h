#pragma once
// A rendered picture written as its file's name and its picture ask: TGA or
// 8-bit PNG of the drawn image, or its tone in 8 or 16 bits, transparent
// where it says so. What every program that renders a picture writes.
#include <optional>
#include <string>

#include "engine/enginestate.h"
#include "engine/picture.h"
#include "image/picturerender.h"

namespace kt {

class RenderContext;

enum class ImageFormat { tga, png };

// nullopt for a name that is neither .tga nor .png (case does not matter),
// or that is the extension alone.
std::optional<ImageFormat> imageformat(const std::string& path);

// A drawn picture's tone: savedone, a save-error code, or savenomemory when
// the picture itself cannot be had.
int writetoned(RenderContext& ctx, const EngineState& s, const Picture& p, const std::string& path);

// The picture as drawn, through its tone when it has one.
int writerendered(RenderContext& ctx, const RenderedPicture& r, const std::string& path);

} // namespace kt
