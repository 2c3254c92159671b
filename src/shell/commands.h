#pragma once
#include "platform/window.h"

namespace kt {

struct Desktop;

// A command from the menu, a key or the program itself.
void maincommand(Desktop& d, HWND hWnd, UINT id);

// The menu as it is while rendering runs (only Render / Pause / Resume
// available) or while paused.
void setmenustate(const Desktop& d, HWND hWnd, bool rendering);
// Undo and Redo available while paused only when there is a step to take.
void setundostate(const Desktop& d, HWND hWnd);

} // namespace kt
