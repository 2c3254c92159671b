#include <algorithm>
#include <cctype>

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

char menumnemonic(const std::string& text)
{
    for (std::size_t k = 0; k + 1 < text.size(); ++k) {
        if (text[k] != '&')
            continue;
        if (text[k + 1] != '&')
            return static_cast<char>(std::toupper(static_cast<unsigned char>(text[k + 1])));
        ++k;
    }
    return 0;
}

std::string menushowntext(const std::string& text)
{
    std::string shown;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '&' && k + 1 < text.size())
            ++k;
        shown += text[k];
    }
    return shown;
}

int menumnemonicposition(HMENU menu, int key)
{
    if (!menu || key <= 0 || key > 0x7F || !std::isalnum(key))
        return -1;
    for (std::size_t k = 0; k < menu->items.size(); ++k)
        if (!menu->items[k].separator && menumnemonic(menu->items[k].text) == std::toupper(key))
            return static_cast<int>(k);
    return -1;
}

HMENU GetMenu(HWND hwnd)
{
    return IsWindow(hwnd) ? hwnd->menu.get() : nullptr;
}

namespace {

bool holds(HMENU outer, HMENU menu)
{
    if (outer == menu)
        return true;
    for (const MenuItem& item : outer->items)
        if (item.popup && holds(item.popup.get(), menu))
            return true;
    return false;
}

void menuhaschanged(HMENU menu)
{
    for (HWND w : allwindows())
        if (w->menu && holds(w->menu.get(), menu))
            backend().menuchanged(w);
}

} // namespace

HMENU GetSubMenu(HMENU menu, int position)
{
    if (!menu || position < 0 || static_cast<std::size_t>(position) >= menu->items.size())
        return nullptr;
    return menu->items[static_cast<std::size_t>(position)].popup.get();
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT id, const char* text)
{
    if (!menu)
        return 0;
    MenuItem item;
    item.separator = (flags & MF_SEPARATOR) != 0;
    if (!item.separator) {
        item.id = id;
        item.text = text ? text : "";
        item.grayed = (flags & MF_GRAYED) != 0;
        item.checked = (flags & MF_CHECKED) != 0;
    }
    menu->items.push_back(std::move(item));
    menuhaschanged(menu);
    return 1;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags)
{
    if (!menu)
        return 0;
    auto& items = menu->items;
    auto at = items.end();
    if (flags & MF_BYPOSITION) {
        if (item < items.size())
            at = items.begin() + item;
    } else {
        at = std::find_if(items.begin(), items.end(),
                          [item](const MenuItem& m) { return !m.separator && !m.popup && m.id == item; });
    }
    if (at == items.end())
        return 0;
    items.erase(at);
    menuhaschanged(menu);
    return 1;
}

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
