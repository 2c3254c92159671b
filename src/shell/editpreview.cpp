#include "shell/editpreview.h"

#include "shell/desktop.h"
#include "shell/screencaption.h"

namespace kt {

void showeditpreview(Desktop& d, const EngineState& edited, const std::string& caption)
{
    HWND main = d.shell.g_hWnd;
    const int side = edited.res;
    std::unique_ptr<Surface>& image = d.shell.previewimage;
    if (!image || image->width() != side || image->height() != side)
        image = Surface::create(side, side);
    if (!image)
        return;
    d.shell.editpreview.take(d.context, edited);
    d.shell.editpreview.draw(d.context, edited, edited.rot[edited.type], edited.icon[edited.type].scale, *image);
    if (!caption.empty())
        drawcaption(*image, d.shell.xCurrentScroll, d.shell.yCurrentScroll, caption);
    d.shell.previewing = true;
    // Painted now: the dialog's own loop has the input meanwhile.
    RECT client;
    if (main && GetClientRect(main, &client)) {
        HDC window = GetDC(main);
        BitBlt(window, 0, 0, client.right, client.bottom, image.get(), d.shell.xCurrentScroll,
               d.shell.yCurrentScroll, SRCCOPY);
        ReleaseDC(main, window);
    }
}

} // namespace kt
