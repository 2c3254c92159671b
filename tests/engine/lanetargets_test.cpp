#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/enginestate.h"
#include "engine/lanetargets.h"
#include "support/base/casename.h"

namespace kt {
namespace {

// Where a target's lanes ended, where every step landed and how far they
// reached, compared as bytes.
struct Outcome {
    std::vector<double> x, y, z;
    std::vector<std::int64_t> pixels;
    std::vector<float> depths;
    LaneReach across, radius;
};

struct LaneCase {
    const char* name;
    LaneFormula formula;
    bool turned;
};

LaneFormula formulaof(const ICON& set, int type)
{
    return LaneFormula{type, set.n, set.n * set.p, set.a, set.b, set.c, set.d, set.e};
}

// Three groups: one whole pack would hide a pack cut short.
constexpr int groups = 3;
constexpr int steps = 300;

LaneView viewfor(bool turned)
{
    LaneView v;
    v.turned = turned;
    v.viewdepths = turned;
    if (turned) {
        const double c = std::cos(0.5), s = std::sin(0.5), c2 = std::cos(0.8), s2 = std::sin(0.8);
        const double turn[3][3] = {{c2, 0, s2}, {s * s2, c, -s * c2}, {-c * s2, s, c * c2}};
        std::memcpy(v.turn, turn, sizeof turn);
    }
    // Zoomed in: some points miss the image.
    v.offset = 0.5;
    v.factor = 300;
    v.resolution = 300;
    v.side = 300;
    return v;
}

Outcome stepwith(const LaneTarget& target, const LaneCase& c)
{
    Outcome o;
    const std::size_t lanes = groups * lanewidth;
    for (std::size_t i = 0; i < lanes; ++i) {
        o.x.push_back(0.1 + 1e-3 * static_cast<double>(i));
        o.y.push_back(0.003 - 2e-3 * static_cast<double>(i));
        o.z.push_back(0.1);
    }
    // Out of the render range: these restart at once.
    o.x[5] = 1e17;
    o.y[17] = 0;
    o.pixels.resize(lanes * steps);
    o.depths.resize(lanes * steps);
    const LaneView v = viewfor(c.turned);
    const Lanes all{o.x.data(), o.y.data(), o.z.data(), groups, 7, 3};
    target.step(c.formula, v, all, steps, LaneSpots{o.pixels.data(), o.depths.data()});
    o.across = LaneReach{false, 0, 0, lanes - 2};
    target.step(c.formula, v, all, steps, LaneSpots{nullptr, nullptr, &o.across});
    o.radius = LaneReach{true};
    target.step(c.formula, v, all, steps, LaneSpots{nullptr, nullptr, &o.radius});
    return o;
}

template <typename T>
bool samebytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

const LaneCase lanecases[] = {
    {"FirstFormulaFlat", formulaof(builtinicon1, 0), false},
    {"FirstFormulaTurned", formulaof(builtinicon1, 0), true},
    {"SecondFormulaFlat", formulaof(builtinicon2, 1), false},
    {"SecondFormulaTurned", formulaof(builtinicon2, 1), true},
};

class LaneTargets : public ::testing::TestWithParam<LaneCase> {};

// The picture may not depend on the processor: every vector target this one
// runs takes the very steps of the plainest one, bit for bit.
TEST_P(LaneTargets, StepAsThePlainestDoes)
{
    const LaneTarget& plainest = lanetargets().back();
    ASSERT_TRUE(plainest.supported());
    const Outcome reference = stepwith(plainest, GetParam());
    int landed = 0;
    for (std::int64_t pixel : reference.pixels)
        landed += pixel >= 0;
    EXPECT_GT(landed, 0);
    EXPECT_LT(landed, static_cast<int>(reference.pixels.size()));
    EXPECT_GT(reference.across.across, 0);
    EXPECT_GT(reference.radius.across, 0);
    for (const LaneTarget& target : lanetargets()) {
        if (!target.supported())
            continue;
        SCOPED_TRACE(target.name);
        const Outcome o = stepwith(target, GetParam());
        EXPECT_TRUE(samebytes(o.x, reference.x) && samebytes(o.y, reference.y) && samebytes(o.z, reference.z));
        EXPECT_TRUE(samebytes(o.pixels, reference.pixels));
        EXPECT_TRUE(samebytes(o.depths, reference.depths));
        for (const auto& [reach, expected] :
             {std::pair{o.across, reference.across}, std::pair{o.radius, reference.radius}}) {
            EXPECT_EQ(reach.across, expected.across);
            EXPECT_EQ(reach.down, expected.down);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Lanes, LaneTargets, ::testing::ValuesIn(lanecases), kt::testing::CaseName{});

} // namespace
} // namespace kt
