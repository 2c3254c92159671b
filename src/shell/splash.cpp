#include "shell/splash.h"

#include <algorithm>

#include "platform/bitmaps.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"

namespace kt {

namespace {
constexpr int splashside = 320;
constexpr int aboutwidth = 480;
constexpr int aboutheight = 240;
constexpr unsigned splashmilliseconds = 2000;

void closeabout(Desktop& d, HWND hPopupwnd)
{
    if (!d.shell.aboutflag)
        return;
    d.shell.aboutflag = 0;
    DeleteObject(d.shell.aboutbitmap);
    d.shell.aboutbitmap = nullptr;
    EnableWindow(d.shell.g_hWnd, 1);
    DestroyWindow(hPopupwnd);
}
} // namespace

int splash(Desktop& d, HWND hWnd, int index)
{
    HWND hSplashwnd = CreateWindowExA(0, szSplashWinName, nullptr, WS_POPUP, d.shell.xscreen / 2 - splashside / 2,
                                      d.shell.yscreen / 2 - splashside / 2, splashside, splashside, hWnd, nullptr,
                                      d.shell.g_hInstance, &d);
    EnableWindow(hWnd, 0);
    ShowCursor(0);
    ShowWindow(hSplashwnd, SW_SHOW);
    if (index == 2) {
        // The whole client area, which may be larger than the screen's size
        // in the screen's units: at a display scale factor the main window
        // counts device pixels, the screen logical ones.
        HDC main = GetDC(d.shell.g_hWnd);
        RECT area{0, 0, d.shell.xscreen, d.shell.yscreen};
        RECT client;
        if (GetClientRect(d.shell.g_hWnd, &client)) {
            area.right = std::max(area.right, client.right);
            area.bottom = std::max(area.bottom, client.bottom);
        }
        FillRect(main, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(d.shell.g_hWnd, main);
    }
    HBITMAP hBitmap = LoadBitmapA(d.shell.g_hInstance, index == 1 ? "KTSPLASH1BITMAP" : "KTSPLASH2BITMAP");
    if (hSplashwnd && hBitmap) {
        HDC clienthdc = GetDC(hSplashwnd);
        BitBlt(clienthdc, 0, 0, splashside, splashside, hBitmap, 0, 0, SRCCOPY);
        ReleaseDC(hSplashwnd, clienthdc);
    }
    Sleep(splashmilliseconds);
    EnableWindow(hWnd, 1);
    ShowCursor(1);
    DestroyWindow(hSplashwnd);
    DeleteObject(hBitmap);
    return 0;
}

bool openaboutwindow(Desktop& d)
{
    d.shell.aboutflag = 1;
    HWND about = CreateWindowExA(0, szPopupWinName, nullptr, WS_POPUP, d.shell.xscreen / 2 - aboutwidth / 2,
                                 d.shell.yscreen / 2 - aboutheight / 2, aboutwidth, aboutheight, d.shell.g_hWnd,
                                 nullptr, d.shell.g_hInstance, &d);
    if (!about) {
        d.shell.aboutflag = 0;
        return false;
    }
    ShowWindow(about, SW_SHOW);
    EnableWindow(d.shell.g_hWnd, 0);
    return true;
}

LRESULT PopupWindowProc(HWND hPopupwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        keepcreationdesktop(hPopupwnd, lParam);
    Desktop& d = desktopof(hPopupwnd);
    switch (message) {
    case WM_CREATE:
        // Splash windows share this procedure but show their own picture.
        if (!d.shell.aboutflag)
            return 0;
        d.shell.aboutbitmap = LoadBitmapA(d.shell.g_hInstance, "KTABOUTBITMAP");
        if (!d.shell.aboutbitmap) {
            EnableWindow(d.shell.g_hWnd, 1);
            MessageBoxA(d.shell.g_hWnd, "Unable to allocate bitmap buffer.\nTry to free up some memory.",
                        "Memory Problem", MB_ICONEXCLAMATION);
            return -1; // no about window comes to be
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hPopupwnd, &ps);
        if (d.shell.aboutflag && d.shell.aboutbitmap)
            BitBlt(ps.hdc, 0, 0, aboutwidth, aboutheight, d.shell.aboutbitmap, 0, 0, SRCCOPY);
        EndPaint(hPopupwnd, &ps);
        return 0;
    }
    case WM_MOVE:
    case WM_SIZE:
        InvalidateRect(hPopupwnd, nullptr, 1);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE && d.shell.aboutflag)
            closeabout(d, hPopupwnd);
        return 0;
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        closeabout(d, hPopupwnd);
        return 0;
    default:
        return DefWindowProcA(hPopupwnd, message, wParam, lParam);
    }
}

} // namespace kt
