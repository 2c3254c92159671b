#include "platform/qt/dialogwindow.h"

#include <algorithm>

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "platform/dialog.h"
#include "platform/messagebox.h"
#include "platform/qt/windowwidget.h"

namespace kt {

namespace {

// The platform measures dialog units by the Latin letters' mean width, not by
// the font's own average, which runs wide for many fonts.
int averagecharwidth(const QFontMetrics& metrics)
{
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) + 26) / 52;
}

// The platform's edit control selects its whole text when the dialog gives it
// the focus (first, by Tab, or through a label's mnemonic), so that typing
// replaces it; a click only places the caret. The caret goes to the start so
// that the field still shows where its text begins.
class DialogField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
        case Qt::ActiveWindowFocusReason:
            setSelection(static_cast<int>(text().size()), -static_cast<int>(text().size()));
            break;
        default:
            break;
        }
        QLineEdit::focusInEvent(event);
    }
};

} // namespace

DialogWindow::DialogWindow(HWND dialog, QWidget* parent, std::function<void()> present)
    : QDialog(parent), dialog_(dialog), present_(std::move(present))
{
    setWindowTitle(QString::fromStdString(dialog->title));
    setWindowModality(Qt::ApplicationModal);
    // Without a system menu there is no close button either.
    if (!(dialog->style & WS_SYSMENU))
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    for (HWND control : dialog->controls) {
        if (QWidget* widget = makecontrol(control)) {
            // Named by the control's id, so that a test or an accessibility
            // tool can tell the fields apart.
            widget->setObjectName(QStringLiteral("control%1").arg(control->controlId));
            // The platform gives every control the dialog's font, the one the
            // units are measured in; a desktop theme may give labels or
            // buttons fonts of their own.
            widget->setFont(font());
            controls_.emplace_back(control, widget);
        }
    }
    refresh();

    // A dialog unit is a quarter of a character across and an eighth down.
    int across = averagecharwidth(fontMetrics());
    const int down = fontMetrics().height();
    // The templates were laid out in the platform's dialog font. In a font
    // whose words run wider for the mean of its letters a label would lose
    // its last letters, so the unit widens until every label and radio
    // button shows its whole text. (A frame's title is left out: its padding
    // blanks and the style's margins would widen a dialog for nothing seen.)
    for (const auto& [control, widget] : controls_) {
        const bool plaintext = control->kind == ControlKind::Static || control->kind == ControlKind::Radio;
        if (plaintext && control->dlgcx > 0)
            across = std::max(across, (4 * widget->minimumSizeHint().width() + control->dlgcx - 1) / control->dlgcx);
    }
    const auto pixels = [&](int x, int y, int cx, int cy) {
        return QRect(x * across / 4, y * down / 8, cx * across / 4, cy * down / 8);
    };
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const auto& [control, widget] = controls_[i];
        widget->setGeometry(pixels(control->dlgx, control->dlgy, control->dlgcx, control->dlgcy));
        // A group box is a frame behind the controls it holds, wherever the
        // template puts it.
        if (control->kind == ControlKind::GroupBox)
            widget->lower();
        // A label's mnemonic moves to the control after it, as on the platform.
        auto* label = qobject_cast<QLabel*>(widget);
        if (label && i + 1 < controls_.size() && control->title.find('&') != std::string::npos)
            label->setBuddy(controls_[i + 1].second);
    }
    setFixedSize(pixels(0, 0, dialog->dlgcx, dialog->dlgcy).size());
}

QWidget* DialogWindow::makecontrol(HWND control)
{
    const int id = control->controlId;
    switch (control->kind) {
    case ControlKind::Static:
        return new QLabel(this);
    case ControlKind::GroupBox:
        return new QGroupBox(this);
    case ControlKind::Edit: {
        auto* edit = new DialogField(this);
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            usertypes(dialog_, id, text.toStdString());
            refresh();
        });
        return edit;
    }
    case ControlKind::Button:
    case ControlKind::DefButton: {
        auto* button = new QPushButton(this);
        button->setDefault(control->kind == ControlKind::DefButton);
        connect(button, &QPushButton::clicked, this, [this, id] {
            userclicks(dialog_, id);
            refresh();
        });
        return button;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(this);
        // The core checks and unchecks the group; Qt only reports the click
        // and the arrow keys.
        radio->setAutoExclusive(false);
        radio->installEventFilter(this);
        connect(radio, &QRadioButton::clicked, this, [this, id] {
            userclicks(dialog_, id);
            refresh();
        });
        return radio;
    }
    case ControlKind::Trackbar: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setTickPosition(QSlider::TicksBelow);
        connect(slider, &QSlider::valueChanged, this, [this, id](int position) {
            usermovestrackbar(dialog_, id, position);
            refresh();
        });
        return slider;
    }
    case ControlKind::None:
        break;
    }
    return nullptr;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
    if (!back && key != Qt::Key_Down && key != Qt::Key_Right)
        return QDialog::eventFilter(watched, event);
    const auto from = std::find_if(controls_.begin(), controls_.end(),
                                   [watched](const auto& entry) { return entry.second == watched; });
    if (from == controls_.end())
        return QDialog::eventFilter(watched, event);
    const int id = userarrowsradio(dialog_, from->first->controlId, back ? -1 : 1);
    for (const auto& [control, widget] : controls_)
        if (control->controlId == id && control->kind == ControlKind::Radio)
            widget->setFocus(Qt::OtherFocusReason);
    refresh();
    return true;
}

void DialogWindow::refresh()
{
    for (const auto& [control, widget] : controls_) {
        // The widgets report only what the user does, never this catching up.
        const QSignalBlocker quiet(widget);
        widget->setEnabled(control->enabled);
        const QString text = QString::fromStdString(control->title);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text() != text)
                label->setText(text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            // Setting the same text again would move the cursor of someone
            // typing. A text the program sets is shown from its start, as the
            // platform's fields show it.
            if (edit->text() != text) {
                edit->setText(text);
                edit->setCursorPosition(0);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text() != text)
                button->setText(text);
            if (button->isCheckable())
                button->setChecked(control->checked);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            slider->setRange(control->trackMin, std::max(control->trackMin, control->trackMax));
            // A page is a fifth of the range, as on the platform's trackbars.
            slider->setPageStep(std::max(1, (slider->maximum() - slider->minimum()) / 5));
            slider->setValue(control->trackPos);
        }
    }
    if (present_)
        present_();
    if (dialog_->dialogEnded)
        loop_.quit();
}

void DialogWindow::reject()
{
    // Escape and the close button are Cancel to the dialog procedure, which
    // may still keep the dialog open.
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    refresh();
}

void DialogWindow::run()
{
    show();
    // As by Tab, so that a field's text is selected and typing replaces it.
    for (const auto& [control, widget] : controls_)
        if (control == dialog_->focus)
            widget->setFocus(Qt::TabFocusReason);
    // A quit before the loop runs would be lost, and the loop would never end.
    if (!dialog_->dialogEnded)
        loop_.exec(QEventLoop::DialogExec);
    hide();
}

void rundialogwithqt(HWND dialog, std::function<void()> present)
{
    DialogWindow window(dialog, widgetof(dialog->parent), std::move(present));
    setwidget(dialog, &window);
    window.run();
    setwidget(dialog, nullptr);
}

} // namespace kt
