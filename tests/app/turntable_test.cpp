#include <gtest/gtest.h>

#include <png.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "app/render/still/batchrender.h"
#include "app/render/shares/sharefolder.h"
#include "engine/turntable.h"
#include "support/render/batchrenderfixture.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

struct Animation {
    int width = 0;
    int height = 0;
    int loops = -1;
    std::vector<int> endtimes; // ms
    std::vector<std::vector<std::uint8_t>> rgba;
};

Animation decodewebp(const std::vector<std::uint8_t>& bytes)
{
    Animation animation;
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return animation;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    animation.width = static_cast<int>(info.canvas_width);
    animation.height = static_cast<int>(info.canvas_height);
    animation.loops = static_cast<int>(info.loop_count);
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* pixels = nullptr;
        int endtime = 0;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &endtime))
            break;
        animation.endtimes.push_back(endtime);
        animation.rgba.emplace_back(pixels, pixels + 4 * info.canvas_width * info.canvas_height);
    }
    WebPAnimDecoderDelete(decoder);
    return animation;
}

std::vector<std::uint8_t> readpngrgb(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    return rgb;
}

class TurntableRenderTest : public testing::BatchRenderFixture {
protected:
    testing::TempDir dir;
};

TEST_F(TurntableRenderTest, FramesAreSingleRendersAndTheLosslessWebPHoldsThem)
{
    const std::vector<std::string> common = {
        "--size", "200",      "--iterations", "12k",     "--rotate",    "10,20,30", "--order", "ZYX", "--coloring",
        "z",      "--filter", "normalize",    "--quiet", "--turntable", "7",        "--spin",  "X"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = common;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    ASSERT_EQ(run(with({"-o", dir.file("frames/")})), exitsuccess) << err.str();
    ASSERT_EQ(run(with({"--fps", "7", "-o", dir.file("a.webp")})), exitsuccess) << err.str();
    ASSERT_EQ(run(with({"--fps", "7", "--threads", "1", "-o", dir.file("b.webp")})), exitsuccess) << err.str();
    const auto webp = testing::readbytes(dir.file("a.webp"));
    EXPECT_EQ(webp, testing::readbytes(dir.file("b.webp")));

    // Frame k of the folder is the single render at frame k's angles, given
    // to --rotate with digits enough to be exact.
    for (int k : {0, 2, 6}) {
        const VOXEL angles = turntableangles({10, 20, 30}, X, k, 7);
        char rotate[128];
        std::snprintf(rotate, sizeof rotate, "%.21Lg,%.21Lg,%.21Lg", angles.x, angles.y, angles.z);
        std::vector<std::string> single = {common.begin(), common.end() - 4};
        single[5] = rotate;
        single.insert(single.end(), {"-o", dir.file("single.png")});
        ASSERT_EQ(run(single), exitsuccess) << err.str();
        char name[32];
        std::snprintf(name, sizeof name, "frames/frame-%04d.png", k + 1);
        EXPECT_EQ(testing::readbytes(dir.file(name)), testing::readbytes(dir.file("single.png"))) << k;
    }

    const Animation animation = decodewebp(webp);
    EXPECT_EQ(animation.width, 200);
    EXPECT_EQ(animation.height, 200);
    EXPECT_EQ(animation.loops, 0) << "for ever";
    ASSERT_EQ(animation.rgba.size(), 7u);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(animation.endtimes[k], (1000 * (k + 1) + 3) / 7) << k;
        char name[32];
        std::snprintf(name, sizeof name, "frames/frame-%04d.png", k + 1);
        const auto rgb = readpngrgb(dir.file(name));
        ASSERT_EQ(rgb.size(), 3u * 200 * 200);
        for (std::size_t p = 0; p < 200 * 200; ++p)
            ASSERT_TRUE(std::memcmp(&rgb[3 * p], &animation.rgba[k][4 * p], 3) == 0 &&
                        animation.rgba[k][4 * p + 3] == 255)
                << "frame " << k << " pixel " << p;
    }
}

TEST_F(TurntableRenderTest, LossyWebPKeepsFramesSizeAndRate)
{
    ASSERT_EQ(run({"--size", "200", "--iterations", "10k", "--quiet", "--turntable", "2", "--quality", "40", "-o",
                   dir.file("lossy.webp")}),
              exitsuccess)
        << err.str();
    const Animation animation = decodewebp(testing::readbytes(dir.file("lossy.webp")));
    EXPECT_EQ(animation.width, 200);
    EXPECT_EQ(animation.endtimes, (std::vector<int>{33, 67}));
}

TEST_F(TurntableRenderTest, AShorterTurntableRemovesTheLongerOnesLastFramesAndNothingElse)
{
    const std::string folder = dir.file("frames/");
    std::filesystem::create_directories(folder + "frame-0013.png"); // a folder, not a frame
    for (const char* other : {"frame-0006.png.bak", "frame-06.png", "frame-00006.png", "notes.txt", "frame-0000.png"})
        testing::writetext(folder + other, "mine");
    auto frames = [&](int count) {
        return run(
            {"--size", "200", "--iterations", "5k", "--quiet", "--turntable", std::to_string(count), "-o", folder});
    };
    struct Case {
        int frames;
        std::string said;
    };
    const Case cases[] = {
        {12, ""},
        {4,
         "ktdravune3d-render: removed 8 frames of an earlier, longer turntable from " + folder +
             ": frame-0005.png to frame-0012.png\n"},
        {3,
         "ktdravune3d-render: removed 1 frame of an earlier, longer turntable from " + folder + ": frame-0004.png\n"},
        {3, ""},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(frames(c.frames), exitsuccess) << err.str();
        EXPECT_EQ(err.str(), c.said);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"frame-0000.png", "frame-00006.png", "frame-0001.png", "frame-0002.png",
                                        "frame-0003.png", "frame-0006.png.bak", "frame-0013.png", "frame-06.png",
                                        "notes.txt"}));
}

// Shares of a WebP file join only frames drawn with their own settings, and a
// join that fails leaves the file as it was and the frames for a share run
// again.
TEST_F(TurntableRenderTest, WebPSharesJoinOnlyTheFramesOfTheirOwnSettings)
{
    const std::string webp = dir.file("turn.webp");
    const std::vector<std::string> mine = {"--turntable", "4", "--size", "200", "--iterations", "20k", "--quiet"};
    std::vector<std::string> other = mine;
    other[5] = "30k";
    const auto with = [](std::vector<std::string> look, const std::vector<std::string>& extra) {
        look.insert(look.end(), extra.begin(), extra.end());
        return look;
    };
    ASSERT_EQ(run(with(mine, {"-o", dir.file("one.webp")})), exitsuccess) << err.str();
    testing::writetext(webp, "kept");
    struct Step {
        const char* what;
        const std::vector<std::string>& look;
        std::string part;
        int status;
        std::string said;
    } steps[] = {
        {"share 1", mine, "1/3", exitsuccess, ""},
        {"share 2", mine, "2/3", exitsuccess, ""},
        {"another turntable's share draws frames 1 and 3", other, "1/2", exitsuccess, ""},
        {"share 3, whose others' frames are gone", mine, "3/3", exitsuccess, ""},
        {"share 1 again", mine, "1/3", exitsuccess, ""},
        {"share 2 again, with frame 3 damaged", mine, "2/3", exitcannotwrite,
         "frame-0003.png: cannot be read back as frame 3 of " + webp},
    };
    for (const Step& step : steps) {
        if (step.status != exitsuccess)
            testing::writetext(dir.file("turn.webp.parts/frame-0003.png"), "damaged");
        EXPECT_EQ(run(with(step.look, {"--part", step.part, "-o", webp})), step.status) << step.what;
        EXPECT_NE(err.str().find(step.said), std::string::npos) << step.what << ": " << err.str();
        EXPECT_EQ(testing::readbytes(webp).size(), 4u) << step.what << ": turn.webp is as it was";
    }
    ASSERT_EQ(run(with(mine, {"--part", "3/3", "-o", webp})), exitsuccess) << err.str();
    EXPECT_EQ(testing::readbytes(webp), testing::readbytes(dir.file("one.webp")));
    std::vector<std::string> left = dir.entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"one.webp", "turn.webp"})) << "the frames go once joined";

    // A share killed while joining: every share's frames and records in the
    // joining folder, and the encoder's temporary file beside the animation.
    namespace fs = std::filesystem;
    const std::string killed = dir.file("kj.webp");
    ASSERT_EQ(run(with(mine, {"--part", "1/2", "-o", killed})), exitsuccess) << err.str();
    ASSERT_EQ(run(with(mine, {"--part", "2/2", "-o", dir.file("side.webp")})), exitsuccess) << err.str();
    for (const auto& entry : fs::directory_iterator(dir.file("side.webp.parts")))
        fs::rename(entry.path(), dir.file("kj.webp.parts/") + entry.path().filename().string());
    fs::remove(dir.file("side.webp.parts"));
    fs::rename(dir.file("kj.webp.parts"), dir.file("kj.webp.joining"));
    testing::writetext(dir.file(".kj.webp.AbC123"), "half an animation");
    {
        // While its joiner runs, the join is left to it.
        const FolderClaim joiner(dir.file("kj.webp.joining"));
        ASSERT_TRUE(joiner.held());
        expectrefused(with(mine, {"--part", "1/2", "-o", killed}),
                      {{}, exitcannotwrite, "kj.webp.joining: holds the frames another share is joining"});
        EXPECT_FALSE(fs::exists(dir.file("kj.webp.parts")));
    }
    // Once it is gone, a share run again finishes the join from the frames kept.
    ASSERT_EQ(run(with(mine, {"--part", "1/2", "-o", killed})), exitsuccess) << err.str();
    EXPECT_EQ(testing::readbytes(killed), testing::readbytes(dir.file("one.webp")));
    left = dir.entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"kj.webp", "one.webp", "turn.webp"})) << "nothing of the join is left";
}

TEST_F(TurntableRenderTest, BadInputChangesNothing)
{
    testing::writebytes(dir.file("short.dv3"), {1, 2, 3});
    const Refusal cases[] = {
        {{dir.file("short.dv3"), "-o", dir.file("x.webp")}, exitbadinput, "too short"},
        {{dir.file("short.dv3"), "-o", dir.file("folder/")}, exitbadinput, "too short"},
        {{"-o", dir.file("missing/x.webp")}, exitcannotwrite, "missing/x.webp: Error opening a save file."},
        {{"-o", dir.file("missing/folder/")}, exitcannotwrite, "missing/folder/: Error opening a save file."},
        {{"--screen", "-o", dir.file("x.webp")}, exitbadarguments, "cannot be combined with --screen"},
        {{"-o", dir.file("x.png")}, exitbadarguments, "a .webp file or a folder"},
    };
    for (const Refusal& c : cases) {
        std::vector<std::string> args = {"--turntable", "3", "--size", "200", "--iterations", "5k", "--quiet"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        expectrefused(args, c);
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"short.dv3"}) << c.message;
    }
}

} // namespace
} // namespace kt

namespace kt {
namespace {

TEST_F(TurntableRenderTest, TonedFittedFramesAreTonedStillsAndATransparentWebPKeepsThemWithin)
{
    const std::vector<std::string> look = {"--size",  "200",     "--iterations", "150k", "--formula", "2", "--tone",
                                           "density", "--quiet", "--turntable",  "4",    "--spin",    "X"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), look.begin(), look.end());
        return extra;
    };
    ASSERT_EQ(run(with({"-o", dir.file("frames/")})), exitsuccess) << err.str();
    ASSERT_EQ(run({"--size", "200", "--iterations", "150k", "--formula", "2", "--tone", "density", "--quiet",
                   "--rotate", "90,0,0", "-o", dir.file("still.png")}),
              exitsuccess);
    EXPECT_EQ(testing::readbytes(dir.file("frames/frame-0002.png")), testing::readbytes(dir.file("still.png")));

    ASSERT_EQ(run(with({"--fit", "--background", "none", "-o", dir.file("clear.webp")})), exitsuccess) << err.str();
    const Animation animation = decodewebp(testing::readbytes(dir.file("clear.webp")));
    ASSERT_EQ(animation.rgba.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        int opaque = 0, edge = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) {
                const std::uint8_t alpha = animation.rgba[k][4 * (y * 200 + x) + 3];
                opaque += alpha == 255;
                edge += alpha != 0 && (x == 0 || y == 0 || x == 199 || y == 199);
            }
        EXPECT_GT(opaque, 400) << "frame " << k << " shows the icon";
        EXPECT_EQ(edge, 0) << "frame " << k << " keeps it off the edges";
    }
}

} // namespace
} // namespace kt
