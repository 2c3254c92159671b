#include "shell/renderdriver.h"

#include "engine/driver.h"
#include "engine/presentation.h"
#include "shell/resources.h"

namespace kt {

int icondriver(EngineState& s, HWND hWnd)
{
    Presentation& shown = presentation();
    shown.busy(Presentation::Work::batch);

    const bool starting = s.newimage;
    if (imagebatch(s) != 0) {
        shown.warn(hitcountmemorytext, hitcountmemorycaption);
        // Rendering cannot go on: the render command pauses it.
        PostMessageA(hWnd, WM_COMMAND, cmdrender, 0);
        return 1;
    }
    shown.batchdrawn(starting);
    return 0;
}

} // namespace kt
