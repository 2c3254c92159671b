#include "platform/qt/statusline.h"

#include <QLabel>

namespace kt {

QLabel* makestatusline(QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setObjectName(QStringLiteral("statusline"));
    line->setContentsMargins(6, 2, 6, 2);
    line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    line->setText(QStringLiteral(" "));
    line->setFixedHeight(line->sizeHint().height());
    line->setText(QString());
    return line;
}

} // namespace kt
