#pragma once
// Files dropped onto the main window: a parameter file or a palette opens as
// the File and Options menus' open commands would open it.
#include "platform/dropfiles.h"

namespace kt {

struct Desktop;

// Also while rendering: between two batches the file is read and, if good,
// starts a new picture, and a bad one leaves the render going. Of several
// files, the first is opened.
void ondroppedfiles(Desktop& d, HWND hWnd, HDROP drop);

} // namespace kt
