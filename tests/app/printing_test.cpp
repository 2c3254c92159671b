#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/batchrenderfixture.h"
#include "support/pngsamples.h"
#include "support/tempdir.h"

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
        args.insert(args.end(), {"--tone", "density", "--palette", std::string(KT_TESTDATA_DIR) + "/maps/greyramp.map",
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
        {"1.25M against 12.5M steps", {"--size", "300", "--iterations", "1250k"}, {"--size", "300", "--iterations", "12500k"},
         300},
        {"300 against 600 pixels", {"--size", "300", "--spp", "20"}, {"--size", "600", "--spp", "20"}, 600},
        {"formula 2 turned, 300 against 600", {"--formula", "2", "--rotate", "30,45,0", "--size", "300", "--spp", "20"},
         {"--formula", "2", "--rotate", "30,45,0", "--size", "600", "--spp", "20"}, 600},
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
