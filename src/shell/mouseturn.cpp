#include "shell/mouseturn.h"

#include <algorithm>
#include <cmath>

#include "shell/desktoppresentation.h"
#include "shell/paramdialog.h"
#include "shell/resources.h"
#include "shell/desktop.h"
#include "shell/undo.h"

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

// Into an image of its own, so that the render stays whole underneath.
void showpreview(Desktop& d, HWND hWnd, const VOXEL& angles, double scale)
{
    const int side = d.engine.res;
    std::unique_ptr<Surface>& image = d.shell.previewimage;
    if (!image || image->width() != side || image->height() != side)
        image = Surface::create(side, side);
    if (!image)
        return;
    d.shell.preview.take(d.context, d.engine);
    d.shell.preview.draw(d.context, d.engine, angles, scale, *image);
    d.shell.previewing = true;
    InvalidateRect(hWnd, nullptr, 0);
    UpdateWindow(hWnd);
}

double previewscale(const Desktop& d)
{
    return d.shell.zoomedscale != 0 ? d.shell.zoomedscale : d.engine.icon[d.engine.type].scale;
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
            showpreview(d, hWnd, angles, previewscale(d));
        return;
    }
    drag.active = false;
    if (!moved)
        return;
    // Released: the angles are set as the Rotation dialog sets them, and the
    // exact picture renders, zoomed as the wheel left it.
    const PictureSnapshot before = takesnapshot(d);
    s.rot[s.type] = angles;
    if (d.shell.zoomedscale != 0)
        s.icon[s.type].scale = d.shell.zoomedscale;
    endpreview(d, hWnd);
    s.newimage = 1;
    d.undo.record(before);
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

void endpreview(Desktop& d, HWND hWnd)
{
    if (!d.shell.previewing && d.shell.zoomedscale == 0)
        return;
    d.shell.previewing = false;
    d.shell.zoomedscale = 0;
    InvalidateRect(hWnd, nullptr, 0);
}

bool takezoom(Desktop& d)
{
    EngineState& s = d.engine;
    const double zoomed = d.shell.zoomedscale;
    d.shell.previewing = false;
    d.shell.zoomedscale = 0;
    if (zoomed == 0 || zoomed == s.icon[s.type].scale)
        return false;
    s.icon[s.type].scale = zoomed;
    s.newimage = 1;
    return true;
}

void onmousewheel(Desktop& d, HWND hWnd, int delta)
{
    EngineState& s = d.engine;
    if (d.shell.drag.active || !s.g_vhdc || delta == 0)
        return;
    pauserendering(s, hWnd);
    // The wheel goes no further than the Parameters dialog would. Back at the
    // render's own scale, the render shows again as it stands.
    const double scale = std::clamp(previewscale(d) * std::pow(zoomstep, -static_cast<double>(delta) / WHEEL_DELTA),
                                    scalerange[s.type][0], scalerange[s.type][1]);
    if (std::fabs(scale / s.icon[s.type].scale - 1) < 1e-9) {
        endpreview(d, hWnd);
        return;
    }
    d.shell.zoomedscale = scale;
    showpreview(d, hWnd, s.rot[s.type], scale);
}

} // namespace kt
