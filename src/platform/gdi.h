#pragma once
// Drawing operations over surfaces. A device context is the surface it draws
// on; a null context draws nothing, like drawing on a window that is gone.
#include "base/surface.h"
#include "platform/wintypes.h"

namespace kt {

using HDC = Surface*;

struct Brush {
    COLORREF colour;
    bool stock;
};
using HBRUSH = Brush*;
using HGDIOBJ = Brush*;

enum StockObject { WHITE_BRUSH = 0, GRAY_BRUSH = 2, BLACK_BRUSH = 4 };
constexpr DWORD SRCCOPY = 0x00CC0020;

HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int object);
// Stock objects are never freed; returns FALSE for a null object.
BOOL DeleteObject(HGDIOBJ object);

int FillRect(HDC hdc, const RECT* area, HBRUSH brush);

struct Pen {
    COLORREF colour;
    bool stock = false;
};
using HPEN = Pen*;
struct POINT {
    int x = 0;
    int y = 0;
};
constexpr int PS_SOLID = 0;

// One-pixel solid pens.
HPEN CreatePen(int style, int width, COLORREF colour);
BOOL DeleteObject(HPEN pen);
// Returns the pen selected before: a device context starts with the stock
// black pen, which is never deleted.
HPEN SelectObject(HDC hdc, HPEN pen);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous);
// Draws from the current position up to, not including, (x, y), which
// becomes the current position.
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);

struct SIZE {
    int cx = 0;
    int cy = 0;
};

// Text is drawn by the backend in the display's own font, one line at a
// time, with no background behind it, in the colour last set (black at
// first); TextOutA places the line's top-left corner at (x, y).
COLORREF SetTextColor(HDC hdc, COLORREF colour); // returns the colour before
BOOL GetTextExtentPoint32A(HDC hdc, const char* text, int length, SIZE* size);
BOOL TextOutA(HDC hdc, int x, int y, const char* text, int length);

} // namespace kt
