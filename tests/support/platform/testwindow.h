#pragma once
// A plain window with a client area of a given size, for code that draws on
// or posts to one.
#include "platform/backend.h"
#include "platform/window.h"

namespace kt::testing {

inline HWND maketestwindow(int clientWidth, int clientHeight)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "KTTestWindow";
    RegisterClassA(&wc); // already registered after the first call
    HWND hwnd = CreateWindowExA(0, "KTTestWindow", "test", 0, 0, 0, clientWidth, clientHeight, nullptr, nullptr,
                                nullptr, nullptr);
    deliverclientsize(hwnd, clientWidth, clientHeight);
    return hwnd;
}

} // namespace kt::testing
