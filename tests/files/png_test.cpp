#include <gtest/gtest.h>

#include <png.h>

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/memory.h"
#include "engine/workers.h"
#include "files/png.h"
#include "files/pngsamples.h"
#include "files/saveerrors.h"
#include "support/base/tempdir.h"
#include "engine/rendercontext.h"

namespace kt {
namespace {

TEST(Png, ReadsBackAsTheSamePixels)
{
    RenderContext ctx;
    testing::TempDir dir;
    Surface picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setpixel(x, y, RGB(x * 30, y * 50, 200 - x));
    const std::string path = dir.file("p.png");
    ASSERT_EQ(writepng(ctx, picture, path), savedone);

    png_image read;
    std::memset(&read, 0, sizeof read);
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, path.c_str()));
    EXPECT_EQ(read.width, 7u);
    EXPECT_EQ(read.height, 5u);
    read.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(read));
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, rgb.data(), 0, nullptr));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const png_byte* p = &rgb[3 * (y * 7 + x)];
            ASSERT_EQ(RGB(p[0], p[1], p[2]), picture.getpixel(x, y));
        }
}

// A frame kept aside for an animation comes back pixel for pixel, its alpha
// byte too where it is kept, even over colours a zero alpha hides.
TEST(Png, ReadsBackWhatItWroteWithOrWithoutAlpha)
{
    RenderContext ctx;
    testing::TempDir dir;
    const std::uint32_t pixels[] = {0xFF102030u, 0x00A0B0C0u, 0x7F010203u, 0x80FFFFFFu};
    Surface frame(2, 2);
    std::memcpy(frame.drawablebits(), pixels, sizeof pixels);
    for (const bool withalpha : {false, true}) {
        const std::string path = dir.file(withalpha ? "rgba.png" : "rgb.png");
        ASSERT_EQ(writepng(ctx, frame, path, withalpha), savedone);
        Surface back(2, 2);
        ASSERT_TRUE(readpng(path, back));
        for (int k = 0; k < 4; ++k) {
            const std::uint32_t expected = withalpha ? pixels[k] : (pixels[k] | Surface::opaque);
            EXPECT_EQ(back.bits()[k], expected) << withalpha << " pixel " << k;
        }
        Surface othersize(2, 3);
        EXPECT_FALSE(readpng(path, othersize));
    }
    EXPECT_FALSE(readpng(dir.file("none.png"), *Surface::create(2, 2)));
}

TEST(Png, UnwritableFolderIsReported)
{
    RenderContext ctx;
    testing::TempDir dir;
    Surface picture(3, 3);
    EXPECT_EQ(writepng(ctx, picture, dir.file("no/such/folder.png")), saveopenfailed);
}

} // namespace
} // namespace kt

namespace kt {
namespace {

struct Decoded {
    int width = 0, height = 0, depth = 0, channels = 0;
    std::vector<std::uint16_t> samples; // as the file holds them
};

// Read with libpng's own reader and no transforms, so every stored sample is
// seen as it is.
Decoded decode(const std::string& path)
{
    Decoded d;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return d;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        d.samples.clear();
        d.width = 0;
        return d;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    d.width = static_cast<int>(png_get_image_width(png, info));
    d.height = static_cast<int>(png_get_image_height(png, info));
    d.depth = png_get_bit_depth(png, info);
    d.channels = png_get_channels(png, info);
    const std::size_t stride = png_get_rowbytes(png, info);
    std::vector<png_byte> line(stride);
    for (int y = 0; y < d.height; ++y) {
        png_read_row(png, line.data(), nullptr);
        for (std::size_t k = 0; k < stride; k += d.depth / 8)
            d.samples.push_back(d.depth == 16 ? static_cast<std::uint16_t>(line[k] << 8 | line[k + 1]) : line[k]);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return d;
}

// Noise over smooth ramps, so that every filter type wins some rows.
std::vector<std::uint16_t> samplesfor(int width, int height)
{
    std::vector<std::uint16_t> rgba(4 * static_cast<std::size_t>(width) * height);
    std::uint32_t seed = 12345;
    for (std::size_t k = 0; k < rgba.size(); ++k) {
        seed = seed * 1664525u + 1013904223u;
        const std::size_t pixel = k / 4;
        const int x = static_cast<int>(pixel % width), y = static_cast<int>(pixel / width);
        rgba[k] = (y % 3 == 0) ? static_cast<std::uint16_t>(seed >> 16)
                               : static_cast<std::uint16_t>((x * 977 + y * 131 + k % 4 * 5000) & 0xFFFF);
    }
    return rgba;
}

struct Shape {
    int width, height, depth;
    bool withalpha;
};

// 700 x 500 of 16-bit RGB spans several of the encoder's bands.
constexpr Shape shapes[] = {
    {1, 1, 8, false},   {1, 1, 16, true},  {17, 3, 8, false},   {17, 3, 8, true},
    {17, 3, 16, false}, {17, 3, 16, true}, {700, 500, 8, true}, {700, 500, 16, false},
};

TEST(PngSamples, EverySampleReadsBackAsWritten)
{
    RenderContext ctx;
    testing::TempDir dir;
    for (const Shape& s : shapes) {
        const std::vector<std::uint16_t> rgba = samplesfor(s.width, s.height);
        const std::string path = dir.file("s.png");
        ASSERT_EQ(writepngsamples(ctx, PngSamples{rgba.data(), s.width, s.height, s.depth, s.withalpha}, path),
                  savedone);
        const Decoded d = decode(path);
        const int channels = s.withalpha ? 4 : 3;
        ASSERT_EQ(d.width, s.width);
        ASSERT_EQ(d.height, s.height);
        ASSERT_EQ(d.depth, s.depth);
        ASSERT_EQ(d.channels, channels);
        ASSERT_EQ(d.samples.size(), static_cast<std::size_t>(s.width) * s.height * channels);
        for (std::size_t p = 0; p < static_cast<std::size_t>(s.width) * s.height; ++p)
            for (int c = 0; c < channels; ++c) {
                const unsigned value = rgba[4 * p + c];
                const unsigned expected = s.depth == 16 ? value : (value * 255 + 32767) / 65535;
                ASSERT_EQ(d.samples[p * channels + c], expected)
                    << s.width << "x" << s.height << " depth " << s.depth << " pixel " << p << " channel " << c;
            }
    }
}

TEST(Png, EverySurfacePixelReadsBackAsWritten)
{
    RenderContext ctx;
    testing::TempDir dir;
    for (const Shape& s : shapes) {
        if (s.depth != 8)
            continue;
        const std::vector<std::uint16_t> noise = samplesfor(s.width, s.height);
        Surface picture(s.width, s.height);
        std::uint32_t* pixels = picture.drawablebits();
        for (std::size_t p = 0; p < static_cast<std::size_t>(s.width) * s.height; ++p)
            pixels[p] = static_cast<std::uint32_t>(noise[4 * p]) << 16 | noise[4 * p + 1];
        const std::string path = dir.file("p.png");
        ASSERT_EQ(writepng(ctx, picture, path, s.withalpha), savedone);
        const Decoded d = decode(path);
        const int channels = s.withalpha ? 4 : 3;
        ASSERT_EQ(d.samples.size(), static_cast<std::size_t>(s.width) * s.height * channels);
        for (std::size_t p = 0; p < static_cast<std::size_t>(s.width) * s.height; ++p) {
            const COLORREF colour = Surface::fromNative(pixels[p]);
            const int expected[4] = {GetRValue(colour), GetGValue(colour), GetBValue(colour),
                                     static_cast<int>(pixels[p] >> 24)};
            for (int c = 0; c < channels; ++c)
                ASSERT_EQ(d.samples[p * channels + c], expected[c]) << s.width << "x" << s.height << " pixel " << p;
        }
    }
}

// The bands are the picture's, not the threads': any count, or a write from
// inside a job where it runs alone, gives the same bytes.
TEST(PngSamples, BytesDoNotDependOnTheThreads)
{
    testing::TempDir dir;
    const std::vector<std::uint16_t> rgba = samplesfor(900, 700);
    const PngSamples picture{rgba.data(), 900, 700, 16, true};
    const std::string first = dir.file("first.png");
    RenderContext single(1);
    ASSERT_EQ(writepngsamples(single, picture, first), savedone);
    const std::vector<std::uint8_t> expected = testing::readbytes(first);
    for (const int threads : {2, 3, 8}) {
        RenderContext ctx(threads);
        const std::string path = dir.file("threads.png");
        ASSERT_EQ(writepngsamples(ctx, picture, path), savedone);
        EXPECT_EQ(testing::readbytes(path), expected) << threads << " threads";
        std::atomic<int> written{0};
        ctx.workers.run([&](int index) {
            if (index == 0 && Workers::withinjob() && writepngsamples(ctx, picture, dir.file("injob.png")) == savedone)
                ++written;
        });
        ASSERT_EQ(written, 1);
        EXPECT_EQ(testing::readbytes(dir.file("injob.png")), expected) << "inside a job of " << threads;
    }
}

TEST(PngSamples, NoMemoryLeavesTheOldFile)
{
    RenderContext ctx;
    testing::TempDir dir;
    const std::vector<std::uint16_t> rgba = samplesfor(40, 30);
    const std::string path = dir.file("old.png");
    const std::vector<std::uint8_t> old(10, 1);
    testing::writebytes(path, old);
    injectallocationfailures(1);
    EXPECT_EQ(writepngsamples(ctx, PngSamples{rgba.data(), 40, 30, 16, false}, path), savenomemory);
    injectallocationfailures(0);
    EXPECT_EQ(testing::readbytes(path), old);
    EXPECT_EQ(dir.entries().size(), 1u);
}

} // namespace
} // namespace kt
