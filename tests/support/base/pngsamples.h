#pragma once
// Reads a PNG file's samples as stored, 8 or 16 bits, without the colour
// conversions of libpng's simplified reader.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kt::testing {

struct StoredPng {
    int width = 0;
    int height = 0;
    int channels = 0;
    int depth = 0;
    std::vector<std::uint16_t> samples; // channels per pixel, row by row

    std::uint16_t at(int x, int y, int channel) const
    {
        return samples[(static_cast<std::size_t>(y) * width + x) * channels + channel];
    }
};

// width 0 when the file cannot be read.
inline StoredPng readstoredpng(const std::string& path)
{
    StoredPng picture;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return picture;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return StoredPng{};
    }
    png_init_io(png, file);
    png_read_info(png, info);
    const int width = static_cast<int>(png_get_image_width(png, info));
    const int height = static_cast<int>(png_get_image_height(png, info));
    const int channels = png_get_channels(png, info);
    const int depth = png_get_bit_depth(png, info);
    std::vector<png_byte> row(png_get_rowbytes(png, info));
    std::vector<std::uint16_t> samples;
    samples.reserve(static_cast<std::size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        for (int k = 0; k < width * channels; ++k)
            samples.push_back(depth == 16 ? static_cast<std::uint16_t>(row[2 * k] << 8 | row[2 * k + 1]) : row[k]);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    picture.width = width;
    picture.height = height;
    picture.channels = channels;
    picture.depth = depth;
    picture.samples = std::move(samples);
    return picture;
}

} // namespace kt::testing
