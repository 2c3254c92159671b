#pragma once
#include "platform/window.h"

namespace kt {

// The main window: its creation and destruction steps, the view onto the
// off-screen image, and the commands.
LRESULT MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kt
