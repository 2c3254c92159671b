#include "shell/desktoppresentation.h"

#include "engine/driver.h"
#include "engine/enginestate.h"
#include "platform/gdi.h"
#include "platform/messagebox.h"
#include "shell/histogramwindow.h"
#include "shell/shellstate.h"
#include "parts/programparts.h"

namespace kt {

namespace {

void clearwindow(HDC window)
{
    const EngineState& s = engine;
    RECT client;
    if (GetClientRect(shell.g_hWnd, &client))
        FillRect(window, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT image{0, 0, s.res, s.res};
    HBRUSH background = CreateSolidBrush(s.back);
    FillRect(window, &image, background);
    DeleteObject(background);
}

} // namespace

void DesktopPresentation::busy(Work work)
{
    SetCursor(work == Work::batch ? shell.hourglass : shell.wait);
}

void DesktopPresentation::idle()
{
    SetCursor(shell.cross);
}

// The batch drew only into the off-screen image, so the window can be
// cleared for a new picture just before the picture is shown.
void DesktopPresentation::batchdrawn(bool newpicture)
{
    const EngineState& s = engine;
    HDC window = GetDC(shell.g_hWnd);
    if (newpicture)
        clearwindow(window);
    BitBlt(window, 0, 0, shell.xscreen, shell.yscreen, s.g_vhdc, shell.xCurrentScroll, shell.yCurrentScroll, SRCCOPY);
    ReleaseDC(shell.g_hWnd, window);
}

// The window shows the image from the scroll offsets on: one copy of that
// part puts every redrawn pixel in its place there, shifted and clipped as
// drawing each one would.
void DesktopPresentation::filtered()
{
    RECT client;
    if (GetClientRect(shell.g_hWnd, &client)) {
        HDC window = GetDC(shell.g_hWnd);
        BitBlt(window, 0, 0, client.right, client.bottom, engine.g_vhdc, shell.xCurrentScroll, shell.yCurrentScroll,
               SRCCOPY);
        ReleaseDC(shell.g_hWnd, window);
    }
}

void DesktopPresentation::histogramready()
{
    createhistogramwindow();
}

void DesktopPresentation::warn(const std::string& text, const std::string& caption)
{
    MessageBoxA(shell.g_hWnd, text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

bool askuser(const std::string& text, const std::string& caption)
{
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDNO;
}

void DesktopPresentation::beginwriting()
{
    beforewriting_ = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    EnableWindow(shell.g_hWnd, 0);
}

void DesktopPresentation::endwriting()
{
    EnableWindow(shell.g_hWnd, 1);
    SetCursor(beforewriting_);
}

DesktopPresentation& desktoppresentation()
{
    static DesktopPresentation shown;
    return shown;
}

} // namespace kt
