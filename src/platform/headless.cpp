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

} // namespace kt
