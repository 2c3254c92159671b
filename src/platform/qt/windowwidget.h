#pragma once
// Which widget shows a window of the core. A top-level window keeps its
// widget for life; a dialog has one only while it runs.
#include <QWidget>

#include "platform/window.h"

namespace kt {

inline QWidget* widgetof(HWND hwnd)
{
    return hwnd ? static_cast<QWidget*>(hwnd->backendData) : nullptr;
}

inline void setwidget(HWND hwnd, QWidget* widget)
{
    hwnd->backendData = widget;
}

} // namespace kt
