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
    HWND hwnd_;
    std::uint64_t shownGeneration_ = 0;
    bool shownOnce_ = false;
};

} // namespace kt
