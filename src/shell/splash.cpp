#include "shell/splash.h"

#include "engine/enginestate.h"
#include "platform/bitmaps.h"
#include "platform/messagebox.h"
#include "shell/shellstate.h"

namespace kt {

namespace {
constexpr int splashside = 320;
constexpr int aboutwidth = 480;
constexpr int aboutheight = 240;
constexpr unsigned splashmilliseconds = 2000;

void closeabout(HWND hPopupwnd)
{
    if (!shell.aboutflag)
        return;
    shell.aboutflag = 0;
    DeleteObject(shell.aboutbitmap);
    shell.aboutbitmap = nullptr;
    EnableWindow(shell.g_hWnd, 1);
    DestroyWindow(hPopupwnd);
}
} // namespace

int splash(HWND hWnd, int index)
{
    HWND hSplashwnd = CreateWindowExA(0, szSplashWinName, nullptr, WS_POPUP, shell.xscreen / 2 - splashside / 2,
                                      shell.yscreen / 2 - splashside / 2, splashside, splashside, hWnd, nullptr,
                                      shell.g_hInstance, nullptr);
    EnableWindow(hWnd, 0);
    ShowCursor(0);
    ShowWindow(hSplashwnd, SW_SHOW);
    if (index == 2) {
        HDC main = GetDC(shell.g_hWnd);
        const RECT screen{0, 0, shell.xscreen, shell.yscreen};
        FillRect(main, &screen, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(shell.g_hWnd, main);
    }
    HBITMAP hBitmap = LoadBitmapA(shell.g_hInstance, index == 1 ? "KTSPLASH1BITMAP" : "KTSPLASH2BITMAP");
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

bool openaboutwindow()
{
    shell.aboutflag = 1;
    HWND about = CreateWindowExA(0, szPopupWinName, nullptr, WS_POPUP, shell.xscreen / 2 - aboutwidth / 2,
                                 shell.yscreen / 2 - aboutheight / 2, aboutwidth, aboutheight, shell.g_hWnd, nullptr,
                                 shell.g_hInstance, nullptr);
    if (!about) {
        shell.aboutflag = 0;
        return false;
    }
    ShowWindow(about, SW_SHOW);
    EnableWindow(shell.g_hWnd, 0);
    return true;
}

LRESULT PopupWindowProc(HWND hPopupwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Splash windows share this procedure but show their own picture.
        if (!shell.aboutflag)
            return 0;
        shell.aboutbitmap = LoadBitmapA(shell.g_hInstance, "KTABOUTBITMAP");
        if (!shell.aboutbitmap) {
            EnableWindow(shell.g_hWnd, 1);
            MessageBoxA(shell.g_hWnd, "Unable to allocate bitmap buffer.\nTry to free up some memory.",
                        "Memory Problem", MB_ICONEXCLAMATION);
            return -1; // no about window comes to be
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hPopupwnd, &ps);
        if (shell.aboutflag && shell.aboutbitmap)
            BitBlt(ps.hdc, 0, 0, aboutwidth, aboutheight, shell.aboutbitmap, 0, 0, SRCCOPY);
        EndPaint(hPopupwnd, &ps);
        return 0;
    }
    case WM_MOVE:
    case WM_SIZE:
        InvalidateRect(hPopupwnd, nullptr, 1);
        return 0;
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        closeabout(hPopupwnd);
        return 0;
    default:
        return DefWindowProcA(hPopupwnd, message, wParam, lParam);
    }
}

} // namespace kt
