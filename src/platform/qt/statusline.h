#pragma once
// The line under a main window's client area. Its height is fixed and its
// width follows the window, so no text it shows ever resizes the client area.
class QLabel;
class QWidget;

namespace kt {

QLabel* makestatusline(QWidget* parent);

} // namespace kt
