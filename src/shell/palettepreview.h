#pragma once
// The preview strip of a palette file: its 256 colours as vertical lines on
// the background colour, drawn over the window's top-left corner.
#include "engine/palette.h"
#include "platform/window.h"

namespace kt {

constexpr int previewwidth = 296;
constexpr int previewheight = 100;

// Draws the preview of a palette onto the window; returns 0.
int showpalette(HWND window, const Palette& palette, COLORREF background);

} // namespace kt
