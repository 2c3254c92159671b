#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <vector>

#include "files/png.h"
#include "files/saveerrors.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

TEST(Png, ReadsBackAsTheSamePixels)
{
    testing::TempDir dir;
    Surface picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setpixel(x, y, RGB(x * 30, y * 50, 200 - x));
    const std::string path = dir.file("p.png");
    ASSERT_EQ(writepng(picture, path), savedone);

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
    testing::TempDir dir;
    const std::uint32_t pixels[] = {0xFF102030u, 0x00A0B0C0u, 0x7F010203u, 0x80FFFFFFu};
    Surface frame(2, 2);
    std::memcpy(frame.drawablebits(), pixels, sizeof pixels);
    for (const bool withalpha : {false, true}) {
        const std::string path = dir.file(withalpha ? "rgba.png" : "rgb.png");
        ASSERT_EQ(writepng(frame, path, withalpha), savedone);
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
    testing::TempDir dir;
    Surface picture(3, 3);
    EXPECT_EQ(writepng(picture, dir.file("no/such/folder.png")), saveopenfailed);
}

} // namespace
} // namespace kt
