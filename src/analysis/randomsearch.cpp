#include "analysis/randomsearch.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "analysis/screening.h"
#include "engine/range.h"
#include "engine/rendercontext.h"

namespace kt {

namespace {

struct Range {
    double low;
    double high;
};

// Per formula, the ranges of a, b, c, d, e.
constexpr Range ranges[2][5] = {
    {{-2.5, 5.0}, {-5.0, 2.0}, {-1.0, 1.0}, {-3.0, 3.0}, {-0.25, 0.25}},
    {{-5.0, 5.0}, {-5.0, 1.0}, {-1.0, 1.0}, {-2.5, 2.5}, {-1.0, 1.0}},
};
constexpr int rnrange[2][2] = {{2, 12}, {2, 12}};
constexpr int phasevalues = 25; // p is drawn from 0 .. 24

double drawn(SearchState& st, const Range& range)
{
    const real u = ktrandom(st);
    return static_cast<double>(u * (static_cast<real>(range.high) - range.low) + range.low);
}

bool accepted(const SearchState& st, const ScreeningState& sc, const AskUser& ask)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "count: %d\na: %.15f\nb: %.15f\nc: %.15f\nd: %.15f\ne: %.15f\nn: %d\np: %d\n"
                  "Lyapunov exponent: %.15f\nfractal dimension: %.15f",
                  st.count, st.RP.a, st.RP.b, st.RP.c, st.RP.d, st.RP.e, st.RP.n, st.RP.p, sc.LExp, sc.FD);
    return ask(text, "Accept Parameters?");
}

} // namespace

void ktseed(SearchState& st, std::uint32_t seed)
{
    st.generator.seed(seed);
}

double ktrandom(SearchState& st)
{
    const auto r = static_cast<int>(st.generator() >> 17);
    return r * (1.0 / 32767);
}

std::int32_t ktrandominteger(SearchState& st)
{
    return static_cast<std::int32_t>(st.generator() >> 1);
}

void paramclip(ICON* set)
{
    for (int pass = 0; pass < 3; ++pass) {
        for (double* field : {&set->a, &set->b, &set->c, &set->d, &set->e, &set->scale})
            *field = std::floor(*field * 1e12) * 1e-12;
    }
}

bool startpointscreenable(const ICON& set)
{
    return !overflow(VOXEL{set.xstart, set.ystart, set.zstart}, 0, testhigh);
}

std::string searchfailure(int result)
{
    if (result == searchbadstart)
        return "The start point of this parameter set\n   lies beyond the screening range, so\n"
               "   no random set could pass.\n\nLoad another parameter file first.";
    if (result != searchexhausted)
        return {};
    char text[160];
    std::snprintf(text, sizeof text,
                  "None of %d random parameter sets\n   passed the screening from this\n"
                  "   start point.\n\nThe parameter set is unchanged.",
                  searchcandidatelimit);
    return text;
}

int randomparams(RenderContext& ctx, EngineState& s, SearchState& st, ScreeningState& sc, const AskUser& ask,
                 std::uint32_t seed)
{
    ktseed(st, seed);
    return nextrandomparams(ctx, s, st, sc, ask);
}

int nextrandomparams(RenderContext& ctx, EngineState& s, SearchState& st, ScreeningState& sc, const AskUser& ask)
{
    if (!startpointscreenable(s.icon[s.type]))
        return searchbadstart;
    st.okrp = 4;
    st.count = 0;
    Presentation& shown = ctx.shown();
    shown.busy(Presentation::Work::lengthy);

    const int t = s.type;
    while (st.okrp > 0 && st.count < searchcandidatelimit) {
        // A search that finds nothing screens every candidate for seconds:
        // between two is where it can stop without a draw half made.
        if (ctx.cancelled()) {
            shown.idle();
            return searchstopped;
        }
        ++st.count;
        ICON candidate{};
        candidate.a = drawn(st, ranges[t][0]);
        candidate.b = drawn(st, ranges[t][1]);
        candidate.c = drawn(st, ranges[t][2]);
        candidate.d = drawn(st, ranges[t][3]);
        candidate.e = drawn(st, ranges[t][4]);
        const int low = rnrange[t][0];
        const int high = rnrange[t][1];
        candidate.n = low + ktrandominteger(st) % (high - low + 1);
        candidate.p = t == 1 ? ktrandominteger(st) % phasevalues : 0;
        candidate.scale = 1.0;
        candidate.xstart = s.icon[t].xstart;
        candidate.ystart = s.icon[t].ystart;
        candidate.zstart = s.icon[t].zstart;
        paramclip(&candidate);
        st.RP = candidate;
        st.okrp = testrp(st.RP, t, sc);
    }

    if (st.okrp > 0) {
        shown.idle();
        return searchexhausted;
    }
    // A set was decided on, and the caller starts its image.
    s.newimage = 0;
    if (st.debugflag && !accepted(st, sc, ask)) {
        shown.idle();
        return searchrejected;
    }
    s.icon[t] = st.RP;
    shown.idle();
    return searchaccepted;
}

} // namespace kt
