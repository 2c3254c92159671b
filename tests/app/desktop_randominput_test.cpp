// The desktop program on the Qt backend under seeded random input: keys
// (the accelerators among them), clicks in and beside the picture, and
// random answers to whatever window it opens. After every event the
// program's state must be consistent; at the end Esc closes the window while
// the input goes on, and the program must still end with status 0. Run under
// the sanitizers, any fault the input provokes fails the test.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QDir>
#include <QSlider>
#include <QTest>

#include <random>
#include <string>

#include "analysis/screening.h"
#include "platform/qt/clientview.h"
#include "platform/qt/toplevelwindow.h"
#include "support/desktop/qtprogram.h"
#include "shell/desktop.h"

namespace kt {
namespace {

using testing::clientview;
using testing::finish;
using testing::startfresh;

constexpr int eventsPerSeed = 1500;

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// What a user presses in the main window. Esc is kept for the end: while
// paused it closes the program.
const std::vector<Key> mainkeys = {
    {Qt::Key_R},
    {Qt::Key_R},
    {Qt::Key_A},
    {Qt::Key_C},
    {Qt::Key_C, Qt::AltModifier},
    {Qt::Key_E},
    {Qt::Key_H},
    {Qt::Key_L},
    {Qt::Key_N},
    {Qt::Key_P},
    {Qt::Key_S},
    {Qt::Key_Q},
    {Qt::Key_F1},
    {Qt::Key_F2},
    {Qt::Key_F3},
    {Qt::Key_F4},
    {Qt::Key_F5},
    {Qt::Key_F6},
    {Qt::Key_F7},
    {Qt::Key_F8},
    {Qt::Key_F9},
    {Qt::Key_F10},
    {Qt::Key_F11},
    {Qt::Key_F12},
    {Qt::Key_Return},
    {Qt::Key_Enter, Qt::KeypadModifier},
    {Qt::Key_Tab},
    {Qt::Key_Backspace},
    {Qt::Key_Space},
    {Qt::Key_Left},
    {Qt::Key_Right},
    {Qt::Key_Up},
    {Qt::Key_Down},
    {Qt::Key_PageUp},
    {Qt::Key_PageDown},
    {Qt::Key_Home},
    {Qt::Key_End},
    {Qt::Key_D, Qt::ControlModifier | Qt::AltModifier},
    {Qt::Key_X, Qt::ControlModifier | Qt::AltModifier},
};
// What a user presses in a dialog, a message box or a popup.
const std::vector<Key> windowkeys = {
    {Qt::Key_Return},
    {Qt::Key_Enter, Qt::KeypadModifier},
    {Qt::Key_Escape},
    {Qt::Key_Tab},
    {Qt::Key_Backtab, Qt::ShiftModifier},
    {Qt::Key_Space},
    {Qt::Key_Backspace},
    {Qt::Key_Up},
    {Qt::Key_Down},
    {Qt::Key_Left},
    {Qt::Key_Right},
    {Qt::Key_PageUp},
    {Qt::Key_5},
    {Qt::Key_X},
};
const QStringList fieldtexts = {"",    "0",   "1",   "-1", "0.5", "2.5", "1e300", "-7",
                                "abc", "600", "250", "12", "nan", "3.9", "1.2"};

class RandomUser {
public:
    RandomUser(const Desktop& desktop, unsigned seed, QString folder)
        : desktop_(desktop), random_(seed), folder_(std::move(folder))
    {
        // A palette file for the palette chooser to find.
        QFile map(folder_ + "/grey.map");
        if (map.open(QIODevice::WriteOnly))
            for (int k = 0; k < 256; ++k)
                map.write(QByteArray::number(k) + ' ' + QByteArray::number(k) + ' ' + QByteArray::number(k) + '\n');
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }

    int events() const { return events_; }
    int problems() const { return problems_; }
    const std::string& firstproblem() const { return firstproblem_; }

private:
    enum class Phase { random, ending, closing };

    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    void tick()
    {
        check();
        if (busy_)
            return;
        // The event runs from the event queue, not from this timer: an event
        // that opens a modal window runs that window's loop, and the timer
        // must go on firing in it.
        busy_ = true;
        QMetaObject::invokeMethod(
            qApp,
            [this] {
                busy_ = false;
                act();
            },
            Qt::QueuedConnection);
    }

    void check()
    {
        const EngineState& s = desktop_.engine;
        auto expect = [this](bool holds, const char* what) {
            if (holds)
                return;
            if (problems_++ == 0)
                firstproblem_ = std::string(what) + " after event " + std::to_string(events_);
        };
        if (s.okicon)
            expect(s.hitcount && s.hcres == s.res && s.g_vhdc && s.g_vhdc->width() == s.res,
                   "rendering without a picture and hit counts of the current size");
        // A new size waits for the next picture, which makes new hit counts.
        if (s.hitcount && s.g_vhdc && !s.newimage)
            expect(s.hcres == s.g_vhdc->width() && s.hcres == s.g_vhdc->height(),
                   "hit counts and picture of different sides");
        if (desktop_.shell.closing)
            expect(!s.okicon, "rendering after the window began to close");
    }

    void act()
    {
        if (phase_ == Phase::random && events_ >= eventsPerSeed)
            phase_ = Phase::ending;
        ++events_;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            answer(modal);
            return;
        }
        if (TopLevelWindow* popup = popupshowing()) {
            if (phase_ != Phase::random || below(2))
                QTest::mouseClick(popup->view(), Qt::LeftButton);
            else
                press(popup->view(), windowkeys);
            return;
        }
        QWidget* view = clientview();
        if (!view)
            return;
        switch (phase_) {
        case Phase::random:
            usemainwindow(view);
            break;
        case Phase::ending:
            // Pause, then Esc; then input goes on through the closing splash.
            if (desktop_.engine.okicon) {
                QTest::keyClick(view, Qt::Key_R);
            } else {
                QTest::keyClick(view, Qt::Key_Escape);
                phase_ = Phase::closing;
            }
            break;
        case Phase::closing:
            if (below(2))
                QTest::mouseClick(view, below(2) ? Qt::LeftButton : Qt::RightButton, {}, randompoint(view));
            else
                press(view, below(3) ? mainkeys : std::vector<Key>{{Qt::Key_Escape}, {Qt::Key_R}});
            break;
        }
    }

    // The about or histogram window.
    TopLevelWindow* popupshowing()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = dynamic_cast<TopLevelWindow*>(widget);
            if (window && window->isVisible() && window->hwnd() && window->hwnd() != desktop_.shell.g_hWnd &&
                window->hwnd()->enabled)
                return window;
        }
        return nullptr;
    }

    QPoint randompoint(const QWidget* widget) { return QPoint(below(widget->width()), below(widget->height())); }

    void press(QWidget* widget, const std::vector<Key>& keys)
    {
        const Key& k = keys[static_cast<std::size_t>(below(static_cast<int>(keys.size())))];
        QTest::keyClick(widget, k.key, k.modifiers);
    }

    void usemainwindow(QWidget* view)
    {
        if (below(4) == 0) {
            QTest::mouseClick(view, below(2) ? Qt::LeftButton : Qt::RightButton, {}, randompoint(view));
            return;
        }
        Key k = mainkeys[static_cast<std::size_t>(below(static_cast<int>(mainkeys.size())))];
        // A search under the strictest dimension limit can take minutes.
        if (k.key == Qt::Key_F4 && desktop_.screening.FDLimit > 1.5)
            k = {Qt::Key_F9};
        QTest::keyClick(view, k.key, k.modifiers);
    }

    void answer(QWidget* modal)
    {
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            answerchooser(chooser);
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            const auto buttons = box->buttons();
            if (phase_ != Phase::random || below(3) == 0)
                buttons.value(below(static_cast<int>(buttons.size())))->click();
            else
                press(box, windowkeys);
            return;
        }
        if (phase_ != Phase::random) {
            QTest::keyClick(modal, Qt::Key_Escape);
            return;
        }
        usedialog(modal);
    }

    void usedialog(QWidget* dialog)
    {
        const auto buttons = dialog->findChildren<QAbstractButton*>();
        const auto fields = dialog->findChildren<QLineEdit*>();
        const auto sliders = dialog->findChildren<QSlider*>();
        switch (below(4)) {
        case 0:
            if (!buttons.isEmpty())
                QTest::mouseClick(buttons.value(below(static_cast<int>(buttons.size()))), Qt::LeftButton);
            break;
        case 1:
            if (!fields.isEmpty()) {
                QLineEdit* field = fields.value(below(static_cast<int>(fields.size())));
                field->setFocus();
                field->selectAll();
                QTest::keyClick(field, Qt::Key_Backspace);
                QTest::keyClicks(field, fieldtexts.value(below(static_cast<int>(fieldtexts.size()))));
            }
            break;
        case 2:
            if (!sliders.isEmpty())
                press(sliders.value(below(static_cast<int>(sliders.size()))), windowkeys);
            break;
        default:
            press(dialog->focusWidget() ? dialog->focusWidget() : dialog, windowkeys);
            break;
        }
    }

    void answerchooser(QFileDialog* chooser)
    {
        static const QStringList names = {"a.tga", "b.dv3", "grey.map", "a.dv3", "missing.dv3", "c"};
        auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = chooser->findChild<QDialogButtonBox*>("buttonBox");
        if (phase_ != Phase::random || below(4) == 0 || !name || !buttons) {
            chooser->reject();
            return;
        }
        name->setText(folder_ + "/" + names.value(below(static_cast<int>(names.size()))));
        for (QAbstractButton* button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isEnabled()) {
                button->click();
                return;
            }
        chooser->reject();
    }

    const Desktop& desktop_;
    std::mt19937 random_;
    QString folder_;
    QTimer timer_;
    Phase phase_ = Phase::random;
    bool busy_ = false;
    int events_ = 0;
    int problems_ = 0;
    std::string firstproblem_;
};

class DesktopRandomInput : public ::testing::TestWithParam<unsigned> {};

TEST_P(DesktopRandomInput, StaysConsistentAndEndsCleanly)
{
    const auto desktop = startfresh();
    const QString folder = QDir::tempPath() + "/ktdravune3d-random-" + QString::number(GetParam()) + "-" +
        QString::number(QCoreApplication::applicationPid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    int status = -1;
    int events = 0;
    {
        RandomUser user(*desktop, GetParam(), folder);
        status = WinMain(*desktop, nullptr, nullptr, "", SW_SHOWNORMAL);
        events = user.events();
        EXPECT_EQ(user.problems(), 0) << user.firstproblem();
    }
    EXPECT_EQ(status, 0);
    EXPECT_GT(events, eventsPerSeed);
    EXPECT_EQ(desktop->engine.okicon, 0);
    EXPECT_EQ(desktop->engine.hitcount, nullptr);
    QDir(folder).removeRecursively();
    finish();
}

// Each seed runs as a test process of its own.
INSTANTIATE_TEST_SUITE_P(Seeds, DesktopRandomInput, ::testing::Values(1u, 2u, 3u));

} // namespace
} // namespace kt
