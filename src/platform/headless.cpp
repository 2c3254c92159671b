#include "platform/headless.h"

#include <algorithm>

#include "platform/core.h"
#include "platform/dialog.h"

namespace kt {

void HeadlessBackend::pump(bool wait)
{
    if (wait && !messagewaiting())
        PostQuitMessage(noinput);
}

void HeadlessBackend::initialclientsize(HWND hwnd, int*, int* h)
{
    if (hwnd->menu)
        *h = std::max(0, *h - menuheight);
}

int HeadlessBackend::messagebox(const MessageBoxRequest& request)
{
    return (request.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

std::optional<std::string> HeadlessBackend::choosefile(const FileDialogRequest&)
{
    return std::nullopt;
}

void HeadlessBackend::rundialog(HWND dialog)
{
    // Escape: the platform sends Cancel; a dialog that will not end then is
    // ended for it, so that nothing waits for a user who is not there.
    if (!dialog->dialogEnded)
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (!dialog->dialogEnded)
        EndDialog(dialog, IDCANCEL);
}

SIZE HeadlessBackend::textsize(const std::string& text)
{
    return SIZE{glyph.cx * static_cast<int>(text.size()), glyph.cy};
}

void HeadlessBackend::drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour)
{
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == ' ')
            continue;
        const int left = x + glyph.cx * static_cast<int>(k);
        surface.fill(RECT{left + 1, y + 3, left + glyph.cx - 1, y + glyph.cy - 3}, colour);
    }
}

} // namespace kt
