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

} // namespace kt
