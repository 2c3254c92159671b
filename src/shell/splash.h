#pragma once
// The opening and closing splash and the about window.
#include "platform/window.h"

namespace kt {

struct Desktop;

// Shows splash picture `index` (1 opening, 2 closing) for two seconds with
// the main window disabled and the cursor hidden; returns 0.
int splash(Desktop& d, HWND hWnd, int index);

// The about window; returns whether it opened (the main window is then
// disabled until it closes).
bool openaboutwindow(Desktop& d);

LRESULT PopupWindowProc(HWND hPopupwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt
