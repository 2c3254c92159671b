#pragma once
// Files dropped onto a window: the backend hands the core their paths, and
// the window gets WM_DROPFILES with a drop to read them from.
#include <string>
#include <vector>

#include "platform/window.h"

namespace kt {

constexpr UINT WM_DROPFILES = 0x0233;

struct Drop;
using HDROP = const Drop*;

// Whether the user may drop files onto the window; a backend offers drops
// only to a window that takes them.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// A drop as a backend delivers it: posts WM_DROPFILES, wParam the drop, to an
// enabled window that takes files.
void deliverdrop(HWND hwnd, const std::vector<std::string>& paths);
// With index 0xFFFFFFFF the number of files dropped; else the path of file
// `index` into `path` (when given) and its length, 0 for no such file or
// drop.
UINT DragQueryFileA(HDROP drop, UINT index, std::string* path);
// The drop has been read and goes.
void DragFinish(HDROP drop);

} // namespace kt
