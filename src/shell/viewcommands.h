#pragma once
// The commands of how the picture is shown, which change nothing of it and
// so run while rendering too: a copy of it on the clipboard, the whole
// picture fitted into the window, full screen.
#include "platform/window.h"

namespace kt {

struct Desktop;

void copypicture(const Desktop& d, HWND hWnd);
// Fit Window on or off: on, the client area is the picture's size, shown
// scaled down where the window is smaller; the picture's pixels stay as
// they are.
void togglefitwindow(Desktop& d, HWND hWnd);
void togglefullscreen(HWND hWnd);

} // namespace kt
