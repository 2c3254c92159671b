#pragma once
// Turning the icon by dragging with the middle button, and zooming it with
// the wheel, with a quick preview of each step.
#include "engine/enginestate.h"
#include "platform/window.h"

namespace kt {

// A drag of one pixel turns the icon by this many degrees: horizontally about
// Y, vertically about X. Whole pixels give angles a user can type exactly.
inline constexpr real degreesperpixel = 0.5L;
// One notch of the wheel away from the user zooms in by this factor.
inline constexpr double zoomstep = 1.1;

// The angles a drag by (dx, dy) pixels from `start` leads to, each in [0, 360).
VOXEL draggedangles(const VOXEL& start, int dx, int dy);

struct Desktop;

// The main window's middle-button and wheel messages.
void onmousedrag(Desktop& d, HWND hWnd, UINT message, int x, int y);
// The wheel previews a zoom and leaves the render as it is: its counts,
// steps and image stay, and saving saves them, until rendering starts again.
void onmousewheel(Desktop& d, HWND hWnd, int delta);

// The window shows the render again, and a zoom waiting is dropped.
void endpreview(Desktop& d, HWND hWnd);
// As rendering starts: the zoom the wheel left becomes the set's scale, for a
// new picture (true), and the preview ends.
bool takezoom(Desktop& d);

} // namespace kt
