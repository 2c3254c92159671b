#include "platform/window.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/program.h"
#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/core.h"

namespace kt {

namespace {

const Cursor arrowCursor{CursorShape::Arrow};
const Cursor waitCursor{CursorShape::Wait};
const Cursor crossCursor{CursorShape::Cross};
const Cursor appStartingCursor{CursorShape::AppStarting};

// The window system's tables, a part of the program's state.
struct WindowTables {
    std::map<std::string, WNDCLASSA> classes;
    std::vector<std::unique_ptr<Window>> windows;
    std::set<std::string> failingClasses;
    std::set<std::string> failingWindows;
    HCURSOR currentCursor = &arrowCursor;
    int cursorDisplayCount = 0;
};
// Windows are destroyed one by one, so that the backend lets go of each.
WindowTables& tables = program().part<WindowTables>([](WindowTables&) { resetwindowsystem(); });
auto& classes = tables.classes;
auto& windows = tables.windows;
auto& failingClasses = tables.failingClasses;
auto& failingWindows = tables.failingWindows;
HCURSOR& currentCursor = tables.currentCursor;
int& cursorDisplayCount = tables.cursorDisplayCount;

RECT unite(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace

// ---- Cursors ---------------------------------------------------------------

HCURSOR LoadCursorA(HINSTANCE, int id)
{
    switch (id) {
    case IDC_ARROW:
        return &arrowCursor;
    case IDC_WAIT:
        return &waitCursor;
    case IDC_CROSS:
        return &crossCursor;
    case IDC_APPSTARTING:
        return &appStartingCursor;
    default:
        return nullptr;
    }
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = currentCursor;
    if (cursor != currentCursor) {
        currentCursor = cursor;
        backend().cursorchanged();
    }
    return previous;
}

HCURSOR GetCursor()
{
    return currentCursor;
}

int ShowCursor(BOOL show)
{
    cursorDisplayCount += show ? 1 : -1;
    backend().cursorchanged();
    return cursorDisplayCount;
}

int cursordisplaycount()
{
    return cursorDisplayCount;
}

// ---- Classes and windows ---------------------------------------------------

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    const std::string name = wc->lpszClassName;
    if (failingClasses.count(name) || classes.count(name))
        return 0;
    classes[name] = *wc;
    return static_cast<ATOM>(classes.size());
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, void* param)
{
    const std::string name = className ? className : "";
    const auto found = classes.find(name);
    if (found == classes.end() || failingWindows.count(name))
        return nullptr;

    auto window = std::make_unique<Window>();
    HWND hwnd = window.get();
    hwnd->cls = found->second;
    hwnd->classname = name;
    hwnd->title = title ? title : "";
    hwnd->style = style;
    hwnd->parent = parent;
    hwnd->x = x;
    hwnd->y = y;
    hwnd->width = width;
    hwnd->height = height;
    if (hwnd->cls.menu)
        hwnd->menu = buildmenu(*hwnd->cls.menu);
    int clientWidth = width, clientHeight = height;
    backend().initialclientsize(hwnd, &clientWidth, &clientHeight);
    hwnd->client.resize(clientWidth, clientHeight);
    hwnd->roomwidth = clientWidth;
    hwnd->roomheight = clientHeight;
    windows.push_back(std::move(window));
    backend().windowcreated(hwnd);

    CREATESTRUCTA creation{param};
    if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL IsWindow(HWND hwnd)
{
    return hwnd && std::any_of(windows.begin(), windows.end(), [&](const auto& w) { return w.get() == hwnd; });
}

namespace {
void forget(HWND hwnd)
{
    backend().windowdestroyed(hwnd);
    discardmessagesfor(hwnd);
    windows.erase(std::remove_if(windows.begin(), windows.end(), [&](const auto& w) { return w.get() == hwnd; }),
                  windows.end());
}
} // namespace

BOOL DestroyWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return 0;
    // Owned popups go first, then the window itself is told.
    for (HWND other : allwindows())
        if (other->parent == hwnd && IsWindow(other))
            DestroyWindow(other);
    if (hwnd->visible) {
        hwnd->visible = false;
        backend().windowchanged(hwnd);
    }
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    if (IsWindow(hwnd))
        forget(hwnd);
    return 1;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    if (!IsWindow(hwnd) || index != GWLP_USERDATA)
        return 0;
    const LONG_PTR previous = hwnd->userData;
    hwnd->userData = value;
    return previous;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    return IsWindow(hwnd) && index == GWLP_USERDATA ? hwnd->userData : 0;
}

std::vector<HWND> allwindows()
{
    std::vector<HWND> list;
    for (const auto& w : windows)
        list.push_back(w.get());
    return list;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    if (!IsWindow(hwnd))
        return 0;
    const bool was = hwnd->visible;
    const bool show = command != SW_HIDE;
    if (was != show) {
        hwnd->visible = show;
        if (show)
            InvalidateRect(hwnd, nullptr, 1);
        backend().windowchanged(hwnd);
    }
    if (show && !hwnd->shownOnce) {
        hwnd->shownOnce = true;
        SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(hwnd->client.width(), hwnd->client.height()));
    }
    return was ? 1 : 0;
}

void resizeclient(HWND hwnd, int width, int height)
{
    if (!IsWindow(hwnd) || (hwnd->client.width() == width && hwnd->client.height() == height))
        return;
    hwnd->client.resize(width, height);
    if (hwnd->cls.style & (CS_HREDRAW | CS_VREDRAW))
        InvalidateRect(hwnd, nullptr, 1);
    SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(width, height));
}

BOOL SetFixedClientSize(HWND hwnd, int width, int height)
{
    if (!IsWindow(hwnd) || width < 0 || height < 0)
        return 0;
    const bool fixed = width > 0 && height > 0;
    hwnd->fixedwidth = fixed ? width : 0;
    hwnd->fixedheight = fixed ? height : 0;
    // The backend shows the area at its new scale even when its size stays.
    backend().windowchanged(hwnd);
    InvalidateRect(hwnd, nullptr, 1);
    resizeclient(hwnd, fixed ? width : hwnd->roomwidth, fixed ? height : hwnd->roomheight);
    return 1;
}

BOOL SetFullScreen(HWND hwnd, BOOL on)
{
    if (!IsWindow(hwnd))
        return 0;
    if (hwnd->fullscreen != (on != 0)) {
        hwnd->fullscreen = on != 0;
        backend().windowchanged(hwnd);
    }
    return 1;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return 0;
    if (hwnd->invalid && hwnd->visible)
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return 1;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (!IsWindow(hwnd))
        return 0;
    const BOOL wasDisabled = hwnd->enabled ? 0 : 1;
    if (hwnd->enabled != (enable != 0)) {
        hwnd->enabled = enable != 0;
        backend().windowchanged(hwnd);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    return IsWindow(hwnd) && hwnd->enabled ? 1 : 0;
}

void SetStatusText(HWND hwnd, const std::string& text)
{
    // The backend shows it with the next picture it presents.
    if (IsWindow(hwnd))
        hwnd->status = text;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!hwnd || !rect)
        return 0;
    *rect = RECT{0, 0, hwnd->client.width(), hwnd->client.height()};
    return 1;
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt and a menu's letter open that menu of the bar.
        if (const int at = menumnemonicposition(GetMenu(hwnd), static_cast<int>(wParam)); at >= 0 && hwnd->enabled)
            backend().openmenu(hwnd, at);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return 0;
    }
}

// ---- Painting --------------------------------------------------------------

HDC GetDC(HWND hwnd)
{
    return hwnd ? &hwnd->client : nullptr;
}

int ReleaseDC(HWND hwnd, HDC hdc)
{
    return hwnd && hdc ? 1 : 0;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    if (!IsWindow(hwnd))
        return 0;
    const RECT all{0, 0, hwnd->client.width(), hwnd->client.height()};
    const RECT area = rect ? *rect : all;
    hwnd->invalidRect = hwnd->invalid ? unite(hwnd->invalidRect, area) : area;
    hwnd->invalid = true;
    hwnd->eraseBackground = hwnd->eraseBackground || erase;
    return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint)
{
    if (!hwnd || !paint)
        return nullptr;
    paint->hdc = &hwnd->client;
    paint->rcPaint = hwnd->invalid ? hwnd->invalidRect : RECT{};
    paint->fErase = hwnd->eraseBackground ? 1 : 0;
    if (hwnd->eraseBackground && hwnd->cls.hbrBackground)
        FillRect(paint->hdc, &paint->rcPaint, hwnd->cls.hbrBackground);
    hwnd->invalid = false;
    hwnd->eraseBackground = false;
    return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT*)
{
    return hwnd ? 1 : 0;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, void*, UINT flags)
{
    if (!IsWindow(hwnd))
        return 0;
    if (flags & RDW_INVALIDATE)
        InvalidateRect(hwnd, rect, 0);
    if (flags & RDW_UPDATENOW)
        UpdateWindow(hwnd);
    return 1;
}

// ---- Scroll bars -----------------------------------------------------------

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL)
{
    if (!IsWindow(hwnd) || !info || (bar != SB_HORZ && bar != SB_VERT))
        return 0;
    SCROLLINFO& s = hwnd->scroll[bar];
    if (info->fMask & SIF_RANGE) {
        s.nMin = info->nMin;
        s.nMax = info->nMax;
    }
    if (info->fMask & SIF_PAGE)
        s.nPage = info->nPage;
    if (info->fMask & SIF_POS)
        s.nPos = info->nPos;
    // The position stays within what the page leaves of the range.
    const int highest = std::max(s.nMin, s.nMax - std::max(static_cast<int>(s.nPage), 1) + 1);
    s.nPos = std::clamp(s.nPos, s.nMin, highest);
    backend().scrollchanged(hwnd, bar);
    return s.nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info)
{
    if (!IsWindow(hwnd) || !info || (bar != SB_HORZ && bar != SB_VERT))
        return 0;
    *info = hwnd->scroll[bar];
    return 1;
}

bool scrollbarvisible(HWND hwnd, int bar)
{
    const SCROLLINFO& s = hwnd->scroll[bar];
    return s.nMax > s.nMin && static_cast<long long>(s.nPage) <= static_cast<long long>(s.nMax) - s.nMin;
}

// ---- System ----------------------------------------------------------------

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return backend().screenwidth();
    case SM_CYSCREEN:
        return backend().screenheight();
    default:
        return 0;
    }
}

int GetDeviceCaps(HDC, int index)
{
    return index == BITSPIXEL ? backend().screendepth() : 0;
}

void Sleep(unsigned milliseconds)
{
    backend().sleep(milliseconds);
}

BOOL OpenDocumentA(const std::string& path)
{
    return backend().opendocument(path) ? 1 : 0;
}

void resetwindowsystem()
{
    while (!windows.empty()) {
        backend().windowdestroyed(windows.back().get());
        windows.pop_back();
    }
    classes.clear();
    failingClasses.clear();
    failingWindows.clear();
    resetmessagequeue();
    resetbitmapresources();
    currentCursor = &arrowCursor;
    cursorDisplayCount = 0;
}

void injectclassfailure(const std::string& className)
{
    failingClasses.insert(className);
}

void injectwindowfailure(const std::string& className)
{
    failingWindows.insert(className);
}

} // namespace kt
