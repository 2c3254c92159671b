#include "files/png.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <vector>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

int writepng(const Surface& image, const std::string& path, bool withalpha)
{
    png_image description;
    std::memset(&description, 0, sizeof description);
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width());
    description.height = static_cast<png_uint_32>(image.height());
    description.format = withalpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const std::size_t channels = withalpha ? 4 : 3;

    std::vector<png_byte> rgb;
    std::unique_ptr<png_byte[]> encoded;
    try {
        rgb.resize(channels * image.width() * image.height());
    } catch (const std::bad_alloc&) {
        return savenomemory;
    }
    const std::uint32_t* pixels = image.bits();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * image.width() + x;
            const COLORREF colour = Surface::fromNative(pixels[at]);
            png_byte* pixel = &rgb[channels * at];
            pixel[0] = static_cast<png_byte>(GetRValue(colour));
            pixel[1] = static_cast<png_byte>(GetGValue(colour));
            pixel[2] = static_cast<png_byte>(GetBValue(colour));
            if (withalpha)
                pixel[3] = static_cast<png_byte>(pixels[at] >> 24);
        }
    }

    // Compressed once, into a buffer as large as any PNG of this image can
    // be; should a zlib ever exceed the bound, the call says what it needs.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(description);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            encoded = std::make_unique_for_overwrite<png_byte[]>(size);
        } catch (const std::bad_alloc&) {
            return savenomemory;
        }
        const png_alloc_size_t room = size;
        if (png_image_write_to_memory(&description, encoded.get(), &size, 0, rgb.data(), 0, nullptr))
            break;
        if (size <= room || attempt == 1)
            return savenomemory;
        png_image_free(&description);
        description.warning_or_error = 0;
    }

    AtomicFile out(path);
    if (!out.open())
        return saveopenfailed;
    if (!out.write(encoded.get(), size) || !out.commit())
        return savewritefailed;
    return savedone;
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
