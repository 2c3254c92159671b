#include "platform/gdi.h"

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
    case WHITE_BRUSH: return &stockWhite;
    case GRAY_BRUSH: return &stockGray;
    case BLACK_BRUSH: return &stockBlack;
    default: return nullptr;
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

} // namespace kt
