#pragma once
// The line under a main window's client area. Its height is fixed and its
// width follows the window, so no text it shows ever resizes the client area.
#include <QString>
#include <QWidget>

class QLabel;

namespace kt {

class StatusLine : public QWidget {
public:
    explicit StatusLine(QWidget* parent);

    QString text() const;
    void setText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The label lies in a box of its own: the text changes many times a
    // second, and a label in the window's layout would have the whole layout
    // worked out again each time.
    QLabel* label_;
};

} // namespace kt
