#pragma once
// The client area of a window: shows the window's surface as it is, and
// reports clicks and its size to the core.
#include <cstdint>

#include <QWidget>

#include "platform/window.h"

namespace kt {

class ClientView : public QWidget {
public:
    ClientView(HWND hwnd, QWidget* parent);

    // The surface changed since it was last shown.
    bool stale() const;
    // The window is gone: from now on the view shows black and reports nothing.
    void detach() { hwnd_ = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Device pixels per pixel of the window's surface: a main window's
    // surface is in device pixels, so that its picture is shown pixel for
    // pixel at any scale factor; a popup's (splash, about, histogram) is in
    // the widget's own units, its artwork scaled with the rest of the
    // desktop. A fixed client size larger than the room is scaled down.
    double surfacescale() const;
    QPoint surfacepoint(const QPointF& at) const;

    HWND hwnd_;
    bool devicepixels_;
    std::uint64_t shownGeneration_ = 0;
    bool shownOnce_ = false;
};

} // namespace kt
