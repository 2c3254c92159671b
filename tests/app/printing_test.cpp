#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/render/output/memoryestimate.h"
#include "support/render/batchrenderfixture.h"
#include "support/base/pngsamples.h"
#include "support/base/tempdir.h"

namespace kt {
namespace {

// Grey levels 0..255 of an 8-bit picture rendered with the grey-ramp palette
// on black, so that a level is a palette index.
using Greys = std::vector<double>;

class PrintingTest : public testing::BatchRenderFixture {
protected:
    testing::StoredPng render(std::vector<std::string> args, const std::string& name = "p.png")
    {
        args.insert(args.end(), {"--quiet", "-o", dir.file(name)});
        EXPECT_EQ(run(args), 0) << err.str();
        return testing::readstoredpng(dir.file(name));
    }

    Greys greys(std::vector<std::string> args)
    {
        args.insert(args.end(),
                    {"--tone", "density", "--palette", std::string(KT_TESTDATA_DIR) + "/maps/greyramp.map",
                     "--background", "0,0,0"});
        const testing::StoredPng picture = render(args);
        Greys levels;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                levels.push_back(picture.at(x, y, 0));
        return levels;
    }

    testing::TempDir dir;
};

// Mean absolute difference as a share of the range, over the pixels either
// picture draws: the empty background would flatter the comparison.
double difference(const Greys& a, const Greys& b)
{
    double sum = 0;
    int drawn = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k] == 0 && b[k] == 0)
            continue;
        sum += std::abs(a[k] - b[k]);
        ++drawn;
    }
    return drawn ? sum / drawn / 255 : 1;
}

// A side's 2 x 2 blocks, averaged.
Greys halved(const Greys& picture, int side)
{
    Greys half;
    for (int y = 0; y < side; y += 2)
        for (int x = 0; x < side; x += 2)
            half.push_back((picture[y * side + x] + picture[y * side + x + 1] + picture[(y + 1) * side + x] +
                            picture[(y + 1) * side + x + 1]) /
                           4);
    return half;
}

// Mean absolute difference of horizontal neighbours, over the whole picture.
double roughness(const Greys& picture, int side)
{
    double sum = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x + 1 < side; ++x)
            sum += std::abs(picture[y * side + x] - picture[y * side + x + 1]);
    return sum / (side * (side - 1));
}

// Mean absolute difference over the whole picture, so that two comparisons
// with a third share one measure.
double meandifference(const Greys& a, const Greys& b)
{
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        sum += std::abs(a[k] - b[k]);
    return sum / a.size();
}

TEST_F(PrintingTest, DensityToneConvergesAsStepsGrowAndKeepsToTheStepsPerPixelAtAnySize)
{
    struct Case {
        const char* what;
        std::vector<std::string> first, second;
        int secondside; // halved when twice the first's
    };
    const Case cases[] = {
        // 5M against 50M steps at 600 pixels, a quarter of each at 300.
        {"1.25M against 12.5M steps",
         {"--size", "300", "--iterations", "1250k"},
         {"--size", "300", "--iterations", "12500k"},
         300},
        {"300 against 600 pixels", {"--size", "300", "--spp", "20"}, {"--size", "600", "--spp", "20"}, 600},
        {"formula 2 turned, 300 against 600",
         {"--formula", "2", "--rotate", "30,45,0", "--size", "300", "--spp", "20"},
         {"--formula", "2", "--rotate", "30,45,0", "--size", "600", "--spp", "20"},
         600},
    };
    for (const Case& c : cases) {
        const Greys first = greys(c.first);
        Greys second = greys(c.second);
        if (second.size() != first.size())
            second = halved(second, c.secondside);
        ASSERT_EQ(first.size(), second.size()) << c.what;
        EXPECT_LT(difference(first, second), 0.04) << c.what << ": " << difference(first, second);
    }
}

TEST_F(PrintingTest, SupersamplingSmoothsTowardsALongerRender)
{
    const std::vector<std::string> set = {"--size", "300", "--formula", "2"};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.end(), set.begin(), set.end());
        return greys(extra);
    };
    const Greys plain = with({"--spp", "10"});
    const Greys supersampled = with({"--spp", "10", "--supersample", "3"});
    EXPECT_EQ(with({"--spp", "10", "--supersample", "3", "--threads", "1"}), supersampled) << "threads change nothing";
    // The picture both converge to is the supersampled one, which a plain
    // render's pixel-sized steps miss as much as its noise.
    const Greys longer = with({"--spp", "100", "--supersample", "3"});
    EXPECT_LT(roughness(supersampled, 300), 0.85 * roughness(plain, 300))
        << roughness(supersampled, 300) << " " << roughness(plain, 300) << " " << roughness(longer, 300);
    EXPECT_LT(meandifference(supersampled, longer), meandifference(plain, longer))
        << meandifference(supersampled, longer) << " " << meandifference(plain, longer);
}

} // namespace
} // namespace kt

namespace kt {
namespace {

// The drawn pixels' extent in a picture on a known background, and how far
// they reach from the frame's centre, the origin the icon stays centred on.
struct Extent {
    int left, top, right, bottom; // inclusive; left > right when nothing is drawn
};

Extent drawnextent(const testing::StoredPng& picture, const std::array<int, 3>& back)
{
    Extent e{picture.width, picture.height, -1, -1};
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            if (picture.at(x, y, 0) == back[0] && picture.at(x, y, 1) == back[1] && picture.at(x, y, 2) == back[2])
                continue;
            e.left = std::min(e.left, x);
            e.right = std::max(e.right, x);
            e.top = std::min(e.top, y);
            e.bottom = std::max(e.bottom, y);
        }
    return e;
}

TEST_F(PrintingTest, FittedIconsFillTheFrameWithoutTouchingItsEdges)
{
    std::vector<std::vector<std::string>> sets = {
        {"--formula", "1"},
        {"--formula", "2"},
        {"--formula", "2", "--rotate", "30,45,0"},
        {"--formula", "1", "--rotate", "10,80,30", "--order", "ZYX"},
    };
    for (int seed = 1; seed <= 10; ++seed)
        sets.push_back({"--random", "--seed", std::to_string(seed), "--formula", seed % 2 ? "1" : "2"});
    // No margin at all still keeps the edge's pixels free; many orbits are
    // framed by their own reach.
    for (const auto& set : sets)
        for (const auto& [margin, orbits] :
             {std::pair<std::string, std::string>{"0.05", "1"}, {"0", "1"}, {"0", "4096"}}) {
            std::vector<std::string> args = set;
            args.insert(args.end(),
                        {"--fit", "--margin", margin, "--size", "200", "--iterations", "1M", "--background", "0,0,0",
                         "--orbits", orbits});
            const testing::StoredPng picture = render(args);
            const Extent e = drawnextent(picture, {0, 0, 0});
            std::string what = "--orbits " + orbits + " --margin " + margin + " ";
            for (const std::string& word : set)
                what += word + " ";
            EXPECT_GT(e.left, 0) << what;
            EXPECT_GT(e.top, 0) << what;
            EXPECT_LT(e.right, 199) << what;
            EXPECT_LT(e.bottom, 199) << what;
            // The icon keeps its centre at the frame's, so an icon whose turned
            // view is lopsided reaches the margin on one side only.
            const int reach = std::max({100 - e.left, e.right - 99, 100 - e.top, e.bottom - 99});
            EXPECT_GE(reach, margin == "0" ? 95 : 85) << what;
        }
}

TEST_F(PrintingTest, TheSavedParametersKeepTheFittedScale)
{
    const std::vector<std::string> common = {"--size",    "200", "--iterations", "100k",
                                             "--formula", "2",   "--rotate",     "30,45,0"};
    std::vector<std::string> fitted = common;
    fitted.insert(fitted.end(), {"--fit", "--save-params", dir.file("fitted.dv3")});
    std::vector<std::string> reloaded = common;
    reloaded.push_back(dir.file("fitted.dv3"));
    const auto first = render(fitted, "fitted.png").samples;
    EXPECT_EQ(render(reloaded, "reloaded.png").samples, first);
    EXPECT_NE(render(common, "unfitted.png").samples, first);
}

} // namespace
} // namespace kt

namespace kt {
namespace {

TEST_F(PrintingTest, SixteenBitTransparentAndWidePictures)
{
    const std::vector<std::string> set = {"--tone", "density", "--supersample", "2", "--background", "20,40,200"};
    auto with = [&](std::vector<std::string> extra, const std::string& name) {
        extra.insert(extra.end(), set.begin(), set.end());
        return render(extra, name);
    };

    const testing::StoredPng deep = with({"--size", "300", "--spp", "5", "--depth", "16"}, "deep.png");
    ASSERT_EQ(deep.depth, 16);
    std::set<int> levels;
    for (int y = 0; y < deep.height; ++y)
        for (int x = 0; x < deep.width; ++x)
            levels.insert(deep.at(x, y, 1));
    EXPECT_GT(levels.size(), 256u);

    const testing::StoredPng opaque = with({"--size", "300", "--spp", "5"}, "opaque.png");
    const testing::StoredPng clear = with({"--size", "300", "--spp", "5", "--background", "none"}, "clear.png");
    ASSERT_EQ(clear.channels, 4);
    ASSERT_EQ(opaque.channels, 3);
    EXPECT_EQ(clear.at(0, 0, 3), 0) << "the corner is background";
    const int back[3] = {20, 40, 200};
    int worst = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            for (int c = 0; c < 3; ++c) {
                const double alpha = clear.at(x, y, 3) / 255.0;
                const double over = alpha * clear.at(x, y, c) + (1 - alpha) * back[c];
                worst = std::max(worst, static_cast<int>(std::lround(std::abs(over - opaque.at(x, y, c)))));
            }
    EXPECT_LE(worst, 1);

    const testing::StoredPng wide = with({"--size", "1920x1080", "--iterations", "100k"}, "wide.png");
    EXPECT_EQ(wide.width, 1920);
    EXPECT_EQ(wide.height, 1080);

    // A Targa file holds the same picture, at its own size.
    std::vector<std::string> targa = {"--size",  "1920x1080", "--iterations",      "100k",
                                      "--quiet", "-o",        dir.file("wide.tga")};
    targa.insert(targa.end(), set.begin(), set.end());
    ASSERT_EQ(run(targa), 0) << err.str();
    std::ifstream file(dir.file("wide.tga"), std::ios::binary);
    const std::vector<unsigned char> tga((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(tga.size(), 18u + 3u * 1920 * 1080 + 26);
    EXPECT_EQ(tga[12] | tga[13] << 8, 1920);
    EXPECT_EQ(tga[14] | tga[15] << 8, 1080);
    int differing = 0;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x)
            for (int c = 0; c < 3; ++c)
                differing += tga[18 + 3 * (static_cast<std::size_t>(y) * 1920 + x) + 2 - c] != wide.at(x, y, c);
    EXPECT_EQ(differing, 0);
}

TEST_F(PrintingTest, APictureTooLargeForTheMemoryIsRefusedBeforeAnyWork)
{
    // 131,072 pixels a side of hit counts: 64 GiB.
    expectrefused({"--tone", "density", "--size", "16384x16384", "--supersample", "8", "--spp", "1000", "--quiet", "-o",
                   dir.file("huge.png")},
                  {{}, 1, "MiB are available: choose a smaller --size or --supersample"});
    EXPECT_TRUE(dir.entries().empty());

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    // A gallery's entry and a turntable's frame are refused alike, before the
    // folder is made, rather than failing after their render.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto limited = [&](const std::vector<std::string>& args) {
        std::ifstream status("/proc/self/status");
        std::uint64_t mapped = 0;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0)
                mapped = std::stoull(line.substr(7)) * 1024;
        const rlim_t limit = mapped + (std::uint64_t{4} << 30);
        const rlimit bound{limit, limit};
        ::setrlimit(RLIMIT_AS, &bound);
        const int code = run(args);
        const bool said = err.str().find("MiB are available") != std::string::npos;
        ::_exit(code == exitbadarguments && said && dir.entries().empty() ? 0 : 1);
    };
    EXPECT_EXIT(limited({"--explore", "1", "--size", "16384", "--iterations", "1k", "--quiet", "-o", dir.file("g")}),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        limited({"--turntable", "2", "--size", "16384", "--iterations", "1k", "--quiet", "-o", dir.file("frames/")}),
        ::testing::ExitedWithCode(0), "");
#endif

    const struct {
        std::uint64_t needed;
        std::optional<std::uint64_t> available;
        bool refused;
    } cases[] = {{100, 99, true}, {100, 100, false}, {1ull << 40, std::nullopt, false}};
    for (const auto& c : cases)
        EXPECT_EQ(memoryrefusal(c.needed, c.available).empty(), !c.refused) << c.needed;
}

} // namespace
} // namespace kt
