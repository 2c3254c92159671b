#include "platform/qt/statusline.h"

#include <QLabel>

namespace kt {

StatusLine::StatusLine(QWidget* parent) : QWidget(parent), label_(new QLabel(this))
{
    label_->setObjectName(QStringLiteral("statusline"));
    label_->setContentsMargins(6, 2, 6, 2);
    label_->setText(QStringLiteral(" "));
    const int height = label_->sizeHint().height();
    label_->setText(QString());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(height);
    label_->setGeometry(0, 0, width(), height);
}

QString StatusLine::text() const
{
    return label_->text();
}

void StatusLine::setText(const QString& text)
{
    label_->setText(text);
}

void StatusLine::resizeEvent(QResizeEvent*)
{
    label_->setGeometry(rect());
}

} // namespace kt
