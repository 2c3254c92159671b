#include "shell/shellstate.h"

#include "base/program.h"

namespace kt {

// The about window's bitmap is the shell's own.
ShellState& shell = program().part<ShellState>([](ShellState& s) {
    DeleteObject(s.aboutbitmap);
    s = ShellState{};
});

} // namespace kt
