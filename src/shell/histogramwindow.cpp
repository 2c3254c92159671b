#include "shell/histogramwindow.h"

#include <algorithm>
#include <memory>

#include "engine/enginestate.h"
#include "image/filters.h"
#include "shell/shellstate.h"
#include "shell/desktop.h"

namespace kt {

namespace {

constexpr int windowside = 320;
constexpr int tallestbar = 240;

void drawbars(HistogramChart& chart, const PaletteCounts& hist256, const EngineState& engine)
{
    if (!chart.vhdc)
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HPEN previous = SelectObject(chart.vhdc.get(), pen);
    const int baseline = chart.cr.bottom - 10;
    for (int i = 1; i < 256; ++i) {
        const int plot = histogrambar(hist256[i], engine.pixelmax);
        if (plot <= 0)
            continue;
        const int x = chart.cr.right + i - 280;
        MoveToEx(chart.vhdc.get(), x, baseline, nullptr);
        LineTo(chart.vhdc.get(), x, baseline - plot);
    }
    SelectObject(chart.vhdc.get(), previous);
    DeleteObject(pen);
}

void closechart(Desktop& d, HWND hwnd)
{
    d.chart.vhdc.reset();
    EnableWindow(d.shell.g_hWnd, 1);
    DestroyWindow(hwnd);
}

} // namespace

int histogrambar(std::uint32_t count, std::uint32_t pixelmax)
{
    if (count == 0)
        return 0;
    // With no count among indices 2 to 255 there is no scale: nothing is
    // drawn but index 1, one pixel high, to show that it was used.
    if (pixelmax == 0)
        return 1;
    const double factor = static_cast<double>(tallestbar) / pixelmax;
    const auto invfactor = static_cast<std::uint32_t>(1 / factor) + 1;
    if (count < invfactor)
        return 1;
    // The product is kept in extended precision, where 100 x (240 / 1000)
    // stays just below 24 instead of rounding up to it.
    const long double height = static_cast<long double>(count) * factor;
    // A bar taller than the window is cut at its top anyway.
    return height > 1e6 ? 1000000 : static_cast<int>(height);
}

void createhistogramwindow(Desktop& d)
{
    HWND hwnd = CreateWindowExA(0, szHistogramWinName, "Palette Index Histogram", WS_POPUP | WS_OVERLAPPEDWINDOW,
                                d.shell.xscreen / 2 - windowside / 2, d.shell.yscreen / 2 - windowside / 2, windowside,
                                windowside, d.shell.g_hWnd, nullptr, nullptr, &d);
    if (!hwnd)
        return;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    EnableWindow(d.shell.g_hWnd, 0);
}

LRESULT HistogramWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        keepcreationdesktop(hwnd, lParam);
    Desktop& d = desktopof(hwnd);
    switch (message) {
    case WM_CREATE:
        GetClientRect(hwnd, &d.chart.cr);
        d.chart.vhdc = Surface::create(std::max(d.chart.cr.right, 1), std::max(d.chart.cr.bottom, 1));
        if (d.chart.vhdc) {
            const RECT all{0, 0, d.chart.vhdc->width(), d.chart.vhdc->height()};
            FillRect(d.chart.vhdc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        PostMessageA(hwnd, WM_COMMAND, histogramdrawcommand, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == histogramdrawcommand)
            drawbars(d.chart, d.hist256, d.engine);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        const RECT& r = ps.rcPaint;
        if (d.chart.vhdc)
            BitBlt(ps.hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, d.chart.vhdc.get(), r.left, r.top,
                   SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_MOVE:
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, 1);
        return 0;
    case WM_CHAR:
        if (wParam == '\r')
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        closechart(d, hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace kt
