#include "shell/mainwindow.h"

#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "files/paramfiles.h"
#include "base/memory.h"
#include "shell/commands.h"
#include "shell/mouseturn.h"
#include "shell/recentfiles.h"
#include "shell/resources.h"
#include "shell/shellstate.h"
#include "shell/splash.h"
#include "shell/startup.h"
#include "shell/statusline.h"
#include "shell/view.h"
#include "parts/programparts.h"

namespace kt {

namespace {

void oncreate(HWND hWnd)
{
    if (shell.oksplash)
        splash(hWnd, 1);
    shell.cross = LoadCursorA(nullptr, IDC_CROSS);
    shell.hourglass = LoadCursorA(nullptr, IDC_WAIT);
    shell.wait = LoadCursorA(nullptr, IDC_APPSTARTING);
    if (!createviewbuffers(hWnd))
        return;
    loadrecentfiles(hWnd);
    // A command-line file that cannot be loaded leaves the built-in set, silently.
    const std::string path = commandlinepath(shell.odv3temp);
    if (!path.empty()) {
        filenames.odv3file = path;
        if (loaddv3(engine, filenames.odv3file) == loaddone)
            rememberrecentfile(hWnd, path);
    }
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

void ondestroy(HWND hWnd)
{
    EngineState& s = engine;
    // No render batch may follow onto the buffers released here, whatever
    // state rendering was in when the window closed.
    shell.closing = true;
    s.okicon = 0;
    s.hitcount.reset();
    s.hcres = 0;
    if (shell.oksplash)
        splash(hWnd, 2);
    releaseviewbuffers();
    PostQuitMessage(0);
}

} // namespace

LRESULT MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Input queued before or during the closing splash is still dispatched
    // before the quit message; a click's Render would restart rendering with
    // no buffers, and a second Esc would close the window again.
    if (shell.closing)
        return message == WM_PAINT ? DefWindowProcA(hWnd, message, wParam, lParam) : 0;
    switch (message) {
    case WM_CREATE:
        oncreate(hWnd);
        return 0;
    case WM_DESTROY:
        ondestroy(hWnd);
        return 0;
    case WM_COMMAND:
        maincommand(hWnd, LOWORD(wParam));
        if (!shell.closing)
            showstatus(hWnd, true);
        return 0;
    case WM_SIZE:
        onsize(hWnd, LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_MOVE:
        InvalidateRect(hWnd, nullptr, 1);
        return 0;
    case WM_PAINT:
        onpaint(hWnd);
        return 0;
    case WM_HSCROLL:
        onscroll(hWnd, SB_HORZ, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        onscroll(hWnd, SB_VERT, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        onkeydown(hWnd, static_cast<int>(wParam));
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_MBUTTONUP:
        onmousedrag(hWnd, message, static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                    static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        return 0;
    case WM_MOUSEWHEEL:
        onmousewheel(hWnd, static_cast<short>(HIWORD(static_cast<std::uintptr_t>(wParam))));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
        return 0;
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

} // namespace kt
