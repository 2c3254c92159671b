#include "platform/qt/commandmenubar.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

#include "platform/backend.h"

namespace kt {

namespace {

// What the menu holds, item by item, to tell when the bar must be built anew.
void describe(const Menu& menu, std::string& into)
{
    for (const MenuItem& item : menu.items) {
        into += std::to_string(item.id);
        into += item.separator ? "-" : " ";
        into += item.text;
        into += '\n';
        if (item.popup) {
            into += "{\n";
            describe(*item.popup, into);
            into += "}\n";
        }
    }
}

} // namespace

CommandMenuBar::CommandMenuBar(HWND hwnd, QWidget* parent) : QMenuBar(parent), hwnd_(hwnd)
{
    describe(*hwnd_->menu, layout_);
    addentries(this, *hwnd_->menu);
    sync();
}

void CommandMenuBar::rebuildifchanged()
{
    std::string layout;
    describe(*hwnd_->menu, layout);
    if (layout == layout_)
        return;
    layout_ = layout;
    // The change may come from a command chosen in this very bar, whose
    // action is still being triggered: the old items go once it is done.
    for (QAction* action : actions())
        if (QMenu* popup = action->menu())
            popup->deleteLater();
    clear();
    commands_.clear();
    addentries(this, *hwnd_->menu);
}

void CommandMenuBar::addentries(QWidget* menu, const Menu& entries)
{
    for (const MenuItem& item : entries.items) {
        if (item.popup) {
            auto* popup = new QMenu(QString::fromStdString(item.text), menu);
            // Qt would hide a separator that begins a popup.
            popup->setSeparatorsCollapsible(false);
            addentries(popup, *item.popup);
            menu->addAction(popup->menuAction());
        } else if (item.separator) {
            auto* separator = new QAction(menu);
            separator->setSeparator(true);
            menu->addAction(separator);
        } else {
            addcommand(menu, item);
        }
    }
}

void CommandMenuBar::addcommand(QWidget* menu, const MenuItem& item)
{
    auto* action = new QAction(QString::fromStdString(item.text), menu);
    const UINT id = item.id;
    connect(action, &QAction::triggered, this, [this, action, id] {
        if (!hwnd_)
            return;
        delivermenucommand(hwnd_, id);
        // Qt flips a checkable item by itself; only the program decides whether
        // it is checked, so show the core's state again.
        syncaction(action, id);
    });
    menu->addAction(action);
    commands_.emplace_back(action, id);
}

void CommandMenuBar::openpopup(int position)
{
    const QList<QAction*> entries = actions();
    if (position >= 0 && position < entries.size())
        setActiveAction(entries[position]);
}

bool CommandMenuBar::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        if (hwnd_ && !hwnd_->enabled) {
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    return QMenuBar::event(event);
}

void CommandMenuBar::sync()
{
    if (hwnd_ && hwnd_->menu)
        rebuildifchanged();
    for (const auto& [action, id] : commands_)
        syncaction(action, id);
}

void CommandMenuBar::syncaction(QAction* action, UINT id)
{
    const MenuItem* item = hwnd_ ? findmenuitem(hwnd_->menu.get(), id) : nullptr;
    if (!item)
        return;
    action->setEnabled(!item->grayed);
    // Only a checked item shows a check box, as an unchecked one shows nothing
    // on the platform the program was written for.
    action->setCheckable(item->checked);
    action->setChecked(item->checked);
}

} // namespace kt
