#include "analysis/screenreport.h"

#include <cstdio>

namespace kt {

const char* verdictname(int verdict)
{
    switch (verdict) {
    case screenpass:
        return "pass";
    case screenescape:
        return "escape";
    case screennotchaotic:
        return "not chaotic";
    case screenlowdimension:
        return "low dimension";
    }
    return "";
}

ScreenReport screenreport(const ICON& set, int type, ScreeningState& st)
{
    ScreenReport report;
    report.verdict = testrp(set, type, st);
    char text[1024];
    std::snprintf(text, sizeof text,
                  "formula: %d\nalpha: %.15f\nbeta: %.15f\ngamma: %.15f\nlambda: %.15f\nomega: %.15f\n"
                  "n: %d\np: %d\nscale: %.15f\n",
                  type + 1, set.a, set.b, set.c, set.d, set.e, set.n, set.p, set.scale);
    report.text = text;
    report.text += std::string("verdict: ") + verdictname(report.verdict) + '\n';
    if (report.verdict == screenescape) {
        report.text += "lyapunov exponent: none\nfractal dimension: none\n";
    } else {
        std::snprintf(text, sizeof text, "lyapunov exponent: %.15f\nfractal dimension: %.15f\n", st.LExp, st.FD);
        report.text += text;
    }
    return report;
}

} // namespace kt
