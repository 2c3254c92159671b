#pragma once
// A modal dialog of the core shown as a QDialog: its controls are built from
// the core's control windows and show their state, and what the user does to
// them goes to the core, which tells the dialog procedure.
#include <functional>
#include <utility>
#include <vector>

#include <QDialog>
#include <QEventLoop>

#include "platform/window.h"

namespace kt {

class DialogWindow : public QDialog {
public:
    // `present` shows what the program drew meanwhile in its other windows.
    DialogWindow(HWND dialog, QWidget* parent, std::function<void()> present);

    // Shows the dialog and returns once the dialog procedure ended it.
    void run();
    // Shows every control as the core has it now; ends the run if the dialog
    // procedure ended the dialog.
    void refresh();

    void reject() override;

protected:
    // Arrow keys on a radio button move through its group, as the core has it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* makecontrol(HWND control);

    HWND dialog_;
    std::function<void()> present_;
    std::vector<std::pair<HWND, QWidget*>> controls_;
    QEventLoop loop_;
};

// Runs the core's dialog with Qt; see Backend::rundialog. After each thing
// the user does, `present` shows what the dialog procedure drew meanwhile in
// the program's other windows (a preview of the edit).
void rundialogwithqt(HWND dialog, std::function<void()> present);

} // namespace kt
