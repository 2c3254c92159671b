#include "platform/backend.h"
#include "platform/core.h"
#include "platform/window.h"

namespace kt {

std::unique_ptr<Menu> buildmenu(const MenuTemplate& menu)
{
    auto built = std::make_unique<Menu>();
    for (const MenuItemTemplate& entry : menu) {
        MenuItem item;
        item.id = entry.id;
        item.text = entry.text;
        item.checked = entry.checked;
        item.separator = entry.text.empty() && entry.popup.empty();
        if (!entry.popup.empty())
            item.popup = buildmenu(entry.popup);
        built->items.push_back(std::move(item));
    }
    return built;
}

MenuItem* findmenuitem(HMENU menu, UINT id)
{
    if (!menu || id == 0)
        return nullptr;
    for (MenuItem& item : menu->items) {
        if (item.id == id && !item.separator)
            return &item;
        if (item.popup)
            if (MenuItem* inner = findmenuitem(item.popup.get(), id))
                return inner;
    }
    return nullptr;
}

HMENU GetMenu(HWND hwnd)
{
    return IsWindow(hwnd) ? hwnd->menu.get() : nullptr;
}

namespace {
void menuhaschanged(HMENU menu)
{
    for (HWND w : allwindows())
        if (w->menu.get() == menu)
            backend().menuchanged(w);
}
} // namespace

UINT EnableMenuItem(HMENU menu, UINT id, UINT flags)
{
    MenuItem* item = findmenuitem(menu, id);
    if (!item)
        return 0xFFFFFFFFu;
    const UINT previous = item->grayed ? MF_GRAYED : MF_ENABLED;
    if (item->grayed != ((flags & MF_GRAYED) != 0)) {
        item->grayed = (flags & MF_GRAYED) != 0;
        menuhaschanged(menu);
    }
    return previous;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT flags)
{
    MenuItem* item = findmenuitem(menu, id);
    if (!item)
        return 0xFFFFFFFFu;
    const DWORD previous = item->checked ? MF_CHECKED : MF_UNCHECKED;
    if (item->checked != ((flags & MF_CHECKED) != 0)) {
        item->checked = (flags & MF_CHECKED) != 0;
        menuhaschanged(menu);
    }
    return previous;
}

UINT GetMenuState(HMENU menu, UINT id, UINT)
{
    const MenuItem* item = findmenuitem(menu, id);
    if (!item)
        return 0xFFFFFFFFu;
    return (item->grayed ? MF_GRAYED : 0) | (item->checked ? MF_CHECKED : 0);
}

HACCEL LoadAcceleratorsA(const AcceleratorTable& table)
{
    return &table;
}

int TranslateAcceleratorA(HWND hwnd, HACCEL table, MSG* msg)
{
    if (!table || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return 0;
    const UINT held = msg->modifiers;
    for (const ACCEL& entry : *table) {
        const UINT wanted = ((entry.fVirt & FSHIFT) ? MOD_SHIFT : 0) | ((entry.fVirt & FCONTROL) ? MOD_CONTROL : 0) |
                            ((entry.fVirt & FALT) ? MOD_ALT : 0);
        if (entry.key != msg->wParam || wanted != held)
            continue;
        // The key is taken either way; a disabled window or a greyed item
        // means no command.
        const MenuItem* item = findmenuitem(GetMenu(hwnd), entry.cmd);
        if (IsWindowEnabled(hwnd) && !(item && item->grayed))
            SendMessageA(hwnd, WM_COMMAND, entry.cmd, 0);
        return 1;
    }
    return 0;
}

} // namespace kt
