#pragma once
// The window system as at process start, with the headless backend's
// script and record emptied.
#include "base/program.h"
#include "support/platform/scriptedbackend.h"

namespace kt::testing {

inline void resetplatform()
{
    program().reset();
    headless().reset();
}

} // namespace kt::testing
