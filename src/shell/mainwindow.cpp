#include "shell/mainwindow.h"

#include "shell/quality.h"

#include "engine/enginestate.h"
#include "engine/filenames.h"
#include "files/paramfiles.h"
#include "base/memory.h"
#include "shell/commands.h"
#include "shell/droppedfiles.h"
#include "shell/mouseturn.h"
#include "shell/recentfiles.h"
#include "shell/resources.h"
#include "shell/splash.h"
#include "shell/startup.h"
#include "shell/statusline.h"
#include "shell/view.h"
#include "shell/desktop.h"

namespace kt {

namespace {

void oncreate(Desktop& d, HWND hWnd)
{
    if (d.shell.oksplash)
        splash(d, hWnd, 1);
    d.shell.cross = LoadCursorA(nullptr, IDC_CROSS);
    d.shell.hourglass = LoadCursorA(nullptr, IDC_WAIT);
    d.shell.wait = LoadCursorA(nullptr, IDC_APPSTARTING);
    if (!createviewbuffers(d, hWnd))
        return;
    loadrecentfiles(d, hWnd);
    DragAcceptFiles(hWnd, 1);
    // A command-line file that cannot be loaded leaves the built-in set, silently.
    const std::string path = commandlinepath(d.shell.odv3temp);
    if (!path.empty()) {
        d.filenames.odv3file = path;
        if (loaddv3(d.engine, d.filenames.odv3file) == loaddone)
            rememberrecentfile(d, hWnd, path);
    }
    PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
}

void ondestroy(Desktop& d, HWND hWnd)
{
    EngineState& s = d.engine;
    // No render batch may follow onto the buffers released here, whatever
    // state rendering was in when the window closed.
    d.shell.closing = true;
    s.okicon = 0;
    s.hitcount.reset();
    s.hcres = 0;
    if (d.shell.oksplash)
        splash(d, hWnd, 2);
    releaseviewbuffers(d);
    PostQuitMessage(0);
}

} // namespace

LRESULT MainWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The desktop comes with the window's creation.
    if (message == WM_CREATE)
        keepcreationdesktop(hWnd, lParam);
    Desktop& d = desktopof(hWnd);
    // Input queued before or during the closing splash is still dispatched
    // before the quit message; a click's Render would restart rendering with
    // no buffers, and a second Esc would close the window again.
    if (d.shell.closing)
        return message == WM_PAINT ? DefWindowProcA(hWnd, message, wParam, lParam) : 0;
    // An export renders from a copy of the picture; turning or zooming the
    // window's meanwhile would start a render beside it.
    if (d.exporting && (message == WM_MBUTTONDOWN || message == WM_MOUSEWHEEL))
        return 0;
    switch (message) {
    case WM_CREATE:
        oncreate(d, hWnd);
        return 0;
    case WM_DESTROY:
        ondestroy(d, hWnd);
        return 0;
    case WM_CLOSE:
        if (mayend(d.shell.unsaved, hWnd))
            DestroyWindow(hWnd);
        return 0;
    case WM_COMMAND:
        maincommand(d, hWnd, LOWORD(wParam));
        if (!d.shell.closing)
            showstatus(d.shell.status, d.engine, hWnd, true, qualitytarget(d.quality, d.engine.res));
        return 0;
    case WM_SIZE:
        onsize(d, hWnd, LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
        return 0;
    case WM_MOVE:
        InvalidateRect(hWnd, nullptr, 1);
        return 0;
    case WM_PAINT:
        onpaint(d, hWnd);
        return 0;
    case WM_HSCROLL:
        onscroll(d.shell, hWnd, SB_HORZ, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_VSCROLL:
        onscroll(d.shell, hWnd, SB_VERT, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        onkeydown(hWnd, static_cast<int>(wParam));
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_MBUTTONUP:
        onmousedrag(d, hWnd, message, static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                    static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam))));
        return 0;
    case WM_DROPFILES:
        ondroppedfiles(d, hWnd, reinterpret_cast<HDROP>(wParam));
        if (!d.shell.closing)
            showstatus(d.shell.status, d.engine, hWnd, true);
        return 0;
    case WM_MOUSEWHEEL:
        onmousewheel(d, hWnd, static_cast<short>(HIWORD(static_cast<std::uintptr_t>(wParam))));
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
