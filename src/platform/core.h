#pragma once
// What the parts of the window-system core and the backends share beyond the
// public calls.
#include <memory>

#include "platform/window.h"

namespace kt {

std::unique_ptr<Menu> buildmenu(const MenuTemplate& menu);
void discardmessagesfor(HWND hwnd);
void resetmessagequeue();
// Whether a message (posted, quit or paint) is waiting to be fetched.
bool messagewaiting();
int cursordisplaycount();
// Whether the window is a dialog or one of its controls: a backend shows
// those while it runs the dialog, not as windows of their own.
bool isdialogwindow(HWND hwnd);
// The client area at a new size: repainted as its class asks, and told by
// WM_SIZE; nothing when the size stays.
void resizeclient(HWND hwnd, int width, int height);

} // namespace kt
