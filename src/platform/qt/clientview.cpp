#include "platform/qt/clientview.h"

#include <utility>

#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QRegion>

#include "platform/backend.h"

namespace kt {

ClientView::ClientView(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd)
{
    // Every pixel is painted from the surface or black, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

bool ClientView::stale() const
{
    return hwnd_ && (!shownOnce_ || hwnd_->client.generation() != shownGeneration_);
}

void ClientView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRegion black(rect());
    if (hwnd_) {
        // The const access settles a pending mirror without counting as a change.
        const Surface& surface = std::as_const(hwnd_->client);
        const std::uint32_t* pixels = surface.bits();
        if (surface.width() > 0 && surface.height() > 0) {
            const QImage image(reinterpret_cast<const uchar*>(pixels), surface.width(), surface.height(),
                               static_cast<qsizetype>(surface.width()) * 4, QImage::Format_RGB32);
            painter.drawImage(QPoint(0, 0), image);
            black -= QRect(0, 0, surface.width(), surface.height());
        }
        shownGeneration_ = surface.generation();
        shownOnce_ = true;
    }
    for (const QRect& area : black)
        painter.fillRect(area, Qt::black);
}

void ClientView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (hwnd_ && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        deliverclick(hwnd_, event->button() == Qt::LeftButton, at.x(), at.y());
    if (hwnd_ && event->button() == Qt::MiddleButton)
        delivermiddle(hwnd_, WM_MBUTTONDOWN, at.x(), at.y());
}

void ClientView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (hwnd_ && (event->buttons() & Qt::MiddleButton))
        delivermiddle(hwnd_, WM_MOUSEMOVE, at.x(), at.y());
}

void ClientView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (hwnd_ && event->button() == Qt::MiddleButton)
        delivermiddle(hwnd_, WM_MBUTTONUP, at.x(), at.y());
}

void ClientView::wheelEvent(QWheelEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (hwnd_ && event->angleDelta().y() != 0)
        deliverwheel(hwnd_, event->angleDelta().y(), at.x(), at.y());
}

void ClientView::resizeEvent(QResizeEvent*)
{
    if (hwnd_)
        deliverclientsize(hwnd_, width(), height());
}

} // namespace kt
