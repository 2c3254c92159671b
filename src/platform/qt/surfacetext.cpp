#include "platform/qt/surfacetext.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace kt {

namespace {

QFont devicefont()
{
    QFont font = QApplication::font();
    // The font's size as the desktop shows it, in device pixels.
    const double ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(QFontInfo(font).pixelSize() * ratio))));
    return font;
}

} // namespace

SIZE qttextsize(const std::string& text)
{
    const QFontMetrics metrics(devicefont());
    return SIZE{metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void qtdrawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour)
{
    if (surface.width() <= 0 || surface.height() <= 0)
        return;
    QImage image(reinterpret_cast<uchar*>(surface.drawablebits()), surface.width(), surface.height(),
                 static_cast<qsizetype>(surface.width()) * 4, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        const QFont font = devicefont();
        painter.setFont(font);
        painter.setPen(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
        painter.drawText(QPoint(x, y + QFontMetrics(font).ascent()), QString::fromStdString(text));
    }
    surface.markdrawn();
}

} // namespace kt
