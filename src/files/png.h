#pragma once
// The picture as an 8-bit PNG file, and back.
#include <string>

#include "base/surface.h"

namespace kt {

class RenderContext;

// RGB, or RGBA with the pixels' top byte as a straight alpha when `withalpha`:
// an animation's frame kept aside to be encoded later must come back as it
// was, alpha and all.
// 0 or a save-error code; the file it replaces survives any failure.
int writepng(RenderContext& ctx, const Surface& image, const std::string& path, bool withalpha = false);

// Fills `image` from an 8-bit PNG file of its size, as writepng wrote it (an
// RGB file reads as opaque); false when the file cannot be read or is of
// another size.
bool readpng(const std::string& path, Surface& image);

} // namespace kt
