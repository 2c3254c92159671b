#include "files/pngsamples.h"

#include "files/pngencoder.h"

namespace kt {

int writepngsamples(RenderContext& ctx, const PngSamples& picture, const std::string& path)
{
    const int channels = picture.withalpha ? 4 : 3;
    const PngLayout layout{picture.width, picture.height, picture.depth, channels, true};
    return writepngfile(
        ctx, layout,
        [&](int y, std::uint8_t* out) {
            const std::uint16_t* line = picture.rgba + 4 * static_cast<std::size_t>(y) * picture.width;
            for (int x = 0; x < picture.width; ++x)
                for (int c = 0; c < channels; ++c) {
                    const unsigned value = line[4 * x + c];
                    if (picture.depth == 16) {
                        // PNG stores the high byte first.
                        *out++ = static_cast<std::uint8_t>(value >> 8);
                        *out++ = static_cast<std::uint8_t>(value & 0xFF);
                    } else {
                        *out++ = static_cast<std::uint8_t>((value * 255 + 32767) / 65535);
                    }
                }
        },
        path);
}

} // namespace kt
