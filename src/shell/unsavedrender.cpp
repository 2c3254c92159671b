#include "shell/unsavedrender.h"

#include "platform/messagebox.h"
#include "shell/shellstate.h"

namespace kt {

void countbatch(UnsavedRender& unsaved, bool newpicture, RenderClock::duration took)
{
    if (newpicture)
        unsaved.rendered = {};
    unsaved.rendered += took;
}

void picturesaved(UnsavedRender& unsaved)
{
    unsaved.rendered = {};
}

bool mayend(const UnsavedRender& unsaved, HWND hWnd, RenderClock::duration threshold)
{
    if (unsaved.rendered <= threshold)
        return true;
    return MessageBoxA(hWnd, "The picture has not been saved. Exit anyway?", programtitle,
                       MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

} // namespace kt
