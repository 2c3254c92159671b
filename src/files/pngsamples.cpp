#include "files/pngsamples.h"

#include <png.h>

#include <csetjmp>
#include <new>
#include <vector>

#include "files/atomicfile.h"
#include "files/saveerrors.h"

namespace kt {

namespace {

std::vector<png_byte> rows(const PngSamples& picture)
{
    const int channels = picture.withalpha ? 4 : 3;
    const std::size_t bytes = picture.depth / 8;
    std::vector<png_byte> data(static_cast<std::size_t>(picture.width) * picture.height * channels * bytes);
    png_byte* out = data.data();
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
    for (std::size_t k = 0; k < pixels; ++k) {
        for (int c = 0; c < channels; ++c) {
            const unsigned value = picture.rgba[4 * k + c];
            if (picture.depth == 16) {
                // PNG stores the high byte first.
                *out++ = static_cast<png_byte>(value >> 8);
                *out++ = static_cast<png_byte>(value & 0xFF);
            } else {
                *out++ = static_cast<png_byte>((value * 255 + 32767) / 65535);
            }
        }
    }
    return data;
}

struct Encoded {
    std::vector<png_byte> bytes;
    bool complete = true; // false once a part could not be kept
};

// No exception may pass through libpng's C code.
void append(png_structp png, png_bytep data, png_size_t length)
{
    auto* encoded = static_cast<Encoded*>(png_get_io_ptr(png));
    try {
        encoded->bytes.insert(encoded->bytes.end(), data, data + length);
    } catch (const std::bad_alloc&) {
        encoded->complete = false;
    }
}

void noflush(png_structp)
{
}

// libpng reports errors by longjmp; nothing with a destructor may live in here.
bool encode(const PngSamples& picture, const png_byte* data, Encoded* encoded)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, encoded, append, noflush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.depth, picture.withalpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * (picture.withalpha ? 4 : 3) *
        (picture.depth / 8);
    for (int y = 0; y < picture.height; ++y)
        png_write_row(png, data + stride * y);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return encoded->complete;
}

} // namespace

int writepngsamples(const PngSamples& picture, const std::string& path)
{
    std::vector<png_byte> data;
    Encoded encoded;
    try {
        data = rows(picture);
    } catch (const std::bad_alloc&) {
        return savenomemory;
    }
    if (!encode(picture, data.data(), &encoded))
        return savenomemory;

    AtomicFile out(path);
    if (!out.open())
        return saveopenfailed;
    if (!out.write(encoded.bytes.data(), encoded.bytes.size()) || !out.commit())
        return savewritefailed;
    return savedone;
}

} // namespace kt
