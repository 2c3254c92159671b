#include "files/png.h"

#include <png.h>

#include <cstring>
#include <memory>
#include <vector>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

int writepng(const Surface& image, const std::string& path)
{
    png_image description;
    std::memset(&description, 0, sizeof description);
    description.version = PNG_IMAGE_VERSION;
    description.width = static_cast<png_uint_32>(image.width());
    description.height = static_cast<png_uint_32>(image.height());
    description.format = PNG_FORMAT_RGB;

    std::vector<png_byte> rgb;
    std::unique_ptr<png_byte[]> encoded;
    try {
        rgb.resize(3 * static_cast<std::size_t>(image.width()) * image.height());
    } catch (const std::bad_alloc&) {
        return savenomemory;
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const COLORREF colour = image.getpixel(x, y);
            png_byte* pixel = &rgb[3 * (static_cast<std::size_t>(y) * image.width() + x)];
            pixel[0] = static_cast<png_byte>(GetRValue(colour));
            pixel[1] = static_cast<png_byte>(GetGValue(colour));
            pixel[2] = static_cast<png_byte>(GetBValue(colour));
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

} // namespace kt
