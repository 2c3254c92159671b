#include "shell/renderdriver.h"

#include "engine/driver.h"
#include "shell/desktoppresentation.h"
#include "shell/resources.h"

namespace kt {

int icondriver(RenderContext& ctx, EngineState& s, HWND hWnd)
{
    Presentation& shown = ctx.shown();
    shown.busy(Presentation::Work::batch);

    const bool starting = s.newimage;
    if (imagebatch(ctx, s) != 0) {
        shown.warn(hitcountmemorytext, hitcountmemorycaption);
        // Rendering cannot go on: the render command pauses it.
        PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
        return 1;
    }
    shown.batchdrawn(starting);
    return 0;
}

} // namespace kt
