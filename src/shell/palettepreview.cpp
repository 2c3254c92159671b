#include "shell/palettepreview.h"

#include <algorithm>
#include <memory>

#include "image/mapfile.h"
#include "platform/window.h"

namespace kt {

namespace {

constexpr int swatchleft = 20;
constexpr int swatchtop = 25;
constexpr int swatchbottom = 74;

void frame(HDC strip, int inset, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HPEN previous = SelectObject(strip, pen);
    const int right = previewwidth - 1 - inset, bottom = previewheight - 1 - inset;
    const POINT corners[5] = {{inset, inset}, {right, inset}, {right, bottom}, {inset, bottom}, {inset, inset}};
    Polyline(strip, corners, 5);
    SelectObject(strip, previous);
    DeleteObject(pen);
}

} // namespace

int showpalette(HWND hWnd, const Palette& palette, COLORREF background)
{
    auto strip = Surface::create(previewwidth, previewheight);
    if (!strip)
        return 0;
    const RECT whole{0, 0, previewwidth, previewheight};
    FillRect(strip.get(), &whole, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    for (int i = 0; i < 3; ++i)
        frame(strip.get(), i, i == 1 ? RGB(215, 225, 235) : RGB(205, 215, 225));
    const RECT inside{3, 3, 3 + 290, 3 + 94};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(strip.get(), &inside, brush);
    DeleteObject(brush);

    for (int k = 0; k < 256; ++k) {
        HPEN pen = CreatePen(PS_SOLID, 1, palettecolour(palette, static_cast<unsigned>(k)));
        HPEN previous = SelectObject(strip.get(), pen);
        MoveToEx(strip.get(), swatchleft + k, swatchtop, nullptr);
        LineTo(strip.get(), swatchleft + k, swatchbottom + 1);
        SelectObject(strip.get(), previous);
        DeleteObject(pen);
    }

    HDC window = GetDC(hWnd);
    RECT client;
    if (window && GetClientRect(hWnd, &client))
        BitBlt(window, 0, 0, std::min(previewwidth, client.right), std::min(previewheight, client.bottom), strip.get(),
               0, 0, SRCCOPY);
    ReleaseDC(hWnd, window);
    return 0;
}

} // namespace kt
