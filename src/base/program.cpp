#include "base/program.h"

namespace kt {

void Program::reset()
{
    for (const auto& reset : resets_)
        reset();
}

Program& program()
{
    static Program* const one = new Program;
    return *one;
}

} // namespace kt
