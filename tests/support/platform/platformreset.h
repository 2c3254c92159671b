#pragma once
// Every part of the program a test links back to how it starts, with the
// headless backend's script and record emptied.
#include "base/program.h"
#include "support/platform/scriptedbackend.h"

namespace kt::testing {

inline void resetplatform()
{
    program().reset();
    headless().reset();
}

} // namespace kt::testing
