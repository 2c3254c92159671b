#include "platform/qt/messageboxes.h"

#include <QMessageBox>

#include "platform/qt/windowwidget.h"

namespace kt {

namespace {

QMessageBox::Icon iconfor(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int showmessagebox(const MessageBoxRequest& request)
{
    const bool question = (request.type & MB_TYPEMASK) == MB_YESNO;
    QMessageBox box(iconfor(request.type), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, widgetof(request.owner));
    // The program's text is never markup, even where it looks like some.
    box.setTextFormat(Qt::PlainText);
    const int answer = box.exec();
    if (!question)
        return IDOK;
    return answer == QMessageBox::Yes ? IDYES : IDNO;
}

} // namespace kt
