#include "shell/shownfilter.h"

#include "image/tonefilter.h"
#include "platform/window.h"
#include "shell/desktop.h"

namespace kt {

namespace {

bool tone(ShownFilter filter)
{
    return filter == ShownFilter::densitytone || filter == ShownFilter::depthtone;
}

// The tone filters leave the window to their caller; the others show their
// picture as they finish.
int toned(Desktop& d, ShownFilter filter)
{
    Presentation& shown = d.context.shown();
    shown.busy(Presentation::Work::lengthy);
    const int code = filter == ShownFilter::densitytone ? densitytonefilter(d.context, d.engine, d.tone)
                                                        : depthtonefilter(d.context, d.engine, d.tone);
    if (code == filterdone)
        shown.filtered();
    shown.idle();
    return code;
}

} // namespace

int applyfilter(Desktop& d, ShownFilter filter, const FilterState& settings)
{
    FilterState used = settings;
    used.logsquare = filter == ShownFilter::logsquared ? 1 : 0;
    int code = filterdone;
    switch (filter) {
    case ShownFilter::none:
        return filterdone;
    case ShownFilter::normalize:
        code = normalize(d.context, d.engine, used, d.hist256);
        break;
    case ShownFilter::equalize:
        code = equalize(d.context, d.engine, used, d.hist256);
        break;
    case ShownFilter::log:
    case ShownFilter::logsquared:
        code = logadjust(d.context, d.engine, used, d.hist256);
        break;
    case ShownFilter::densitytone:
    case ShownFilter::depthtone:
        code = toned(d, filter);
        break;
    }
    if (code == filterdone)
        d.shownfilter = filter;
    return code;
}

bool showstone(const Desktop& d)
{
    const EngineState& s = d.engine;
    if (s.cmethod != 0)
        return false;
    if (s.okicon)
        return d.livetone.on;
    return tone(d.shownfilter) && s.hcres == s.res;
}

void retone(Desktop& d)
{
    if (!showstone(d))
        return;
    if (!d.engine.okicon) {
        applyfilter(d, d.shownfilter, d.filters);
        return;
    }
    if (refreshlivetone(d, true))
        InvalidateRect(d.shell.g_hWnd, nullptr, 0);
}

} // namespace kt
