#pragma once
// The preview strip of a palette file: its 256 colours as vertical lines on
// the background colour, drawn over the window's top-left corner.
namespace kt {

constexpr int previewwidth = 296;
constexpr int previewheight = 100;

// Draws the preview of paltemp onto the main window; returns 0.
int showpalette();

} // namespace kt
