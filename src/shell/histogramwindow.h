#pragma once
// The palette-index histogram: how many pixels the last filter pass gave each
// palette index, as a bar chart in a small window over the screen centre.
#include <array>
#include <cstdint>
#include <memory>

#include "platform/window.h"

namespace kt {

inline constexpr const char* szHistogramWinName = "KTHistogramWindow";
constexpr UINT histogramdrawcommand = 210;

struct Desktop;

// What the window keeps while it exists (one at a time).
struct HistogramChart {
    RECT cr;
    std::unique_ptr<Surface> vhdc;
};

// Opens the window and disables the main window until it closes.
void createhistogramwindow(Desktop& d);

LRESULT HistogramWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The height in pixels of the bar of a count, for a given largest count.
int histogrambar(std::uint32_t count, std::uint32_t pixelmax);

} // namespace kt
