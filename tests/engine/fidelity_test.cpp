// The production steps against the literal evaluation: after more than a
// million steps the orbit point, every hit count and every pixel must agree.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/driver.h"
#include "literalreference.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

struct FidelityCase {
    const char* name;
    int type;
    ICON set;
    VOXEL angles;
    int cmethod;
};

ICON withdegree(ICON set, int n, int p)
{
    set.n = n;
    set.p = p;
    return set;
}

const FidelityCase cases[] = {
    {"Icons1Builtin", 0, builtinicon1, {}, 0},
    {"Icons1N1", 0, withdegree(builtinicon1, 1, 0), {}, 0},
    {"Icons1N2", 0, withdegree(builtinicon1, 2, 0), {}, 0},
    {"Icons1N25", 0, withdegree(builtinicon1, 25, 0), {}, 0},
    {"Icons1N60", 0, withdegree(builtinicon1, 60, 0), {}, 0},
    {"Icons1Rotated", 0, builtinicon1, {30, 45.5L, 300}, 0},
    {"Icons1ZPlaneRotatedZYX", 0, builtinicon1, {10, 0, 200}, 1},
    {"Icons2Builtin", 1, builtinicon2, {}, 0},
    {"Icons2N1", 1, withdegree(builtinicon2, 1, 2), {}, 0},
    {"Icons2N2", 1, withdegree(builtinicon2, 2, 2), {}, 0},
    {"Icons2N25", 1, withdegree(builtinicon2, 25, 2), {}, 0},
    {"Icons2N60", 1, withdegree(builtinicon2, 60, 1), {}, 0},
    {"Icons2P0", 1, withdegree(builtinicon2, 3, 0), {}, 0},
    {"Icons2P30", 1, withdegree(builtinicon2, 3, 30), {}, 0},
    {"Icons2Rotated", 1, builtinicon2, {90, 180, 270}, 0},
    {"Icons2ZPlane", 1, builtinicon2, {}, 1},
};

class FidelityTest : public testing::EngineTest, public ::testing::WithParamInterface<FidelityCase> {
protected:
    void configure(const FidelityCase& c)
    {
        engine.type = c.type;
        engine.icon[c.type] = c.set;
        engine.rot[c.type] = c.angles;
        engine.cmethod = c.cmethod;
        engine.rotationorder = c.cmethod == 1 ? 5 : 0;
    }
};

constexpr int batches = 1100; // 1.1 million steps

TEST_P(FidelityTest, ProductionMatchesLiteralEvaluation)
{
    const FidelityCase& c = GetParam();

    configure(c);
    for (int k = 0; k < batches; ++k)
        ASSERT_EQ(imagebatch(ctx, engine), 0);
    const VOXEL production = engine.z;
    const auto productionHits = hitcountcopy();
    const auto productionPixels = pixelcopy();
    const auto productionHitmax = engine.hitmax;

    engine = EngineState{};
    useimage(engine.res);
    configure(c);
    usehitcounts();
    literal::render(engine, batches);

    EXPECT_EQ(std::memcmp(&production.x, &engine.z.x, 10), 0) << "x differs";
    EXPECT_EQ(std::memcmp(&production.y, &engine.z.y, 10), 0) << "y differs";
    EXPECT_EQ(std::memcmp(&production.z, &engine.z.z, 10), 0) << "z differs";
    EXPECT_EQ(productionHitmax, engine.hitmax);
    EXPECT_TRUE(productionHits == hitcountcopy()) << "hit counts differ";
    EXPECT_TRUE(productionPixels == pixelcopy()) << "pixels differ";
    // The comparison means something only if the picture has content.
    EXPECT_GT(engine.hitmax, 0u);
}

INSTANTIATE_TEST_SUITE_P(AllFormulas, FidelityTest, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kt
