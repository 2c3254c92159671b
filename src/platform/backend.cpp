#include "platform/backend.h"

#include <cctype>

#include "platform/core.h"
#include "platform/headless.h"

namespace kt {

namespace {
Backend* current = nullptr;
}

Backend& backend()
{
    static HeadlessBackend fallback;
    return current ? *current : fallback;
}

void setbackend(Backend* b)
{
    current = b;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    return backend().messagebox(MessageBoxRequest{owner, text ? text : "", caption ? caption : "", type});
}

void deliverkey(HWND hwnd, int key, UINT modifiers, char32_t character)
{
    if (IsWindowEnabled(hwnd))
        PostKeyMessage(hwnd, (modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key), modifiers,
                       character);
}

void deliverclick(HWND hwnd, bool left, int x, int y)
{
    if (IsWindowEnabled(hwnd))
        PostMessageA(hwnd, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, 0, MAKELPARAM(x, y));
}

void delivermiddle(HWND hwnd, UINT message, int x, int y)
{
    if (IsWindowEnabled(hwnd))
        PostMessageA(hwnd, message, 0, MAKELPARAM(x, y));
}

void deliverwheel(HWND hwnd, int delta, int x, int y)
{
    if (IsWindowEnabled(hwnd))
        PostMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(x, y));
}

void deliverclientsize(HWND hwnd, int width, int height)
{
    if (!IsWindow(hwnd))
        return;
    hwnd->roomwidth = width;
    hwnd->roomheight = height;
    if (hwnd->fixedwidth > 0 && hwnd->fixedheight > 0)
        return;
    resizeclient(hwnd, width, height);
}

void delivermove(HWND hwnd, int x, int y)
{
    if (!IsWindow(hwnd))
        return;
    hwnd->x = x;
    hwnd->y = y;
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
}

void deliverscroll(HWND hwnd, int bar, int request, int position)
{
    if (IsWindowEnabled(hwnd))
        PostMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(request, position), 0);
}

void deliverclose(HWND hwnd)
{
    if (IsWindowEnabled(hwnd))
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

void delivermenucommand(HWND hwnd, UINT id)
{
    const MenuItem* item = findmenuitem(GetMenu(hwnd), id);
    if (IsWindowEnabled(hwnd) && item && !item->grayed)
        PostMessageA(hwnd, WM_COMMAND, id, 0);
}

void delivermenukeys(HWND hwnd, HMENU popup, const std::string& letters)
{
    for (char letter : letters) {
        const int at = menumnemonicposition(
            popup, static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(letter))));
        if (at < 0)
            return;
        const MenuItem& item = popup->items[static_cast<std::size_t>(at)];
        if (!item.popup) {
            delivermenucommand(hwnd, item.id);
            return;
        }
        popup = item.popup.get();
    }
}

} // namespace kt
