#pragma once
// The widget that shows a top-level window of the core: an overlapped window
// with its menu bar, client view and scroll bars, or a frameless popup that is
// all client view.
#include <QWidget>

#include "platform/window.h"

class QScrollBar;

namespace kt {

class ClientView;
class CommandMenuBar;
class StatusLine;

class TopLevelWindow : public QWidget {
public:
    explicit TopLevelWindow(HWND hwnd);

    HWND hwnd() const { return hwnd_; }
    ClientView* view() const { return view_; }
    CommandMenuBar* menubar() const { return menubar_; }
    // nullptr for a bar the window's style does not have.
    QScrollBar* scrollbar(int bar) const { return bars_[bar]; }

    // Shown or hidden, enabled or not, placed, as the core has it.
    void syncstate();
    void syncscrollbar(int bar);
    void syncstatus();
    // The keys come here from now on, as to the window on top.
    void takekeys();
    // Whether the window was enabled when last brought up to date.
    bool shownenabled() const { return shownenabled_; }
    // The window is gone: the widget only waits to be deleted.
    void detach();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QScrollBar* makescrollbar(int bar);
    void onscrollaction(int bar, int action);

    HWND hwnd_;
    CommandMenuBar* menubar_ = nullptr;
    ClientView* view_ = nullptr;
    QScrollBar* bars_[2] = {nullptr, nullptr};
    StatusLine* status_ = nullptr;
    bool shownenabled_ = true;
};

} // namespace kt
