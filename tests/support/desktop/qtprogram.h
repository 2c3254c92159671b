#pragma once
// The desktop program on the Qt backend, for tests that drive it through
// real widgets. One program run a process: Qt does not take a second run in
// the same process well, so each such test is its own executable.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "base/program.h"
#include "platform/qt/clientview.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/windowwidget.h"
#include "shell/desktop.h"
#include "shell/startup.h"
#include "support/base/scratchconfig.h"

namespace kt::testing {

inline std::unique_ptr<QtBackend>& qtbackend()
{
    static std::unique_ptr<QtBackend> qt;
    return qt;
}

// A desktop as the program starts it, on a new Qt backend. It must outlast
// finish().
inline std::unique_ptr<Desktop> startfresh()
{
    static int argc = 1;
    static char name[] = "desktop_test";
    static char* argv[] = {name, nullptr};
    usescratchconfig();
    program().reset();
    qtbackend() = std::make_unique<QtBackend>(argc, argv);
    setbackend(qtbackend().get());
    return std::make_unique<Desktop>();
}

// The windows go while Qt still exists, and Qt before the process ends.
inline void finish()
{
    resetwindowsystem();
    setbackend(nullptr);
    qtbackend().reset();
}

// The program's main window, found as a user would: the window of its class.
inline HWND mainwindow()
{
    for (HWND w : allwindows())
        if (w->classname == szWinName)
            return w;
    return nullptr;
}

inline QWidget* clientview()
{
    QWidget* main = widgetof(mainwindow());
    if (!main)
        return nullptr;
    for (QWidget* child : main->findChildren<QWidget*>())
        if (dynamic_cast<ClientView*>(child))
            return child;
    return nullptr;
}

// Runs the steps one after another, each once its condition holds; polls
// every 20 ms, as the program's own loop drives Qt.
class Script {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps))
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool finished() const { return next_ == steps_.size(); }

private:
    void tick()
    {
        if (finished() || !steps_[next_].ready())
            return;
        steps_[next_++].act();
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
};

// Answers whatever modal window Qt shows: a file dialog with `path`, a
// message box with its first button, recording the box's text.
class ModalAnswerer {
public:
    explicit ModalAnswerer(QString path) : path_(std::move(path))
    {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }
    const QStringList& texts() const { return texts_; }

private:
    void answer()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            if (auto* chooser = qobject_cast<QFileDialog*>(window)) {
                // As a user would: type the name, then press the dialog's
                // Save or Open button once it takes it.
                auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
                auto* buttons = chooser->findChild<QDialogButtonBox*>("buttonBox");
                QPushButton* confirm = buttons ? qobject_cast<QPushButton*>(buttons->buttons().value(0)) : nullptr;
                for (QAbstractButton* b : buttons ? buttons->buttons() : QList<QAbstractButton*>{})
                    if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                        confirm = qobject_cast<QPushButton*>(b);
                if (name && confirm) {
                    name->setText(path_);
                    if (confirm->isEnabled())
                        confirm->click();
                }
                return;
            }
            if (auto* box = qobject_cast<QMessageBox*>(window)) {
                texts_ << box->text();
                box->buttons().first()->click();
                return;
            }
        }
    }
    QString path_;
    QStringList texts_;
    QTimer timer_;
};

} // namespace kt::testing
