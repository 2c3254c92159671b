#include "shell/viewcommands.h"

#include "platform/clipboard.h"
#include "platform/messagebox.h"
#include "shell/desktop.h"
#include "shell/resources.h"

namespace kt {

void copypicture(const Desktop& d, HWND hWnd)
{
    const Surface* picture = d.engine.g_vhdc;
    if (!picture || !SetClipboardImage(d.engine.g_vhdc, 0, 0, picture->width(), picture->height()))
        MessageBoxA(hWnd, "The picture could not be copied to the clipboard.", "Copy Picture", MB_ICONEXCLAMATION);
}

void togglefitwindow(Desktop& d, HWND hWnd)
{
    d.shell.fitwindow = !d.shell.fitwindow;
    CheckMenuItem(GetMenu(hWnd), cmdfitwindow, MF_BYCOMMAND | (d.shell.fitwindow ? MF_CHECKED : MF_UNCHECKED));
    const int side = d.shell.fitwindow ? d.engine.res : 0;
    SetFixedClientSize(hWnd, side, side);
}

void togglefullscreen(HWND hWnd)
{
    const bool on = !hWnd->fullscreen;
    SetFullScreen(hWnd, on);
    CheckMenuItem(GetMenu(hWnd), cmdfullscreen, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace kt
