#pragma once
// The window-system core: window classes and windows with their client
// surfaces, the message queue and window procedures, painting, scroll bars,
// menus and accelerators, cursors. It is independent of any toolkit; a
// backend (headless or Qt) shows what it holds and feeds it input.
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/wintypes.h"

namespace kt {

struct Window;
using HWND = Window*;
using HINSTANCE = void*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// ---- Cursors -------------------------------------------------------------

enum class CursorShape { Arrow, Cross, Wait, AppStarting };
struct Cursor {
    CursorShape shape;
};
using HCURSOR = const Cursor*;

constexpr int IDC_ARROW = 32512;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_APPSTARTING = 32650;

HCURSOR LoadCursorA(HINSTANCE instance, int id); // nullptr for an unknown id
HCURSOR SetCursor(HCURSOR cursor);               // returns the cursor that was showing
HCURSOR GetCursor();
int ShowCursor(BOOL show); // the display count; shown while >= 0

// ---- Menus and accelerators ---------------------------------------------

struct MenuItemTemplate {
    UINT id = 0;      // 0 for separators and popups
    std::string text; // empty for a separator
    bool checked = false;
    std::vector<MenuItemTemplate> popup;
};
using MenuTemplate = std::vector<MenuItemTemplate>;

struct Menu;
struct MenuItem {
    UINT id = 0;
    std::string text;
    bool separator = false;
    bool grayed = false;
    bool checked = false;
    std::unique_ptr<Menu> popup;
};
struct Menu {
    std::vector<MenuItem> items;
};
using HMENU = Menu*;

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_BYPOSITION = 0x0400;

HMENU GetMenu(HWND hwnd);
// Both return the item's previous state, or 0xFFFFFFFF when there is no such item.
UINT EnableMenuItem(HMENU menu, UINT id, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT id, UINT flags);
// MF_GRAYED and MF_CHECKED bits of an item, or 0xFFFFFFFF.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
MenuItem* findmenuitem(HMENU menu, UINT id);
// The popup at a position of the menu, or nullptr.
HMENU GetSubMenu(HMENU menu, int position);
// Adds a command (or, with MF_SEPARATOR, a separator) at the end of a menu.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const char* text);
// Removes the item at `position` (MF_BYPOSITION) or with the command id.
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);

// A menu text marks its Alt letter with '&' before it ("&File"); "&&" shows
// one '&'. The letter, upper case, or 0 for a text without one.
char menumnemonic(const std::string& text);
// The text as the menu shows it: without the marks.
std::string menushowntext(const std::string& text);
// The position in `menu` of the item whose Alt letter is the key (a letter or
// digit, as its virtual key), or -1.
int menumnemonicposition(HMENU menu, int key);

constexpr UINT FVIRTKEY = 0x01;
constexpr UINT FSHIFT = 0x04;
constexpr UINT FCONTROL = 0x08;
constexpr UINT FALT = 0x10;

struct ACCEL {
    UINT fVirt;
    WORD key;
    WORD cmd;
};
using AcceleratorTable = std::vector<ACCEL>;
using HACCEL = const AcceleratorTable*;

HACCEL LoadAcceleratorsA(const AcceleratorTable& table);

struct MSG;
// A key-down that matches an entry (with exactly its modifiers) is consumed
// and returns 1. The command is sent to hwnd as WM_COMMAND only when hwnd is
// enabled and the command's menu item, if it has one, is not greyed.
int TranslateAcceleratorA(HWND hwnd, HACCEL table, MSG* msg);

// ---- Window classes and windows -------------------------------------------

struct WNDCLASSA {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const MenuTemplate* menu = nullptr;
    const char* lpszClassName = nullptr;
};
using ATOM = WORD;

ATOM RegisterClassA(const WNDCLASSA* wc); // 0 on failure

enum class ControlKind { None, Static, Edit, Button, DefButton, Radio, GroupBox, Trackbar };

struct Window {
    WNDCLASSA cls;
    std::string classname;
    std::string title;
    DWORD style = 0;
    HWND parent = nullptr;
    int x = 0, y = 0, width = 0, height = 0; // the frame, in screen pixels
    Surface client;
    bool visible = false;
    bool shownOnce = false; // the first showing tells the window its size
    bool enabled = true;
    bool acceptsfiles = false; // files may be dropped onto it
    bool fullscreen = false;
    // The room the backend has for the client area. A fixed client size
    // keeps the client area at that size whatever the room, shown scaled
    // down where the room is smaller; 0 x 0: the client area is the room.
    int roomwidth = 0, roomheight = 0;
    int fixedwidth = 0, fixedheight = 0;
    std::unique_ptr<Menu> menu;
    // The line a window with a menu shows under its client area.
    std::string status;
    bool invalid = false;
    bool eraseBackground = false;
    RECT invalidRect;
    SCROLLINFO scroll[2];
    // Dialogs and their controls.
    DLGPROC dlgproc = nullptr;
    INT_PTR dialogResult = 0;
    bool dialogEnded = false;
    std::vector<HWND> controls;
    HWND focus = nullptr; // the control a dialog opens with the keyboard focus on
    int controlId = 0;
    ControlKind kind = ControlKind::None;
    bool groupStart = false;
    bool checked = false;
    int trackMin = 0, trackMax = 100, trackPos = 0;
    int dlgx = 0, dlgy = 0, dlgcx = 0, dlgcy = 0; // control geometry in dialog units
    // Whatever the backend keeps for the window.
    void* backendData = nullptr;
    // Whatever the program keeps for the window (GWLP_USERDATA).
    LONG_PTR userData = 0;

    Window() : client(0, 0) { client.setmirrorsblits(true); }
};

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);
BOOL UpdateWindow(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable); // returns whether it was disabled
BOOL IsWindowEnabled(HWND hwnd);
BOOL GetClientRect(HWND hwnd, RECT* rect);
// See Window's fixed client size; WM_SIZE follows when the client area's
// size changes.
BOOL SetFixedClientSize(HWND hwnd, int width, int height);
// Shown over the whole screen, or as a window again.
BOOL SetFullScreen(HWND hwnd, BOOL on);
// The text of the window's status line; a window without a menu shows none.
void SetStatusText(HWND hwnd, const std::string& text);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A window procedure is handed nothing but the window, so what it works on
// is kept with the window, and goes with it. WM_CREATE's lParam points to
// the creation's record, whose lpCreateParams is CreateWindowExA's `param`,
// for the procedure to keep. Both return the previous value (0 for no
// window or an unknown index).
struct CREATESTRUCTA {
    void* lpCreateParams = nullptr;
};
constexpr int GWLP_USERDATA = -21;
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);

// Every window that exists, oldest first.
std::vector<HWND> allwindows();

// ---- Painting ------------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = 0;
    RECT rcPaint;
};

HDC GetDC(HWND hwnd); // the client surface; nullptr for no window
int ReleaseDC(HWND hwnd, HDC hdc);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
BOOL RedrawWindow(HWND hwnd, const RECT* rect, void* region, UINT flags);

// ---- Scroll bars ---------------------------------------------------------

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
// A bar shows while its page is smaller than its range.
bool scrollbarvisible(HWND hwnd, int bar);

// ---- Messages ------------------------------------------------------------

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT modifiers = 0;     // MOD_SHIFT, MOD_CONTROL, MOD_ALT with a key message
    char32_t character = 0; // the character a key-down types, if any
};

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostKeyMessage(HWND hwnd, UINT message, WPARAM key, UINT modifiers, char32_t character);
void PostQuitMessage(int exitCode);
// Returns 0 for WM_QUIT, 1 otherwise; waits for input when nothing is queued.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
LRESULT DispatchMessageA(const MSG* msg);
// Posts the WM_CHAR of a key-down that types a character.
BOOL TranslateMessage(const MSG* msg);
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- System --------------------------------------------------------------

int GetSystemMetrics(int index);
int GetDeviceCaps(HDC hdc, int index);
void Sleep(unsigned milliseconds);
// Asks the desktop to show a document with the viewer it has for it, without
// waiting for it: false when there is no viewer to ask.
BOOL OpenDocumentA(const std::string& path);

// Destroys every window (without messages), empties the queue and forgets
// the classes: the window system as at process start.
void resetwindowsystem();

// Test hooks: make the registration of a class, or the creation of a window
// of a class, fail.
void injectclassfailure(const std::string& className);
void injectwindowfailure(const std::string& className);

} // namespace kt
