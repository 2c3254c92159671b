#include "files/png.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "files/pngencoder.h"

namespace kt {

int writepng(RenderContext& ctx, const Surface& image, const std::string& path, bool withalpha)
{
    const PngLayout layout{image.width(), image.height(), 8, withalpha ? 4 : 3, false};
    const std::uint32_t* pixels = image.bits();
    return writepngfile(
        ctx, layout,
        [&](int y, std::uint8_t* out) {
            const std::uint32_t* line = pixels + static_cast<std::size_t>(y) * image.width();
            for (int x = 0; x < image.width(); ++x) {
                const COLORREF colour = Surface::fromNative(line[x]);
                *out++ = static_cast<std::uint8_t>(GetRValue(colour));
                *out++ = static_cast<std::uint8_t>(GetGValue(colour));
                *out++ = static_cast<std::uint8_t>(GetBValue(colour));
                if (withalpha)
                    *out++ = static_cast<std::uint8_t>(line[x] >> 24);
            }
        },
        path);
}

bool readpng(const std::string& path, Surface& image)
{
    png_image description;
    std::memset(&description, 0, sizeof description);
    description.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&description, path.c_str()))
        return false;
    // 8-bit output from an 8-bit file is the file's bytes: no gamma or alpha
    // is worked into them.
    if (description.width != static_cast<png_uint_32>(image.width()) ||
        description.height != static_cast<png_uint_32>(image.height()) ||
        (description.format & PNG_FORMAT_FLAG_LINEAR) != 0) {
        png_image_free(&description);
        return false;
    }
    description.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> rgba;
    try {
        rgba.resize(PNG_IMAGE_SIZE(description));
    } catch (const std::bad_alloc&) {
        png_image_free(&description);
        return false;
    }
    if (!png_image_finish_read(&description, nullptr, rgba.data(), 0, nullptr))
        return false;
    std::uint32_t* pixels = image.bits();
    const std::size_t count = static_cast<std::size_t>(image.width()) * image.height();
    for (std::size_t k = 0; k < count; ++k) {
        const png_byte* p = &rgba[4 * k];
        pixels[k] = std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    }
    return true;
}

} // namespace kt
