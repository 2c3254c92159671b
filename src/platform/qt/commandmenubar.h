#pragma once
// A menu bar that shows a window's menu as the core holds it and sends the
// chosen command back.
#include <string>
#include <utility>
#include <vector>

#include <QMenuBar>

#include "platform/window.h"

class QAction;

namespace kt {

class CommandMenuBar : public QMenuBar {
public:
    // For a window that has a menu.
    CommandMenuBar(HWND hwnd, QWidget* parent);

    // Items, greyed and checked states as the core has them now.
    void sync();
    // Opens the popup at `position` of the bar for the keys, as Alt and its
    // letter do.
    void openpopup(int position);
    // The window is gone: from now on a chosen item does nothing.
    void detach() { hwnd_ = nullptr; }

protected:
    // While the window is disabled the bar takes no mouse or key input.
    bool event(QEvent* event) override;

private:
    void addentries(QWidget* menu, const Menu& entries);
    void addcommand(QWidget* menu, const MenuItem& item);
    void syncaction(QAction* action, UINT id);
    // Builds the bar anew when the core's menu gained or lost items.
    void rebuildifchanged();

    HWND hwnd_;
    std::string layout_;
    std::vector<std::pair<QAction*, UINT>> commands_;
};

} // namespace kt
