#pragma once
#include "platform/window.h"

namespace kt {

// A command from the menu, a key or the program itself.
void maincommand(HWND hWnd, UINT id);

// The menu as it is while rendering runs (only Render / Pause / Resume
// available) or while paused.
void setmenustate(HWND hWnd, bool rendering);

} // namespace kt
