#include "platform/qt/clientview.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QRegion>

#include "platform/backend.h"

namespace kt {

ClientView::ClientView(HWND hwnd, QWidget* parent)
    : QWidget(parent), hwnd_(hwnd), devicepixels_(!(hwnd->style & WS_POPUP))
{
    // Every pixel is painted from the surface or black, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

bool ClientView::stale() const
{
    return hwnd_ && (!shownOnce_ || hwnd_->client.generation() != shownGeneration_);
}

namespace {

// Pixels shown in place, without a copy.
QImage rgb32(const std::uint32_t* first, int width, int height, int stride)
{
    return QImage(reinterpret_cast<const uchar*>(first), width, height, static_cast<qsizetype>(stride) * 4,
                  QImage::Format_RGB32);
}

} // namespace

double ClientView::surfacescale() const
{
    const double units = devicepixels_ ? devicePixelRatioF() : 1.0;
    if (!hwnd_ || hwnd_->fixedwidth <= 0 || hwnd_->fixedheight <= 0)
        return 1.0 / units;
    const double fit = std::min(width() * units / hwnd_->fixedwidth, height() * units / hwnd_->fixedheight);
    return std::min(1.0, fit) / units;
}

QPoint ClientView::surfacepoint(const QPointF& at) const
{
    const double scale = surfacescale();
    return QPoint(static_cast<int>(at.x() / scale), static_cast<int>(at.y() / scale));
}

void ClientView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // From here on the painter works in the surface's pixels.
    const double scale = surfacescale();
    painter.scale(scale, scale);
    if (scale * (devicepixels_ ? devicePixelRatioF() : 1.0) < 1.0)
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRegion black(
        QRect(0, 0, static_cast<int>(std::ceil(width() / scale)), static_cast<int>(std::ceil(height() / scale))));
    if (hwnd_) {
        const Surface& surface = hwnd_->client;
        const QRect whole(0, 0, surface.width(), surface.height());
        if (!whole.isEmpty()) {
            // Rendering mirrors the picture into the window after every batch:
            // showing the mirrored block from its source spares a copy of it.
            const Surface::Block block = surface.pendingmirror();
            const QRect mirrored = block.w > 0 && block.h > 0 ? QRect(block.dx, block.dy, block.w, block.h) : QRect();
            const QRegion own = QRegion(whole) - mirrored;
            if (!own.isEmpty()) {
                painter.setClipRegion(own);
                painter.drawImage(QPoint(0, 0),
                                  rgb32(surface.ownpixels(), surface.width(), surface.height(), surface.width()));
                painter.setClipping(false);
            }
            if (!mirrored.isEmpty()) {
                const Surface& source = *block.source;
                const std::uint32_t* first = source.bits() + static_cast<std::size_t>(block.sy) * source.width() +
                    block.sx;
                painter.drawImage(mirrored.topLeft(), rgb32(first, block.w, block.h, source.width()));
            }
            black -= whole;
        }
        shownGeneration_ = surface.generation();
        shownOnce_ = true;
    }
    for (const QRect& area : black)
        painter.fillRect(area, Qt::black);
}

void ClientView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = surfacepoint(event->position());
    if (hwnd_ && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        deliverclick(hwnd_, event->button() == Qt::LeftButton, at.x(), at.y());
    if (hwnd_ && event->button() == Qt::MiddleButton)
        delivermiddle(hwnd_, WM_MBUTTONDOWN, at.x(), at.y());
}

void ClientView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = surfacepoint(event->position());
    if (hwnd_ && (event->buttons() & Qt::MiddleButton))
        delivermiddle(hwnd_, WM_MOUSEMOVE, at.x(), at.y());
}

void ClientView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = surfacepoint(event->position());
    if (hwnd_ && event->button() == Qt::MiddleButton)
        delivermiddle(hwnd_, WM_MBUTTONUP, at.x(), at.y());
}

void ClientView::wheelEvent(QWheelEvent* event)
{
    const QPoint at = surfacepoint(event->position());
    if (hwnd_ && event->angleDelta().y() != 0)
        deliverwheel(hwnd_, event->angleDelta().y(), at.x(), at.y());
}

void ClientView::resizeEvent(QResizeEvent*)
{
    if (!hwnd_)
        return;
    const double units = devicepixels_ ? devicePixelRatioF() : 1.0;
    deliverclientsize(hwnd_, static_cast<int>(std::lround(width() * units)),
                      static_cast<int>(std::lround(height() * units)));
}

} // namespace kt
