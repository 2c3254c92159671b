#include "shell/resources.h"

#include "shell/commandtable.h"
#include "shell/menumnemonics.h"

namespace kt {

const MenuTemplate& dravune3dmenu()
{
    static const MenuTemplate menu = [] {
        MenuTemplate bar;
        for (const CommandEntry& entry : commandtable()) {
            if (!entry.popup)
                continue;
            if (bar.empty() || bar.back().text != entry.popup)
                bar.push_back(MenuItemTemplate{0, entry.popup, false, {}});
            std::vector<MenuItemTemplate>* items = &bar.back().popup;
            const bool startssubmenu = entry.submenu && (items->empty() || items->back().text != entry.submenu);
            if (entry.separatorbefore && (!entry.submenu || startssubmenu))
                items->push_back(MenuItemTemplate{});
            if (entry.submenu) {
                if (startssubmenu)
                    items->push_back(MenuItemTemplate{0, entry.submenu, false, {}});
                items = &items->back().popup;
            }
            items->push_back(MenuItemTemplate{entry.id, entry.label, entry.checked, {}});
        }
        givemnemonics(bar);
        return bar;
    }();
    return menu;
}

const AcceleratorTable& dravune3daccelerators()
{
    static const AcceleratorTable table = [] {
        AcceleratorTable keys;
        for (const CommandEntry& entry : commandtable())
            if (entry.keyflags)
                keys.push_back(ACCEL{entry.keyflags, entry.key, static_cast<WORD>(entry.id)});
        return keys;
    }();
    return table;
}

} // namespace kt
