#pragma once
// Text drawn into a surface with Qt, in the application's font sized for
// device pixels: the main window shows its pictures pixel for pixel, so text
// in them reads at the size of the rest of the desktop at any scale factor.
#include <string>

#include "platform/gdi.h"

namespace kt {

SIZE qttextsize(const std::string& text);
void qtdrawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour);

} // namespace kt
