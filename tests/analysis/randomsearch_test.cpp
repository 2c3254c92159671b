#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/randomsearch.h"
#include "analysis/screening.h"
#include "support/base/decimals.h"
#include "support/engine/enginefixture.h"

namespace kt {
namespace {

class RandomSearchTest : public testing::EngineTest {
protected:
    SearchState search;
    ScreeningState screening;
};

TEST(KtRandom, FifteenBitDrawsCoverZeroToOne)
{
    SearchState search;
    ktseed(search, 7);
    std::vector<bool> seen(32768);
    for (int k = 0; k < 1000000; ++k) {
        const double u = ktrandom(search);
        const double r = u * 32767;
        ASSERT_NEAR(r, std::round(r), 1e-6) << "a draw is r / 32767 for a whole r";
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        seen[static_cast<std::size_t>(std::lround(r))] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 32768) << "every 15-bit value, 0.0 and 1.0 included";
    for (int k = 0; k < 1000; ++k)
        ASSERT_GE(ktrandominteger(search), 0);
}

TEST(ParamClip, TruncatesSixFieldsTowardMinusInfinity)
{
    ICON set{0.1234567890123456, -0.1234567890123456, 5.0, -2.5, 1e-13, 3, 4,
             1.0000000000009,    0.7777777777777777,  1,   1};
    paramclip(&set);
    EXPECT_EQ(set.a, std::floor(0.1234567890123456 * 1e12) * 1e-12);
    EXPECT_LT(set.b, -0.123456789012);
    EXPECT_EQ(set.c, 5.0);
    EXPECT_EQ(set.d, -2.5);
    EXPECT_EQ(set.e, 0.0);
    EXPECT_TRUE(testing::twelvedecimals(set.scale));
    EXPECT_EQ(set.xstart, 0.7777777777777777) << "the start point is not clipped";
    EXPECT_EQ(set.n, 3);
}

TEST_F(RandomSearchTest, SameSeedSameSet)
{
    engine.type = 1;
    ASSERT_EQ(randomparams(ctx, engine, search, screening, answeryes, 12345), 0);
    const ICON first = engine.icon[1];
    const int count = search.count;
    engine.icon[1] = builtinicon2;
    ASSERT_EQ(randomparams(ctx, engine, search, screening, answeryes, 12345), 0);
    EXPECT_EQ(std::memcmp(&first, &engine.icon[1], sizeof(ICON)), 0);
    EXPECT_EQ(search.count, count);
}

TEST_F(RandomSearchTest, AcceptedSetsStayInTheirRangesAndPassTheScreen)
{
    for (int type = 0; type < 2; ++type) {
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            engine.type = type;
            engine.icon[type].xstart = 0.25;
            engine.icon[type].ystart = -0.125;
            engine.icon[type].zstart = 9;
            engine.newimage = 1;
            ASSERT_EQ(randomparams(ctx, engine, search, screening, answeryes, seed), 0);
            const ICON& set = engine.icon[type];
            EXPECT_EQ(search.okrp, 0);
            EXPECT_EQ(engine.newimage, 0);
            EXPECT_GE(set.n, 2);
            EXPECT_LE(set.n, 12);
            if (type == 0) {
                EXPECT_EQ(set.p, 0);
                EXPECT_GE(set.a, -2.5);
                EXPECT_LE(set.e, 0.25);
            } else {
                EXPECT_GE(set.p, 0);
                EXPECT_LE(set.p, 24);
                EXPECT_GE(set.e, -1.0);
            }
            EXPECT_EQ(set.scale, 1.0);
            EXPECT_EQ(set.xstart, 0.25);
            EXPECT_EQ(set.ystart, -0.125);
            EXPECT_EQ(set.zstart, 9);
            for (double v : {set.a, set.b, set.c, set.d, set.e})
                EXPECT_TRUE(testing::twelvedecimals(v)) << v;
            EXPECT_GE(screening.LExp, 0.075);
            EXPECT_GE(screening.FD, screening.FDLimit);
            EXPECT_EQ(testrp(set, engine.type, screening), screenpass) << "the stored set passes again";
        }
    }
}

TEST_F(RandomSearchTest, ParameterDisplayAsksAndRejectingKeepsTheSet)
{
    search.debugflag = 1;
    std::vector<std::string> asked;
    bool answer = false;
    const AskUser ask = [&](const std::string& text, const std::string& title) {
        asked.push_back(title + "|" + text);
        return answer;
    };
    EXPECT_EQ(randomparams(ctx, engine, search, screening, ask, 99), searchrejected);
    EXPECT_EQ(std::memcmp(&engine.icon[0], &builtinicon1, sizeof(ICON)), 0);
    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "Accept Parameters?|count: %d\na: %.15f\nb: %.15f\nc: %.15f\nd: %.15f\ne: %.15f\nn: %d\np: %d\n"
                  "Lyapunov exponent: %.15f\nfractal dimension: %.15f",
                  search.count, search.RP.a, search.RP.b, search.RP.c, search.RP.d, search.RP.e, search.RP.n,
                  search.RP.p, screening.LExp, screening.FD);
    EXPECT_EQ(asked, std::vector<std::string>{expected});

    answer = true;
    EXPECT_EQ(randomparams(ctx, engine, search, screening, ask, 99), searchaccepted);
    EXPECT_EQ(std::memcmp(&engine.icon[0], &search.RP, sizeof(ICON)), 0) << "the stored set is the one shown";

    search.debugflag = 0;
    asked.clear();
    randomparams(ctx, engine, search, screening, ask, 5);
    EXPECT_TRUE(asked.empty()) << "without parameter display nothing is asked";
}

TEST_F(RandomSearchTest, AStartPointBeyondTheScreeningRangeIsRefusedBeforeAnyDraw)
{
    const double nan = std::nan("");
    const double huge = -2.6e19;
    const struct {
        double x, y;
        bool screenable;
    } starts[] = {
        {0.1, 0.003, true},        {0, 0, true},        {1e8, -1e8, true},       {huge, 0.003, false},
        {0.1, 1.0000001e8, false}, {nan, 0.003, false}, {0.1, -INFINITY, false},
    };
    for (int type : {0, 1}) {
        for (const auto& start : starts) {
            engine.type = type;
            engine.icon[type].xstart = start.x;
            engine.icon[type].ystart = start.y;
            EXPECT_EQ(startpointscreenable(engine.icon[type]), start.screenable) << start.x << ", " << start.y;
            if (start.screenable)
                continue;
            search.count = -1;
            const ICON before = engine.icon[type];
            EXPECT_EQ(randomparams(ctx, engine, search, screening, answeryes, 1), searchbadstart);
            EXPECT_EQ(search.count, -1) << "nothing was drawn";
            EXPECT_EQ(std::memcmp(&before, &engine.icon[type], sizeof(ICON)), 0);
        }
    }
    EXPECT_NE(searchfailure(searchbadstart).find("start point"), std::string::npos);
}

TEST_F(RandomSearchTest, ASearchWithoutAPassingCandidateStopsAtItsLimit)
{
    // In range, but every candidate's first step escapes from it.
    engine.icon[0].xstart = 1e8;
    engine.icon[0].ystart = 1e8;
    engine.newimage = 0;
    const ICON before = engine.icon[0];
    EXPECT_EQ(randomparams(ctx, engine, search, screening, answeryes, 3), searchexhausted);
    EXPECT_EQ(search.count, searchcandidatelimit);
    EXPECT_EQ(std::memcmp(&before, &engine.icon[0], sizeof(ICON)), 0);
    EXPECT_EQ(engine.newimage, 0) << "the picture goes on";
    EXPECT_NE(searchfailure(searchexhausted).find(std::to_string(searchcandidatelimit)), std::string::npos);
}

TEST_F(RandomSearchTest, AStoppedSearchEndsBetweenCandidatesAndStoresNothing)
{
    engine.icon[0].xstart = 1e8;
    engine.icon[0].ystart = 1e8;
    const ICON before = engine.icon[0];
    int asked = 0;
    ctx.cancelled = [&asked] { return ++asked > 7; };
    EXPECT_EQ(randomparams(ctx, engine, search, screening, answeryes, 3), searchstopped);
    EXPECT_EQ(search.count, 7);
    EXPECT_EQ(std::memcmp(&before, &engine.icon[0], sizeof(ICON)), 0);
    EXPECT_EQ(searchfailure(searchstopped), "") << "the user stopped it: nothing to be told";
}

TEST_F(RandomSearchTest, TheBuiltInStartPointsPassFarInsideTheLimit)
{
    for (int type : {0, 1}) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            engine = EngineState{};
            engine.type = type;
            ASSERT_EQ(randomparams(ctx, engine, search, screening, answeryes, seed), searchaccepted);
            EXPECT_LT(search.count * 10, searchcandidatelimit) << "formula " << type + 1 << ", seed " << seed;
        }
    }
}

} // namespace
} // namespace kt
