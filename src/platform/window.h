#pragma once
// Windows, their client surfaces, the posted-message queue and the cursor.
#include <memory>

#include "platform/gdi.h"
#include "platform/wintypes.h"

namespace kt {

struct Window {
    Window(int clientWidth, int clientHeight) : client(clientWidth, clientHeight) {}
    Surface client;
    bool enabled = true;
};
using HWND = Window*;

// A null window has no drawing surface.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
BOOL GetClientRect(HWND hwnd, RECT* rect);
// Returns whether the window was disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Looks at the oldest posted message; with PM_REMOVE also takes it off the queue.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);

enum class CursorShape { Arrow, Cross, Wait, AppStarting };
struct Cursor {
    CursorShape shape;
};
using HCURSOR = const Cursor*;
using HINSTANCE = void*;

constexpr int IDC_ARROW = 32512;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_APPSTARTING = 32650;

// The system cursors; nullptr for an unknown id.
HCURSOR LoadCursorA(HINSTANCE instance, int id);
// Returns the cursor that was showing. A null cursor hides it.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

} // namespace kt
