#pragma once
// Pictures of more than 8 bits a channel, or with an alpha channel, as PNG.
#include <cstdint>
#include <string>

namespace kt {

class RenderContext;

// width x height pixels of red, green, blue and a straight alpha, 16 bits each.
struct PngSamples {
    const std::uint16_t* rgba;
    int width;
    int height;
    int depth;      // 8 or 16 bits a channel in the file
    bool withalpha; // RGBA, or RGB with the alpha left out
};

// 0 or a save-error code; the file it replaces survives any failure.
int writepngsamples(RenderContext& ctx, const PngSamples& picture, const std::string& path);

} // namespace kt
