#include <algorithm>
#include <deque>

#include "platform/backend.h"
#include "platform/core.h"
#include "platform/window.h"

namespace kt {

namespace {

std::deque<MSG> posted;
bool quitPosted = false;
int quitCode = 0;

bool matches(const MSG& m, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd && m.hwnd != hwnd)
        return false;
    return !(filterMin || filterMax) || (m.message >= filterMin && m.message <= filterMax);
}

// A window waiting to be painted, as the platform synthesises WM_PAINT when
// nothing else is queued.
HWND windowtopaint(HWND hwnd)
{
    for (HWND w : allwindows())
        if (w->invalid && w->visible && (!hwnd || w == hwnd))
            return w;
    return nullptr;
}

bool fetch(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!matches(*it, hwnd, filterMin, filterMax))
            continue;
        if (msg)
            *msg = *it;
        if (remove)
            posted.erase(it);
        return true;
    }
    if (quitPosted && !hwnd) {
        if (msg)
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0};
        if (remove)
            quitPosted = false;
        return true;
    }
    if (HWND w = windowtopaint(hwnd); w && matches(MSG{w, WM_PAINT}, hwnd, filterMin, filterMax)) {
        if (msg)
            *msg = MSG{w, WM_PAINT, 0, 0};
        return true;
    }
    return false;
}

} // namespace

bool messagewaiting()
{
    return !posted.empty() || quitPosted || windowtopaint(nullptr);
}

void discardmessagesfor(HWND hwnd)
{
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
}

void resetmessagequeue()
{
    posted.clear();
    quitPosted = false;
    quitCode = 0;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !IsWindow(hwnd))
        return 0;
    posted.push_back(MSG{hwnd, message, wParam, lParam});
    return 1;
}

BOOL PostKeyMessage(HWND hwnd, UINT message, WPARAM key, UINT modifiers, char32_t character)
{
    if (!IsWindow(hwnd))
        return 0;
    posted.push_back(MSG{hwnd, message, key, 0, modifiers, character});
    return 1;
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove)
{
    backend().pump(false);
    return fetch(msg, hwnd, filterMin, filterMax, remove & PM_REMOVE) ? 1 : 0;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    MSG local;
    MSG* out = msg ? msg : &local;
    backend().pump(false);
    while (!fetch(out, hwnd, filterMin, filterMax, true))
        backend().pump(true);
    return out->message == WM_QUIT ? 0 : 1;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !IsWindow(msg->hwnd))
        return 0;
    const LRESULT result = SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A window procedure that did not paint still validates its window.
    if (msg->message == WM_PAINT && IsWindow(msg->hwnd) && msg->hwnd->invalid) {
        msg->hwnd->invalid = false;
        msg->hwnd->eraseBackground = false;
    }
    return result;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) || !msg->character)
        return 0;
    posted.push_back(MSG{msg->hwnd, WM_CHAR, static_cast<WPARAM>(msg->character), 0, msg->modifiers, msg->character});
    return 1;
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd))
        return 0;
    if (hwnd->dlgproc)
        return hwnd->dlgproc(hwnd, message, wParam, lParam);
    return hwnd->cls.lpfnWndProc ? hwnd->cls.lpfnWndProc(hwnd, message, wParam, lParam)
                                 : DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace kt
