#include "shell/shellstate.h"

namespace kt {

ShellState shell;

} // namespace kt
