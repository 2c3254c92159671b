#include "platform/window.h"

#include <deque>

namespace kt {

namespace {
std::deque<MSG> postedMessages;

const Cursor arrowCursor{CursorShape::Arrow};
const Cursor waitCursor{CursorShape::Wait};
const Cursor crossCursor{CursorShape::Cross};
const Cursor appStartingCursor{CursorShape::AppStarting};
HCURSOR currentCursor = &arrowCursor;
} // namespace

HDC GetDC(HWND hwnd)
{
    return hwnd ? &hwnd->client : nullptr;
}

int ReleaseDC(HWND hwnd, HDC hdc)
{
    return hwnd && hdc ? 1 : 0;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!hwnd || !rect)
        return 0;
    *rect = RECT{0, 0, hwnd->client.width(), hwnd->client.height()};
    return 1;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (!hwnd)
        return 0;
    const BOOL wasDisabled = hwnd->enabled ? 0 : 1;
    hwnd->enabled = enable != 0;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    return hwnd && hwnd->enabled ? 1 : 0;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    postedMessages.push_back(MSG{hwnd, message, wParam, lParam});
    return 1;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove)
{
    for (auto it = postedMessages.begin(); it != postedMessages.end(); ++it) {
        if (hwnd && it->hwnd != hwnd)
            continue;
        if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax))
            continue;
        if (msg)
            *msg = *it;
        if (remove & PM_REMOVE)
            postedMessages.erase(it);
        return 1;
    }
    return 0;
}

HCURSOR LoadCursorA(HINSTANCE, int id)
{
    switch (id) {
    case IDC_ARROW: return &arrowCursor;
    case IDC_WAIT: return &waitCursor;
    case IDC_CROSS: return &crossCursor;
    case IDC_APPSTARTING: return &appStartingCursor;
    default: return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = currentCursor;
    currentCursor = cursor;
    return previous;
}

HCURSOR GetCursor()
{
    return currentCursor;
}

} // namespace kt
