#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "platform/dialog.h"
#include "platform/qt/clientview.h"
#include "platform/qt/dialogwindow.h"
#include "qtfixture.h"

namespace kt::testing {
namespace {

constexpr int idName = 10, idFast = 11, idSlow = 12, idSpeed = 13;

const DialogTemplate& speeddialog()
{
    static const DialogTemplate dialog{
        500,
        "Render Speed",
        180,
        110,
        {
            {ControlKind::Static, -1, "&Name:", 8, 8, 40, 10},
            {ControlKind::Edit, idName, "", 50, 6, 120, 14},
            {ControlKind::Radio, idFast, "&Fast", 14, 34, 60, 10, true},
            {ControlKind::Radio, idSlow, "&Slow", 14, 48, 60, 10},
            {ControlKind::GroupBox, -1, "Mode", 6, 24, 90, 40},
            {ControlKind::Trackbar, idSpeed, "", 100, 30, 74, 20},
            {ControlKind::DefButton, IDOK, "OK", 40, 88, 50, 14},
            {ControlKind::Button, IDCANCEL, "Cancel", 100, 88, 50, 14},
        },
    };
    return dialog;
}

// What the dialog procedure saw when OK was pressed.
struct Outcome {
    std::string name;
    bool slow = false;
    LRESULT speed = -1;
    int cancels = 0;
    bool refusecancel = false;
};
Outcome outcome;

INT_PTR speedproc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, idName, "start");
        CheckRadioButton(dialog, idFast, idSlow, idFast);
        SendDlgItemMessageA(dialog, idSpeed, TBM_SETRANGE, 1, MAKELPARAM(0, 20));
        SendDlgItemMessageA(dialog, idSpeed, TBM_SETPOS, 1, 5);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[64];
            GetDlgItemTextA(dialog, idName, text, sizeof text);
            outcome.name = text;
            outcome.slow = IsDlgButtonChecked(dialog, idSlow) == BST_CHECKED;
            outcome.speed = SendDlgItemMessageA(dialog, idSpeed, TBM_GETPOS, 0, 0);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == idFast || LOWORD(wParam) == idSlow) {
            // Only the fast mode has a speed to choose.
            EnableWindow(GetDlgItem(dialog, idSpeed), LOWORD(wParam) == idFast);
        } else if (LOWORD(wParam) == IDCANCEL) {
            ++outcome.cancels;
            if (!outcome.refusecancel)
                EndDialog(dialog, IDCANCEL);
        }
        return 1;
    default:
        return 0;
    }
}

// Qt takes a radio button's clicks on its indicator and label only.
QPoint indicator(const QWidget* radio)
{
    return QPoint(4, radio->height() / 2);
}

class QtDialogTest : public QtBackendTest {
protected:
    void SetUp() override
    {
        QtBackendTest::SetUp();
        outcome = Outcome{};
        owner = makemainwindow();
    }

    INT_PTR run() { return DialogBoxParamA(nullptr, &speeddialog(), owner, speedproc, 0); }

    HWND owner = nullptr;
};

template <typename T>
T* button(QWidget* dialog, const QString& text)
{
    for (T* widget : dialog->findChildren<T*>())
        if (widget->text() == text)
            return widget;
    return nullptr;
}

TEST_F(QtDialogTest, TheUserFillsTheDialogThroughItsWidgets)
{
    bool checked = false;
    whenmodal([&](QWidget* dialog) {
        checked = true;
        EXPECT_NE(dynamic_cast<DialogWindow*>(dialog), nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Render Speed"));
        EXPECT_EQ(dialog->parentWidget(), widgetfor(owner));
        EXPECT_TRUE(dialog->isEnabled());
        EXPECT_FALSE(widgetfor(owner)->view()->isEnabled());

        auto* name = dialog->findChild<QLineEdit*>();
        auto* fast = button<QRadioButton>(dialog, "&Fast");
        auto* slow = button<QRadioButton>(dialog, "&Slow");
        auto* speed = dialog->findChild<QSlider*>();
        ASSERT_TRUE(name && fast && slow && speed);
        EXPECT_EQ(name->text(), QStringLiteral("start"));
        EXPECT_TRUE(fast->isChecked());
        EXPECT_FALSE(slow->isChecked());
        EXPECT_EQ(speed->maximum(), 20);
        EXPECT_EQ(speed->value(), 5);
        // The frame lies behind the radio buttons it holds, so that they take the clicks.
        EXPECT_EQ(dialog->childAt(fast->geometry().center()), fast);
        EXPECT_NE(dialog->findChild<QGroupBox*>(), nullptr);
        // The label's mnemonic leads to the field after it.
        auto* label = dialog->findChild<QLabel*>();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), name);

        name->selectAll();
        QTest::keyClicks(name, "hello");
        QTest::keyClick(speed, Qt::Key_Right);
        EXPECT_EQ(speed->value(), 6);
        QTest::keyClick(speed, Qt::Key_PageUp);
        EXPECT_EQ(speed->value(), 10) << "a page is a fifth of the range 0 to 20";
        QTest::keyClick(speed, Qt::Key_PageDown);
        EXPECT_EQ(speed->value(), 6);
        QTest::mouseClick(slow, Qt::LeftButton, {}, indicator(slow));
        EXPECT_FALSE(fast->isChecked());
        EXPECT_TRUE(slow->isChecked());
        // The procedure disabled the speed meanwhile.
        EXPECT_FALSE(speed->isEnabled());
        // Clicking the checked button leaves it checked: the core decides.
        QTest::mouseClick(slow, Qt::LeftButton, {}, indicator(slow));
        EXPECT_TRUE(slow->isChecked());
        QTest::mouseClick(button<QPushButton>(dialog, "OK"), Qt::LeftButton);
    });
    EXPECT_EQ(run(), IDOK);
    EXPECT_TRUE(checked);
    EXPECT_EQ(outcome.name, "hello");
    EXPECT_TRUE(outcome.slow);
    EXPECT_EQ(outcome.speed, 6);
    EXPECT_TRUE(widgetfor(owner)->view()->isEnabled());
}

TEST_F(QtDialogTest, ArrowKeysCheckTheNextRadioButton)
{
    whenmodal([](QWidget* dialog) {
        // Focus is only had in the active window, which a busy machine makes
        // the dialog a moment after showing it.
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* fast = button<QRadioButton>(dialog, "&Fast");
        auto* slow = button<QRadioButton>(dialog, "&Slow");
        auto* speed = dialog->findChild<QSlider*>();
        fast->setFocus();
        QTest::keyClick(fast, Qt::Key_Down);
        EXPECT_TRUE(slow->isChecked());
        EXPECT_FALSE(fast->isChecked());
        EXPECT_TRUE(slow->hasFocus());
        EXPECT_FALSE(speed->isEnabled()) << "the procedure heard of the click";
        QTest::keyClick(slow, Qt::Key_Right);
        EXPECT_TRUE(fast->isChecked()) << "round the group's end";
        QTest::keyClick(fast, Qt::Key_Up);
        QTest::keyClick(slow, Qt::Key_Return);
    });
    EXPECT_EQ(run(), IDOK);
    EXPECT_TRUE(outcome.slow);
}

TEST_F(QtDialogTest, OnlyADialogWithASystemMenuHasACloseButton)
{
    DialogTemplate bare = speeddialog();
    bare.systemmenu = false;
    for (const DialogTemplate* dialog : {&speeddialog(), static_cast<const DialogTemplate*>(&bare)}) {
        Qt::WindowFlags flags;
        whenmodal([&](QWidget* window) {
            flags = window->windowFlags();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        DialogBoxParamA(nullptr, dialog, owner, speedproc, 0);
        EXPECT_EQ(flags.testFlag(Qt::WindowCloseButtonHint), dialog->systemmenu);
        EXPECT_EQ(flags.testFlag(Qt::WindowSystemMenuHint), dialog->systemmenu);
    }
}

TEST_F(QtDialogTest, EnterPressesTheDefaultButton)
{
    whenmodal([](QWidget* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* name = dialog->findChild<QLineEdit*>();
        name->setFocus();
        QTest::keyClicks(name, "!");
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(run(), IDOK);
    EXPECT_EQ(outcome.name, "!") << "the field had its text selected when the dialog gave it the focus";
}

TEST_F(QtDialogTest, AFieldShowsItsStartAndIsSelectedWhenTheDialogFocusesIt)
{
    // Too narrow for its text, so that the field must choose which end to show.
    DialogTemplate narrow = speeddialog();
    narrow.controls[1].cx = 12;
    whenmodal([](QWidget* dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        auto* name = dialog->findChild<QLineEdit*>();
        auto* fast = button<QRadioButton>(dialog, "&Fast");
        ASSERT_TRUE(name && fast);
        ASSERT_LT(name->width(), name->fontMetrics().horizontalAdvance(name->text()));
        const auto showsstart = [name] {
            const QRect caret = name->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            return name->cursorPosition() == 0 && caret.left() < name->fontMetrics().horizontalAdvance('s');
        };
        // The first field takes the dialog's first focus.
        EXPECT_TRUE(name->hasFocus());
        EXPECT_EQ(name->selectedText(), QStringLiteral("start"));
        EXPECT_TRUE(showsstart());
        QTest::keyClick(name, Qt::Key_Tab);
        EXPECT_TRUE(fast->hasFocus());
        EXPECT_FALSE(name->hasSelectedText());
        QTest::keyClick(fast, Qt::Key_Backtab);
        EXPECT_TRUE(name->hasFocus());
        EXPECT_EQ(name->selectedText(), QStringLiteral("start"));
        EXPECT_TRUE(showsstart());
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    DialogBoxParamA(nullptr, &narrow, owner, speedproc, 0);
}

TEST_F(QtDialogTest, EscapeAndTheCloseButtonAskTheProcedureToCancel)
{
    outcome.refusecancel = true;
    whenmodal([](QWidget* dialog) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->close());
        EXPECT_TRUE(dialog->isVisible());
        outcome.refusecancel = false;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(run(), IDCANCEL);
    EXPECT_EQ(outcome.cancels, 3);
}

} // namespace
} // namespace kt::testing
