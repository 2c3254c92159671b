#include "shell/desktoppresentation.h"

#include "engine/driver.h"
#include "engine/enginestate.h"
#include "platform/gdi.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"
#include "shell/view.h"

namespace kt {

namespace {

void clearwindow(const Desktop& d, HDC window)
{
    const EngineState& s = d.engine;
    RECT client;
    if (GetClientRect(d.shell.g_hWnd, &client))
        FillRect(window, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT image{0, 0, s.res, s.res};
    HBRUSH background = CreateSolidBrush(s.back);
    FillRect(window, &image, background);
    DeleteObject(background);
}

} // namespace

void DesktopPresentation::busy(Work work)
{
    SetCursor(work == Work::batch ? d_.shell.hourglass : d_.shell.wait);
}

void DesktopPresentation::idle()
{
    SetCursor(d_.shell.cross);
}

// The batch drew only into the off-screen image, so the window can be
// cleared for a new picture just before the picture is shown.
void DesktopPresentation::batchdrawn(bool newpicture)
{
    HDC window = GetDC(d_.shell.g_hWnd);
    if (newpicture)
        clearwindow(d_, window);
    refreshlivetone(d_, newpicture);
    // The client area, not the screen: at a scale factor above 1 it has more
    // pixels than the screen has units.
    BitBlt(window, 0, 0, window ? window->width() : 0, window ? window->height() : 0, shownimage(d_),
           d_.shell.xCurrentScroll,
           d_.shell.yCurrentScroll, SRCCOPY);
    ReleaseDC(d_.shell.g_hWnd, window);
}

// The window shows the image from the scroll offsets on: one copy of that
// part puts every redrawn pixel in its place there, shifted and clipped as
// drawing each one would.
void DesktopPresentation::filtered()
{
    RECT client;
    if (GetClientRect(d_.shell.g_hWnd, &client)) {
        HDC window = GetDC(d_.shell.g_hWnd);
        BitBlt(window, 0, 0, client.right, client.bottom, d_.engine.g_vhdc, d_.shell.xCurrentScroll,
               d_.shell.yCurrentScroll, SRCCOPY);
        ReleaseDC(d_.shell.g_hWnd, window);
    }
}

void DesktopPresentation::histogramready()
{
    createhistogramwindow(d_);
}

void DesktopPresentation::warn(const std::string& text, const std::string& caption)
{
    MessageBoxA(d_.shell.g_hWnd, text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

bool askuser(const std::string& text, const std::string& caption)
{
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDNO;
}

void DesktopPresentation::beginwriting()
{
    beforewriting_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EnableWindow(d_.shell.g_hWnd, 0);
}

void DesktopPresentation::endwriting()
{
    EnableWindow(d_.shell.g_hWnd, 1);
    SetCursor(beforewriting_);
}

} // namespace kt
