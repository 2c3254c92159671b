#include "shell/startup.h"

#include "shell/quality.h"

#include "engine/driver.h"
#include "shell/renderdriver.h"
#include "engine/enginestate.h"
#include "shell/filedialogs.h"
#include "image/filters.h"
#include "image/palettes.h"
#include "platform/bitmaps.h"
#include "platform/messagebox.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"
#include "shell/splash.h"
#include "shell/statusline.h"
#include "shell/desktop.h"

namespace kt {

namespace {
constexpr std::size_t pathbuffer = 260;

// Esc closes the about box as it would a dialog; the accelerators would take
// it as the Exit of the main window, which the box disables.
bool aboutboxescape(const Desktop& d, const MSG& msg)
{
    return d.shell.aboutflag && msg.hwnd != d.shell.g_hWnd && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
}
} // namespace

std::string commandlinepath(const std::string& argument)
{
    std::string path = argument;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    return path.size() < pathbuffer ? path : std::string();
}

int InitWindowClass(Desktop& d, HINSTANCE hInstance)
{
    WNDCLASSA wc{};
    wc.hInstance = hInstance;

    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.menu = &dravune3dmenu();
    wc.lpszClassName = szWinName;
    if (!RegisterClassA(&wc))
        return 1;

    wc.style = 0;
    wc.lpfnWndProc = PopupWindowProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.menu = nullptr;
    wc.lpszClassName = szPopupWinName;
    if (!RegisterClassA(&wc))
        return 2;

    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = szSplashWinName;
    d.shell.oksplash = RegisterClassA(&wc) ? 1 : 0;

    wc.lpfnWndProc = HistogramWindowProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = szHistogramWinName;
    d.filters.okhistogram = RegisterClassA(&wc) ? 1 : 0;
    return 0;
}

int initgraphics(EngineState& s, HWND hWnd)
{
    HDC hdc = GetDC(hWnd);
    const int bits = GetDeviceCaps(hdc, BITSPIXEL);
    ReleaseDC(hWnd, hdc);
    genpalette(s, defpal1);
    return bits >= 24 ? 0 : 1;
}

int CreateMainWindow(Desktop& d, HINSTANCE hInstance, int nCmdShow)
{
    EngineState& s = d.engine;
    d.shell.g_hInstance = hInstance;
    d.shell.g_hAccel = LoadAcceleratorsA(dravune3daccelerators());
    InitOpenFile(d.filedialogs, d.filenames);
    d.shell.xscreen = GetSystemMetrics(SM_CXSCREEN);
    d.shell.yscreen = GetSystemMetrics(SM_CYSCREEN);
    s.res = 600;
    HWND hWnd = CreateWindowExA(0, szWinName, programtitle,
                                WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, 0, 0, d.shell.xscreen,
                                d.shell.yscreen, nullptr, nullptr, hInstance, &d);
    if (!hWnd)
        return 3;
    d.shell.g_hWnd = hWnd;
    if (initgraphics(s, hWnd) != 0)
        return 4;
    ShowWindow(hWnd, nCmdShow);
    UpdateWindow(hWnd);
    return 0;
}

unsigned ProgramDriver(Desktop& d)
{
    EngineState& s = d.engine;
    MSG msg;
    for (;;) {
        // Rendering must never wait for input, so an empty queue gets an idle
        // message; while paused the loop waits for input instead of spinning.
        if (s.okicon && !PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE))
            PostMessageA(d.shell.g_hWnd, WM_USER, 0, 0);
        if (!GetMessageA(&msg, nullptr, 0, 0))
            return static_cast<unsigned>(msg.wParam);
        if (aboutboxescape(d, msg) || !TranslateAcceleratorA(d.shell.g_hWnd, d.shell.g_hAccel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (s.okicon) {
            const bool newpicture = s.newimage;
            const RenderClock::time_point began = RenderClock::now();
            icondriver(d.context, s, d.shell.g_hWnd);
            countbatch(d.shell.unsaved, newpicture, RenderClock::now() - began);
            const std::uint64_t target = qualitytarget(d.quality, s.res);
            // The quality reached: rendering pauses as R would pause it.
            if (target && s.okicon && !s.newimage && s.itercount >= target)
                SendMessageA(d.shell.g_hWnd, WM_COMMAND, cmdrender, 0);
            showstatus(d.shell.status, s, d.shell.g_hWnd, false, target);
        }
    }
}

int WinMain(Desktop& d, HINSTANCE hInstance, HINSTANCE, const char* lpszArgs, int nCmdShow)
{
    d.shell.odv3temp = lpszArgs ? lpszArgs : "";
    registerartwork();
    setprogramicon(LoadBitmapA(hInstance, "DRAVUNE3DICON"));
    int result = InitWindowClass(d, hInstance);
    if (result == 0)
        result = CreateMainWindow(d, hInstance, nCmdShow);
    if (result == 0)
        result = static_cast<int>(ProgramDriver(d));
    else {
        MessageBoxA(nullptr, errormessage[result - 1], "Error", MB_ICONEXCLAMATION);
        result = 0;
    }
    return result;
}

} // namespace kt
