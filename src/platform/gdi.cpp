#include "platform/gdi.h"

#include <cstdlib>
#include <string>

#include "platform/backend.h"

namespace kt {

namespace {
Brush stockWhite{RGB(255, 255, 255), true};
Brush stockGray{RGB(128, 128, 128), true};
Brush stockBlack{RGB(0, 0, 0), true};
} // namespace

HBRUSH CreateSolidBrush(COLORREF colour)
{
    return new Brush{colour & 0x00FFFFFFu, false};
}

HGDIOBJ GetStockObject(int object)
{
    switch (object) {
    case WHITE_BRUSH:
        return &stockWhite;
    case GRAY_BRUSH:
        return &stockGray;
    case BLACK_BRUSH:
        return &stockBlack;
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object)
        return 0;
    if (!object->stock)
        delete object;
    return 1;
}

int FillRect(HDC hdc, const RECT* area, HBRUSH brush)
{
    if (!hdc || !area || !brush)
        return 0;
    hdc->fill(*area, brush->colour);
    return 1;
}

namespace {
Pen stockBlackPen{RGB(0, 0, 0), true};
}

HPEN CreatePen(int, int, COLORREF colour)
{
    return new Pen{colour & 0x00FFFFFFu, false};
}

BOOL DeleteObject(HPEN pen)
{
    if (!pen)
        return 0;
    if (!pen->stock)
        delete pen;
    return 1;
}

HPEN SelectObject(HDC hdc, HPEN pen)
{
    if (!hdc || !pen)
        return nullptr;
    Surface::DrawingState& state = hdc->drawing();
    HPEN previous = state.pen ? static_cast<HPEN>(const_cast<void*>(state.pen)) : &stockBlackPen;
    state.pen = pen;
    state.penColour = pen->colour;
    return previous;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous)
{
    if (!hdc)
        return 0;
    Surface::DrawingState& state = hdc->drawing();
    if (previous)
        *previous = POINT{state.x, state.y};
    state.x = x;
    state.y = y;
    return 1;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    if (!hdc)
        return 0;
    Surface::DrawingState& state = hdc->drawing();
    // Bresenham from the current position, the end point left out.
    int px = state.x, py = state.y;
    const int dx = std::abs(x - px), dy = -std::abs(y - py);
    const int sx = px < x ? 1 : -1, sy = py < y ? 1 : -1;
    int error = dx + dy;
    while (px != x || py != y) {
        hdc->setpixel(px, py, state.penColour);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += sx;
        }
        if (twice <= dx) {
            error += dx;
            py += sy;
        }
    }
    state.x = x;
    state.y = y;
    return 1;
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    if (!hdc || !points || count < 2)
        return 0;
    const Surface::DrawingState saved = hdc->drawing();
    MoveToEx(hdc, points[0].x, points[0].y, nullptr);
    for (int k = 1; k < count; ++k)
        LineTo(hdc, points[k].x, points[k].y);
    // Unlike LineTo, a polyline leaves the current position where it was.
    hdc->drawing().x = saved.x;
    hdc->drawing().y = saved.y;
    return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop)
{
    if (!dest || !src || rop != SRCCOPY)
        return 0;
    if (dest->mirrorsblits())
        dest->mirror(x, y, w, h, *src, sx, sy);
    else
        dest->blit(x, y, w, h, *src, sx, sy);
    return 1;
}

COLORREF SetTextColor(HDC hdc, COLORREF colour)
{
    if (!hdc)
        return CLR_INVALID;
    COLORREF& text = hdc->drawing().textColour;
    const COLORREF previous = text;
    text = colour & 0x00FFFFFFu;
    return previous;
}

BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size)
{
    if (!hdc || !text || length < 0 || !size)
        return 0;
    *size = backend().textsize(std::string(text, static_cast<std::size_t>(length)));
    return 1;
}

BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length)
{
    if (!hdc || !text || length < 0)
        return 0;
    backend().drawtext(*hdc, x, y, std::string(text, static_cast<std::size_t>(length)), hdc->drawing().textColour);
    return 1;
}

} // namespace kt
