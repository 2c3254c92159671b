#include "shell/statusline.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine/enginestate.h"
#include "shell/shellstate.h"

namespace kt {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto displayinterval = std::chrono::milliseconds(16);
// The rate is taken over this long, so that it reads steadily.
constexpr auto rateinterval = std::chrono::milliseconds(500);

// 12345678 as "12,345,678".
std::string grouped(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string text;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0)
            text += ',';
        text += digits[k];
    }
    return text;
}

// "[#####.....] 50 %, 1:05 left": how far the quality target is, and at
// the present rate how long it takes.
std::string progresstext(const StatusFigures& f)
{
    constexpr int cells = 20;
    const double done = std::min(1.0, static_cast<double>(f.steps) / static_cast<double>(f.target));
    const int filled = static_cast<int>(done * cells);
    char bar[64];
    std::snprintf(bar, sizeof bar, "[%.*s%.*s] %d %%", filled, "####################", cells - filled,
                  "....................", static_cast<int>(done * 100));
    std::string text = bar;
    if (f.steps >= f.target)
        return text + ", quality reached";
    if (f.rendering && f.stepspersecond > 0) {
        const auto seconds = static_cast<std::uint64_t>((f.target - f.steps) / f.stepspersecond + 0.5);
        char left[32];
        std::snprintf(left, sizeof left, ", %llu:%02llu left", static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
        text += left;
    }
    return text;
}

} // namespace

std::string statustext(const StatusFigures& f)
{
    std::string text = f.rendering ? "Rendering" : "Paused";
    text += "      " + grouped(f.steps) + " steps";
    if (f.rendering)
        text += "      " + grouped(static_cast<std::uint64_t>(f.stepspersecond + 0.5)) + " steps/s";
    text += "      largest hit count " + grouped(f.hitmax);
    text += "      " + std::to_string(f.res) + " x " + std::to_string(f.res);
    if (f.target)
        text += "      " + progresstext(f);
    return text;
}

void showstatus(StatusClock& c, const EngineState& s, HWND hWnd, bool now, std::uint64_t target)
{
    const Clock::time_point at = Clock::now();
    if (!now && at < c.due)
        return;
    c.due = at + displayinterval;
    // A new picture starts its count again.
    if (!s.okicon || s.itercount < c.ratesteps) {
        c.ratefrom = at;
        c.ratesteps = s.itercount;
    } else if (at - c.ratefrom >= rateinterval) {
        c.rate = (s.itercount - c.ratesteps) / std::chrono::duration<double>(at - c.ratefrom).count();
        c.ratefrom = at;
        c.ratesteps = s.itercount;
    }
    if (!s.okicon)
        c.rate = 0;
    SetStatusText(hWnd, statustext({s.okicon != 0, s.itercount, c.rate, s.hitmax, s.res, target}));
}

} // namespace kt
