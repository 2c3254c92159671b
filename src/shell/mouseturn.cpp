#include "shell/mouseturn.h"

#include <algorithm>
#include <cmath>

#include "shell/desktoppresentation.h"
#include "shell/paramdialog.h"
#include "shell/resources.h"
#include "shell/desktop.h"

namespace kt {

namespace {

real wrapped(real degrees)
{
    degrees = std::fmod(degrees, static_cast<real>(360));
    return degrees < 0 ? degrees + 360 : degrees;
}

// Rendering stops for the preview; a click or R resumes as ever.
void pauserendering(const EngineState& engine, HWND hWnd)
{
    if (engine.okicon)
        SendMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

void showpreview(Desktop& d, HWND hWnd, const VOXEL& angles, double scale)
{
    d.shell.preview.take(d.engine);
    d.shell.preview.draw(d.context, d.engine, angles, scale, *d.engine.g_vhdc);
    InvalidateRect(hWnd, nullptr, 0);
    UpdateWindow(hWnd);
}

} // namespace

VOXEL draggedangles(const VOXEL& start, int dx, int dy)
{
    return VOXEL{wrapped(start.x + dy * degreesperpixel), wrapped(start.y + dx * degreesperpixel), start.z};
}

void onmousedrag(Desktop& d, HWND hWnd, UINT message, int x, int y)
{
    MouseDrag& drag = d.shell.drag;
    EngineState& s = d.engine;
    if (message == WM_MBUTTONDOWN) {
        pauserendering(s, hWnd);
        drag = MouseDrag{true, x, y, s.rot[s.type]};
        return;
    }
    if (!drag.active || !s.g_vhdc)
        return;
    const VOXEL angles = draggedangles(drag.start, x - drag.x, y - drag.y);
    const bool moved = x != drag.x || y != drag.y;
    if (message == WM_MOUSEMOVE) {
        if (moved)
            showpreview(d, hWnd, angles, s.icon[s.type].scale);
        return;
    }
    drag.active = false;
    if (!moved)
        return;
    // Released: the angles are set as the Rotation dialog sets them, and the
    // exact picture renders.
    s.rot[s.type] = angles;
    s.newimage = 1;
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

void onmousewheel(Desktop& d, HWND hWnd, int delta)
{
    EngineState& s = d.engine;
    if (d.shell.drag.active || !s.g_vhdc || delta == 0)
        return;
    pauserendering(s, hWnd);
    ICON& set = s.icon[s.type];
    // The wheel goes no further than the Parameters dialog would.
    set.scale = std::clamp(set.scale * std::pow(zoomstep, -static_cast<double>(delta) / WHEEL_DELTA),
                           scalerange[s.type][0], scalerange[s.type][1]);
    s.newimage = 1;
    showpreview(d, hWnd, s.rot[s.type], set.scale);
}

} // namespace kt
