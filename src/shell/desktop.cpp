#include "shell/desktop.h"

#include <cstdio>
#include <exception>

namespace kt {

// The about window's bitmap is the desktop's own.
Desktop::~Desktop()
{
    DeleteObject(shell.aboutbitmap);
}

Desktop& desktopof(HWND hwnd)
{
    for (HWND w = hwnd; w; w = w->parent)
        if (const LONG_PTR kept = GetWindowLongPtrA(w, GWLP_USERDATA))
            return *reinterpret_cast<Desktop*>(kept);
    // Every window of the program is made for a desktop: one without is a
    // fault in the program, which no procedure could work around.
    std::fputs("a window without its desktop\n", stderr);
    std::terminate();
}

void keepcreationdesktop(HWND hwnd, LPARAM creation)
{
    const auto* record = reinterpret_cast<const CREATESTRUCTA*>(creation);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record->lpCreateParams));
}

void keepdialogdesktop(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, GWLP_USERDATA, param);
}

LPARAM dialogparam(Desktop& d)
{
    return reinterpret_cast<LPARAM>(&d);
}

} // namespace kt
