#include <gtest/gtest.h>

#include <webp/demux.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/saveerrors.h"
#include "files/webp.h"
#include "support/base/tempdir.h"
#include "engine/rendercontext.h"

namespace kt {
namespace {

// Pixels that do not compress, so that every frame is as large as a frame gets.
std::unique_ptr<Surface> noise(int side, std::uint32_t seed)
{
    auto picture = std::make_unique<Surface>(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            seed = seed * 1664525u + 1013904223u;
            picture->setpixel(x, y, RGB(seed >> 24, seed >> 16, seed >> 8));
        }
    return picture;
}

std::uintmax_t temporarysize(const testing::TempDir& dir)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().rfind(".anim.webp.", 0) == 0)
            return entry.file_size();
    return 0;
}

TEST(WebPAnimationTest, FramesGoToTheDiskAsTheyAreEncoded)
{
    RenderContext ctx;
    testing::TempDir dir;
    const std::string path = dir.file("anim.webp");
    WebPAnimation animation(ctx, path, 64, 64, 3, 10, std::nullopt);
    ASSERT_EQ(animation.begin(), savedone);
    std::uintmax_t before = temporarysize(dir);
    std::vector<std::unique_ptr<Surface>> frames;
    for (std::uint32_t k = 0; k < 3; ++k) {
        frames.push_back(noise(64, k));
        ASSERT_EQ(animation.add(*frames.back()), savedone);
        const std::uintmax_t now = temporarysize(dir);
        EXPECT_GT(now, before + 64 * 64) << "frame " << k << " is on the disk";
        before = now;
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_EQ(animation.finish(), savedone);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"anim.webp"});

    const auto bytes = testing::readbytes(path);
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA; // the surface's byte order
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        std::uint8_t* pixels = nullptr;
        int endtime = 0;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &endtime));
        EXPECT_EQ(endtime, 100 * static_cast<int>(k + 1));
        EXPECT_EQ(std::memcmp(pixels, frames[k]->bits(), 64 * 64 * 4), 0) << "frame " << k;
    }
    EXPECT_FALSE(WebPAnimDecoderHasMoreFrames(decoder));
    WebPAnimDecoderDelete(decoder);
}

TEST(WebPAnimationTest, AFileTheDiskCannotHoldIsRefusedAtItsFirstFrame)
{
    RenderContext ctx;
    testing::TempDir dir;
    testing::writetext(dir.file("anim.webp"), "kept");
    // About 12 kB a frame, two thousand million frames: more than any disk.
    WebPAnimation animation(ctx, dir.file("anim.webp"), 64, 64, INT_MAX, 30, std::nullopt);
    ASSERT_EQ(animation.begin(), savedone);
    EXPECT_EQ(animation.add(*noise(64, 1)), savewritefailed);
    EXPECT_EQ(animation.error(), ENOSPC);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"anim.webp"});
    EXPECT_EQ(testing::readbytes(dir.file("anim.webp")).size(), 4u);
}

} // namespace
} // namespace kt
