#include "shell/livetone.h"

#include <algorithm>

#include "image/filters.h"
#include "image/tonefilter.h"
#include "shell/desktop.h"

namespace kt {

namespace {

// Often enough to watch it grow, seldom enough that toning stays a small
// share of the render's time.
constexpr auto refreshinterval = std::chrono::milliseconds(250);

} // namespace

bool refreshlivetone(Desktop& d, bool now)
{
    LiveTone& tone = d.livetone;
    const EngineState& s = d.engine;
    if (!tone.on || s.cmethod != 0) {
        tone.current = false;
        return false;
    }
    const auto at = std::chrono::steady_clock::now();
    if (!now && at < tone.due)
        return tone.current;
    if (!tone.view || tone.view->width() != s.res)
        tone.view = Surface::create(s.res, s.res);
    tone.current = tone.view && densitytoneinto(d.context, s, *tone.view, d.tone) == filterdone;
    // A large picture's tone takes long: it is drawn less often, so that it
    // never takes more than a fifth of the time.
    const auto took = std::chrono::steady_clock::now() - at;
    tone.due = at + std::max<std::chrono::steady_clock::duration>(refreshinterval, 5 * took);
    return tone.current;
}

void settlelivetone(Desktop& d)
{
    LiveTone& tone = d.livetone;
    if (tone.on && d.engine.cmethod == 0 && densitytonefilter(d.context, d.engine, d.tone) == filterdone)
        d.shownfilter = ShownFilter::densitytone;
    tone.current = false;
}

} // namespace kt
