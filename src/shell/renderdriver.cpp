#include "shell/renderdriver.h"

#include "engine/driver.h"
#include "engine/presentation.h"

namespace kt {

int icondriver(EngineState& s)
{
    Presentation& shown = presentation();
    shown.busy(Presentation::Work::batch);

    const bool starting = s.newimage;
    if (imagebatch(s) != 0) {
        shown.warn(hitcountmemorytext, hitcountmemorycaption);
        shown.stoprendering();
        return 1;
    }
    shown.batchdrawn(starting);
    return 0;
}

} // namespace kt
