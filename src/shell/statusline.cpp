#include "shell/statusline.h"

#include <chrono>

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

} // namespace

std::string statustext(const StatusFigures& f)
{
    std::string text = f.rendering ? "Rendering" : "Paused";
    text += "      " + grouped(f.steps) + " steps";
    if (f.rendering)
        text += "      " + grouped(static_cast<std::uint64_t>(f.stepspersecond + 0.5)) + " steps/s";
    text += "      largest hit count " + grouped(f.hitmax);
    text += "      " + std::to_string(f.res) + " x " + std::to_string(f.res);
    return text;
}

void showstatus(StatusClock& c, const EngineState& s, HWND hWnd, bool now)
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
    SetStatusText(hWnd, statustext({s.okicon != 0, s.itercount, c.rate, s.hitmax, s.res}));
}

} // namespace kt
