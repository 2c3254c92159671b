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

TEST(Png, UnwritableFolderIsReported)
{
    testing::TempDir dir;
    Surface picture(3, 3);
    EXPECT_EQ(writepng(picture, dir.file("no/such/folder.png")), saveopenfailed);
}

} // namespace
} // namespace kt
